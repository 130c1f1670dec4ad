// The commands of a session that need no data connection.
#include "engine/FtpSession.h"

#include "core/FileNameBytes.h"
#include "core/NoReplaceRename.h"
#include "engine/DirListing.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/PathBeneath.h"

#include <QHash>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
enum class Verb {
    User, Pass, Quit, Noop, Syst, Feat, Help, Opts, // served before login
    Cwd, Cdup, Pwd, Mkd, Rmd, Dele, Rnfr, Rnto, Size, Mdtm, Type, Mode, Stru, Stat, Allo, Site, Rest,
    Pasv, Epsv, Port, Eprt, Retr, Stor, Appe, List, Nlst, Abor
};

const QHash<QString, Verb>& verbs()
{
    static const QHash<QString, Verb> table = {
        {QStringLiteral("USER"), Verb::User}, {QStringLiteral("PASS"), Verb::Pass},
        {QStringLiteral("QUIT"), Verb::Quit}, {QStringLiteral("NOOP"), Verb::Noop},
        {QStringLiteral("SYST"), Verb::Syst}, {QStringLiteral("FEAT"), Verb::Feat},
        {QStringLiteral("HELP"), Verb::Help}, {QStringLiteral("OPTS"), Verb::Opts},
        {QStringLiteral("CWD"), Verb::Cwd},   {QStringLiteral("XCWD"), Verb::Cwd},
        {QStringLiteral("CDUP"), Verb::Cdup}, {QStringLiteral("XCUP"), Verb::Cdup},
        {QStringLiteral("PWD"), Verb::Pwd},   {QStringLiteral("XPWD"), Verb::Pwd},
        {QStringLiteral("MKD"), Verb::Mkd},   {QStringLiteral("XMKD"), Verb::Mkd},
        {QStringLiteral("RMD"), Verb::Rmd},   {QStringLiteral("XRMD"), Verb::Rmd},
        {QStringLiteral("DELE"), Verb::Dele}, {QStringLiteral("RNFR"), Verb::Rnfr},
        {QStringLiteral("RNTO"), Verb::Rnto}, {QStringLiteral("SIZE"), Verb::Size},
        {QStringLiteral("MDTM"), Verb::Mdtm}, {QStringLiteral("TYPE"), Verb::Type},
        {QStringLiteral("MODE"), Verb::Mode}, {QStringLiteral("STRU"), Verb::Stru},
        {QStringLiteral("STAT"), Verb::Stat}, {QStringLiteral("ALLO"), Verb::Allo},
        {QStringLiteral("SITE"), Verb::Site}, {QStringLiteral("REST"), Verb::Rest},
        {QStringLiteral("PASV"), Verb::Pasv}, {QStringLiteral("EPSV"), Verb::Epsv},
        {QStringLiteral("PORT"), Verb::Port}, {QStringLiteral("EPRT"), Verb::Eprt},
        {QStringLiteral("RETR"), Verb::Retr}, {QStringLiteral("STOR"), Verb::Stor},
        {QStringLiteral("APPE"), Verb::Appe}, {QStringLiteral("LIST"), Verb::List},
        {QStringLiteral("NLST"), Verb::Nlst}, {QStringLiteral("ABOR"), Verb::Abor},
    };
    return table;
}

bool needsArgument(Verb v)
{
    switch (v) {
    case Verb::User: case Verb::Cwd: case Verb::Mkd: case Verb::Rmd: case Verb::Dele: case Verb::Rnfr:
    case Verb::Rnto: case Verb::Size: case Verb::Mdtm: case Verb::Type: case Verb::Mode: case Verb::Stru:
    case Verb::Site: case Verb::Rest: case Verb::Port: case Verb::Eprt: case Verb::Retr: case Verb::Stor:
    case Verb::Appe: case Verb::Opts:
        return true;
    default:
        return false;
    }
}

// Commands whose argument names a file or folder.
bool takesPath(Verb v)
{
    switch (v) {
    case Verb::Cwd: case Verb::Mkd: case Verb::Rmd: case Verb::Dele: case Verb::Rnfr: case Verb::Rnto:
    case Verb::Size: case Verb::Mdtm: case Verb::Retr: case Verb::Stor: case Verb::Appe: case Verb::List:
    case Verb::Nlst:
        return true;
    default:
        return false;
    }
}

const QString Denied = QStringLiteral("550 Access denied.");

using Beneath::Last;
using Beneath::Place;

// The place of a name to create, remove or rename: never a mount point itself.
std::optional<Place> own(const PathMap::Target& t)
{
    return t.isMountPoint ? std::nullopt : Beneath::resolve(t, Last::Keep);
}

// An existing name to remove or rename. A link counts as what it leads to:
// one that leads outside or nowhere is refused, as the file would be.
bool existing(const PathMap::Target& t, const Place& place, struct stat& st)
{
    if (!Beneath::exists(place, st))
        return false;
    if (!S_ISLNK(st.st_mode))
        return true;
    const std::optional<Place> to = Beneath::resolve(t, Last::Follow);
    return to && Beneath::exists(*to, st);
}

} // namespace

void FtpSession::handleLine(const LineAssembler::Line& line)
{
    if (line.tooLong) {
        reply(QStringLiteral("500 Command line too long."));
        return;
    }
    if (line.text.isEmpty())
        return;
    m_lastCommand = now();
    Command cmd = parseCommand(line.text);
    const QString trace = cmd.traceText();
    if (!notify("Debug", [&](IFtpEngineNotify& s) { s.Debug(*this, trace); }))
        return;
    if (cmd.badArgument) {
        reply(QStringLiteral("501 Invalid character in argument."));
        return;
    }
    QString verb = cmd.verb;
    QString parameters = cmd.argument;
    bool cancel = false;
    const int own = m_ownReplies;
    if (!notify("UserCommand", [&](IFtpEngineNotify& s) { s.UserCommand(*this, verb, parameters, cancel); }))
        return;
    if (cancel) {
        if (m_ownReplies == own)
            reply(Denied);
        return;
    }
    if (parameters != cmd.argument) {
        cmd.argument = parameters;
        cmd.hasArgument = true;
        cmd.notUtf8 = false;
    }
    dispatch(cmd);
}

void FtpSession::dispatch(const Command& cmd)
{
    const auto found = verbs().constFind(cmd.verb);
    if (cmd.verb != QLatin1String("RNTO"))
        m_renameClientPath.clear();
    if (found == verbs().constEnd()) {
        if (m_loggedIn)
            doUnknown(cmd);
        else
            reply(QStringLiteral("530 Please login with USER and PASS."));
        return;
    }
    const Verb verb = found.value();
    if (!m_loggedIn && verb > Verb::Opts) {
        reply(QStringLiteral("530 Please login with USER and PASS."));
        return;
    }
    // A path keeps the bytes it was sent with, UTF-8 or not; any other
    // argument is plain text, its stray bytes replaced as a decoder would.
    const QString arg = cmd.notUtf8 && !takesPath(verb) ? FileNameBytes::replaced(cmd.argument) : cmd.argument;
    if (needsArgument(verb) && arg.trimmed().isEmpty() && verb != Verb::Pass) {
        reply(QStringLiteral("501 Syntax error in parameters or arguments."));
        return;
    }
    switch (verb) {
    case Verb::User: doUser(arg); break;
    case Verb::Pass: doPass(arg); break;
    case Verb::Quit:
        reply(QStringLiteral("221 Goodbye."));
        requestClose();
        break;
    case Verb::Noop: reply(QStringLiteral("200 NOOP command successful.")); break;
    case Verb::Syst: reply(QStringLiteral("215 UNIX Type: L8")); break;
    case Verb::Feat:
        reply(QStringLiteral("211-Features:\n EPRT\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End"));
        break;
    case Verb::Help:
        reply(QStringLiteral("214-The following commands are recognized.\n"
                             " ABOR ALLO APPE CDUP CWD  DELE EPRT EPSV FEAT HELP LIST MDTM MKD\n"
                             " MODE NLST NOOP OPTS PASS PASV PORT PWD  QUIT REST RETR RMD  RNFR\n"
                             " RNTO SITE SIZE STAT STOR STRU SYST TYPE USER XCUP XCWD XMKD XPWD XRMD\n"
                             "214 Help OK."));
        break;
    case Verb::Opts: doOpts(arg); break;
    case Verb::Cwd: doChangeDir(arg); break;
    case Verb::Cdup: doChangeDir(QStringLiteral("..")); break;
    case Verb::Pwd:
        reply(QStringLiteral("257 %1 is the current directory.").arg(ClientPath::quoted(m_cwd)));
        break;
    case Verb::Mkd: doMakeDir(arg); break;
    case Verb::Rmd: doRemoveDir(arg); break;
    case Verb::Dele: doDelete(arg); break;
    case Verb::Rnfr: doRenameFrom(arg); break;
    case Verb::Rnto: doRenameTo(arg); break;
    case Verb::Size: doSize(arg, false); break;
    case Verb::Mdtm: doSize(arg, true); break;
    case Verb::Type: doType(arg); break;
    case Verb::Mode:
        reply(arg.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
                  ? QStringLiteral("200 Mode set to S.")
                  : QStringLiteral("504 Only stream mode is supported."));
        break;
    case Verb::Stru:
        reply(arg.trimmed().compare(QLatin1String("F"), Qt::CaseInsensitive) == 0
                  ? QStringLiteral("200 Structure set to F.")
                  : QStringLiteral("504 Only file structure is supported."));
        break;
    case Verb::Stat:
        if (arg.trimmed().isEmpty())
            reply(m_engine.replyTexts.value(FtpEngine::StatusReply), 211);
        else
            reply(QStringLiteral("504 STAT with an argument is not supported."));
        break;
    case Verb::Allo: reply(QStringLiteral("202 ALLO command ignored.")); break;
    case Verb::Site: doSite(arg); break;
    case Verb::Rest: doRest(arg); break;
    case Verb::Pasv: doPassive(false, arg); break;
    case Verb::Epsv: doPassive(true, arg); break;
    case Verb::Port: doPort(false, arg); break;
    case Verb::Eprt: doPort(true, arg); break;
    case Verb::Retr: doRetrieve(arg); break;
    case Verb::Stor: doStore(arg, false); break;
    case Verb::Appe: doStore(arg, true); break;
    case Verb::List: doList(arg, false); break;
    case Verb::Nlst: doList(arg, true); break;
    case Verb::Abor: doAbort(); break;
    }
}

bool FtpSession::permitted(const char* name, const std::function<void(IFtpEngineNotify&, bool&, QString&)>& call)
{
    bool cancel = false;
    QString message = Denied;
    const int own = m_ownReplies;
    if (!notify(name, [&](IFtpEngineNotify& s) { call(s, cancel, message); }))
        return false;
    if (!cancel)
        return true;
    if (m_ownReplies == own)
        reply(message.isEmpty() ? Denied : message, 550);
    return false;
}

void FtpSession::doUser(const QString& arg)
{
    if (m_loggedIn) {
        reply(QStringLiteral("503 Already logged in."));
        return;
    }
    m_userName = arg;
    m_loginPass.clear();
    m_userGiven = true;
    reply(QStringLiteral("331 Password required for %1.").arg(arg));
}

void FtpSession::doPass(const QString& arg)
{
    if (m_loggedIn) {
        reply(QStringLiteral("503 Already logged in."));
        return;
    }
    if (!m_userGiven) {
        reply(QStringLiteral("503 Login with USER first."));
        return;
    }
    m_loginPass = arg;
    m_state = Authorizing;
    if (loginMustWait())
        return;
    bool cancel = false;
    const QString refusal = QStringLiteral("530 Login incorrect.");
    QString message = refusal;
    const int own = m_ownReplies;
    m_outputHeld = true; // a refusal's replies and its close wait out its delay
    const bool going = !notify("UserLogin", [&](IFtpEngineNotify& s) { s.UserLogin(*this, cancel, message); });
    loginAnswered(cancel);
    if (going)
        return;
    if (cancel) {
        if (m_ownReplies == own)
            reply(message.isEmpty() ? refusal : message, 530);
        if (live() && ++m_failedLogins >= 3) {
            reply(QStringLiteral("421 Too many failed logins."));
            requestClose();
        }
        return;
    }
    m_loggedIn = true;
    m_state = Connected;
    m_cwd = QStringLiteral("/");
    m_restart = 0;
    reply(m_engine.replyTexts.value(FtpEngine::LoggedOnReply), 230);
}

void FtpSession::doChangeDir(const QString& arg)
{
    QString dir = arg;
    if (!permitted("ChangeDir", [&](IFtpEngineNotify& s, bool& c, QString& m) { s.ChangeDir(*this, dir, c, m); }))
        return;
    const PathMap::Target t = target(arg);
    const std::optional<Place> place = Beneath::resolve(t, Last::Follow);
    struct stat st;
    if (!place || !Beneath::exists(*place, st) || !S_ISDIR(st.st_mode)) {
        reply(QStringLiteral("550 Failed to change directory."));
        return;
    }
    m_cwd = t.clientPath;
    reply(QStringLiteral("250 Directory successfully changed."));
}

void FtpSession::doMakeDir(const QString& arg)
{
    QString dir = arg;
    if (!permitted("MakeDir", [&](IFtpEngineNotify& s, bool& c, QString& m) { s.MakeDir(*this, dir, c, m); }))
        return;
    const PathMap::Target t = target(arg);
    const std::optional<Place> place = own(t);
    if (!place || ::mkdirat(place->folder.get(), place->name.constData(), 0777) != 0) {
        reply(QStringLiteral("550 Create directory operation failed."));
        return;
    }
    reply(QStringLiteral("257 %1 created.").arg(ClientPath::quoted(t.clientPath)));
}

void FtpSession::doRemoveDir(const QString& arg)
{
    QString dir = arg;
    if (!permitted("RemoveDir", [&](IFtpEngineNotify& s, bool& c, QString& m) { s.RemoveDir(*this, dir, c, m); }))
        return;
    const std::optional<Place> place = own(target(arg));
    if (!place || ::unlinkat(place->folder.get(), place->name.constData(), AT_REMOVEDIR) != 0) {
        reply(QStringLiteral("550 Remove directory operation failed."));
        return;
    }
    reply(QStringLiteral("250 Remove directory operation successful."));
}

void FtpSession::doDelete(const QString& arg)
{
    QString filename = arg;
    if (!permitted("DeleteFile",
                   [&](IFtpEngineNotify& s, bool& c, QString& m) { s.DeleteFile(*this, filename, c, m); }))
        return;
    const PathMap::Target t = target(filename);
    const std::optional<Place> place = own(t);
    struct stat st;
    if (!place || !existing(t, *place, st) || S_ISDIR(st.st_mode)
        || ::unlinkat(place->folder.get(), place->name.constData(), 0) != 0) {
        reply(QStringLiteral("550 Delete operation failed."));
        return;
    }
    reply(QStringLiteral("250 Delete operation successful."));
}

void FtpSession::doRenameFrom(const QString& arg)
{
    // Asked here too, so that a session without the right learns nothing of
    // whether the name exists; RNTO asks again with both names.
    if (!permitted("RenameFile",
                   [&](IFtpEngineNotify& s, bool& c, QString& m) { s.RenameFile(*this, arg, QString(), c, m); }))
        return;
    const PathMap::Target t = target(arg);
    const std::optional<Place> place = own(t);
    struct stat st;
    if (!place || !existing(t, *place, st)) {
        reply(QStringLiteral("550 RNFR command failed."));
        return;
    }
    m_renameArgument = arg;
    m_renameClientPath = t.clientPath;
    reply(QStringLiteral("350 Ready for RNTO."));
}

void FtpSession::doRenameTo(const QString& arg)
{
    if (m_renameClientPath.isEmpty()) {
        reply(QStringLiteral("503 RNFR required first."));
        return;
    }
    const QString fromClient = std::exchange(m_renameClientPath, QString());
    const QString oldName = m_renameArgument;
    if (!permitted("RenameFile",
                   [&](IFtpEngineNotify& s, bool& c, QString& m) { s.RenameFile(*this, oldName, arg, c, m); }))
        return;
    const PathMap map = pathMap();
    const PathMap::Target from = map.map(fromClient);
    const std::optional<Place> source = own(from);
    const std::optional<Place> destination = own(map.map(ClientPath::resolve(m_cwd, arg)));
    struct stat st;
    if (!source || !destination || !existing(from, *source, st)
        || NoReplaceRenameAt(source->folder.get(), source->name.constData(), destination->folder.get(),
                             destination->name.constData()) != 0) {
        reply(QStringLiteral("550 Rename failed."));
        return;
    }
    reply(QStringLiteral("250 Rename successful."));
}

void FtpSession::doSize(const QString& arg, bool wantTime)
{
    if (!permitted("FileDetails",
                   [&](IFtpEngineNotify& s, bool& c, QString& m) { s.FileDetails(*this, arg, c, m); }))
        return;
    const std::optional<Place> place = Beneath::resolve(target(arg), Last::Follow);
    struct stat st;
    if (!place || !Beneath::exists(*place, st) || !S_ISREG(st.st_mode)) {
        reply(wantTime ? QStringLiteral("550 Could not get file modification time.")
                       : QStringLiteral("550 Could not get file size."));
        return;
    }
    if (wantTime) {
        reply(QStringLiteral("213 ") + modificationStamp(st.st_mtime));
    } else {
        reply(QStringLiteral("213 %1").arg(qlonglong(st.st_size)));
    }
}

void FtpSession::doType(const QString& arg)
{
    const QString t = arg.trimmed().toUpper();
    if (t == QLatin1String("I") || t == QLatin1String("L 8"))
        reply(QStringLiteral("200 Switching to Binary mode."));
    else if (t == QLatin1String("A") || t == QLatin1String("A N"))
        reply(QStringLiteral("200 Switching to ASCII mode."));
    else
        reply(QStringLiteral("504 Type not supported."));
}

void FtpSession::doOpts(const QString& arg)
{
    const QString o = arg.trimmed().toUpper();
    if (o == QLatin1String("UTF8 ON") || o == QLatin1String("UTF8"))
        reply(QStringLiteral("200 Always in UTF8 mode."));
    else
        reply(QStringLiteral("501 Option not understood."));
}

void FtpSession::doSite(const QString& arg)
{
    bool cancel = false;
    QString command = arg;
    const int own = m_ownReplies;
    if (!notify("SiteCommand", [&](IFtpEngineNotify& s) { s.SiteCommand(*this, cancel, command); }))
        return;
    if (m_ownReplies != own)
        return;
    reply(cancel ? Denied : QStringLiteral("502 SITE command not implemented."));
}

void FtpSession::doUnknown(const Command& cmd)
{
    bool cancel = false;
    QString command = cmd.verb;
    QString parameters = cmd.argument;
    const int own = m_ownReplies;
    if (!notify("UnrecognizedCommand",
                [&](IFtpEngineNotify& s) { s.UnrecognizedCommand(*this, cancel, command, parameters); }))
        return;
    if (m_ownReplies == own)
        reply(QStringLiteral("500 Unknown command."));
}

void FtpSession::doRest(const QString& arg)
{
    bool ok = false;
    const qint64 offset = arg.trimmed().toLongLong(&ok);
    if (!ok || offset < 0) {
        reply(QStringLiteral("501 REST requires a byte position."));
        return;
    }
    m_restart = offset;
    reply(QStringLiteral("350 Restarting at %1. Send STORE or RETRIEVE.").arg(offset));
}

// The commands of a session that need no data connection.
#include "engine/FtpSession.h"

#include "core/FileNameBytes.h"
#include "core/NoReplaceRename.h"
#include "engine/DirListing.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/PathBeneath.h"
#include "engine/SharedReplies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Denied = FtpReply::accessDenied();

// How each notification that may refuse a command is raised (a listing's is its own).
struct Ask {
    const char* notification;
    void (*raise)(IFtpEngineNotify& sink, FtpUser& user, QString& name, const QString& newName, bool& cancel,
                  QString& message);
};

Ask askFor(Permission permission)
{
    using N = IFtpEngineNotify&;
    using U = FtpUser&;
    using C = const QString&;
    using B = bool&;
    using S = QString&;
    switch (permission) {
    case Permission::ChangeDir: return {"ChangeDir", [](N n, U u, S f, C, B c, S m) { n.ChangeDir(u, f, c, m); }};
    case Permission::MakeDir: return {"MakeDir", [](N n, U u, S f, C, B c, S m) { n.MakeDir(u, f, c, m); }};
    case Permission::RemoveDir: return {"RemoveDir", [](N n, U u, S f, C, B c, S m) { n.RemoveDir(u, f, c, m); }};
    case Permission::DeleteFile: return {"DeleteFile", [](N n, U u, S f, C, B c, S m) { n.DeleteFile(u, f, c, m); }};
    case Permission::RenameFile:
        return {"RenameFile", [](N n, U u, S f, C to, B c, S m) { n.RenameFile(u, f, to, c, m); }};
    case Permission::GetFile: return {"GetFile", [](N n, U u, S f, C, B c, S m) { n.GetFile(u, f, c, m); }};
    case Permission::PutFile: return {"PutFile", [](N n, U u, S f, C, B c, S m) { n.PutFile(u, f, c, m); }};
    case Permission::FileDetails:
        return {"FileDetails", [](N n, U u, S f, C, B c, S m) { n.FileDetails(u, f, c, m); }};
    case Permission::None:
    case Permission::Listing:
        break;
    }
    return {nullptr, nullptr};
}

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
    const FtpCommand* command = FtpCommands::find(cmd.verb);
    if (cmd.verb != QLatin1String("RNTO"))
        m_renameClientPath.clear();
    if (!m_loggedIn && (!command || command->login == FtpCommand::Login::Needed)) {
        reply(QStringLiteral("530 Please login with USER and PASS."));
        return;
    }
    if (!command) {
        doUnknown(cmd);
        return;
    }
    const QString arg = cmd.notUtf8 && command->kind == FtpCommand::Kind::Text ? FileNameBytes::replaced(cmd.argument)
                                                                              : cmd.argument;
    if (command->argument == FtpCommand::Argument::Required && arg.trimmed().isEmpty()) {
        reply(QStringLiteral("501 Syntax error in parameters or arguments."));
        return;
    }
    m_command = command;
    command->run(*this, arg);
}

bool FtpSession::permitted(QString& name, const QString& newName)
{
    if (m_command->permission == Permission::Listing)
        return listingPermitted();
    const Ask ask = askFor(m_command->permission);
    Q_ASSERT(ask.raise); // only a command whose row names a notification asks
    bool cancel = false;
    QString message = Denied;
    const int own = m_ownReplies;
    if (!notify(ask.notification, [&](IFtpEngineNotify& s) { ask.raise(s, *this, name, newName, cancel, message); }))
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

void FtpSession::doQuit()
{
    reply(QStringLiteral("221 Goodbye."));
    requestClose();
}

void FtpSession::doPrintDir()
{
    reply(QStringLiteral("257 %1 is the current directory.").arg(ClientPath::quoted(m_cwd)));
}

void FtpSession::doChangeDir(QString arg)
{
    if (!permitted(arg))
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

void FtpSession::doMakeDir(QString arg)
{
    if (!permitted(arg))
        return;
    const PathMap::Target t = target(arg);
    const std::optional<Place> place = own(t);
    if (!place || ::mkdirat(place->folder.get(), place->name.constData(), 0777) != 0) {
        reply(QStringLiteral("550 Create directory operation failed."));
        return;
    }
    reply(QStringLiteral("257 %1 created.").arg(ClientPath::quoted(t.clientPath)));
}

void FtpSession::doRemoveDir(QString arg)
{
    if (!permitted(arg))
        return;
    const std::optional<Place> place = own(target(arg));
    if (!place || ::unlinkat(place->folder.get(), place->name.constData(), AT_REMOVEDIR) != 0) {
        reply(QStringLiteral("550 Remove directory operation failed."));
        return;
    }
    reply(QStringLiteral("250 Remove directory operation successful."));
}

void FtpSession::doDelete(QString arg)
{
    if (!permitted(arg))
        return;
    const PathMap::Target t = target(arg);
    const std::optional<Place> place = own(t);
    struct stat st;
    if (!place || !existing(t, *place, st) || S_ISDIR(st.st_mode)
        || ::unlinkat(place->folder.get(), place->name.constData(), 0) != 0) {
        reply(QStringLiteral("550 Delete operation failed."));
        return;
    }
    reply(QStringLiteral("250 Delete operation successful."));
}

void FtpSession::doRenameFrom(QString arg)
{
    // Asked here too, so that a session without the right learns nothing of
    // whether the name exists; RNTO asks again with both names.
    if (!permitted(arg))
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
    QString oldName = m_renameArgument;
    if (!permitted(oldName, arg))
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

void FtpSession::doSize(QString arg, bool wantTime)
{
    if (!permitted(arg))
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

void FtpSession::doMode(const QString& arg)
{
    reply(arg.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
              ? QStringLiteral("200 Mode set to S.")
              : QStringLiteral("504 Only stream mode is supported."));
}

void FtpSession::doStructure(const QString& arg)
{
    reply(arg.trimmed().compare(QLatin1String("F"), Qt::CaseInsensitive) == 0
              ? QStringLiteral("200 Structure set to F.")
              : QStringLiteral("504 Only file structure is supported."));
}

void FtpSession::doStatus(const QString& arg)
{
    if (arg.trimmed().isEmpty())
        reply(m_engine.replyTexts.value(FtpEngine::StatusReply), 211);
    else
        reply(QStringLiteral("504 STAT with an argument is not supported."));
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

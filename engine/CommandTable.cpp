// The rows of the FTP commands, and the FEAT and HELP replies made from them.
#include "engine/CommandTable.h"

#include "engine/FtpSession.h"

#include <QHash>
#include <QStringList>

std::span<const FtpCommand> FtpCommands::all()
{
    using enum FtpCommand::Login;
    using enum FtpCommand::Argument;
    using enum FtpCommand::Kind;
    using enum Permission;
    using S = FtpSession&;    // the session the command runs in
    using A = const QString&; // its argument
    static const FtpCommand rows[] = {
        // name  alias   login    argument  kind  permission   feature  handler
        {"ABOR", {},     Needed,  Optional, Text, None,        {},      [](S s, A) { s.doAbort(); }},
        {"ALLO", {},     Needed,  Optional, Text, None,        {},
         [](S s, A) { s.reply(QStringLiteral("202 ALLO command ignored.")); }},
        {"APPE", {},     Needed,  Required, Path, PutFile,     {},      [](S s, A a) { s.doStore(a, true); }},
        {"CDUP", "XCUP", Needed,  Optional, Text, ChangeDir,   {},
         [](S s, A) { s.doChangeDir(QStringLiteral("..")); }},
        {"CWD",  "XCWD", Needed,  Required, Path, ChangeDir,   {},      [](S s, A a) { s.doChangeDir(a); }},
        {"DELE", {},     Needed,  Required, Path, DeleteFile,  {},      [](S s, A a) { s.doDelete(a); }},
        {"EPRT", {},     Needed,  Required, Text, None,        "EPRT",  [](S s, A a) { s.doPort(true, a); }},
        {"EPSV", {},     Needed,  Optional, Text, None,        "EPSV",  [](S s, A a) { s.doPassive(true, a); }},
        {"FEAT", {},     Anytime, Optional, Text, None,        {},      [](S s, A) { s.reply(featuresReply()); }},
        {"HELP", {},     Anytime, Optional, Text, None,        {},      [](S s, A) { s.reply(helpReply()); }},
        {"LIST", {},     Needed,  Optional, Path, Listing,     {},      [](S s, A a) { s.doList(a, false); }},
        {"MDTM", {},     Needed,  Required, Path, FileDetails, "MDTM",  [](S s, A a) { s.doSize(a, true); }},
        {"MKD",  "XMKD", Needed,  Required, Path, MakeDir,     {},      [](S s, A a) { s.doMakeDir(a); }},
        {"MODE", {},     Needed,  Required, Text, None,        {},      [](S s, A a) { s.doMode(a); }},
        {"NLST", {},     Needed,  Optional, Path, Listing,     {},      [](S s, A a) { s.doList(a, true); }},
        {"NOOP", {},     Anytime, Optional, Text, None,        {},
         [](S s, A) { s.reply(QStringLiteral("200 NOOP command successful.")); }},
        {"OPTS", {},     Anytime, Required, Text, None,        "UTF8",  [](S s, A a) { s.doOpts(a); }},
        // An empty password is the program's to judge.
        {"PASS", {},     Anytime, Optional, Text, None,        {},      [](S s, A a) { s.doPass(a); }},
        {"PASV", {},     Needed,  Optional, Text, None,        "PASV",  [](S s, A a) { s.doPassive(false, a); }},
        {"PORT", {},     Needed,  Required, Text, None,        {},      [](S s, A a) { s.doPort(false, a); }},
        {"PWD",  "XPWD", Needed,  Optional, Text, None,        {},      [](S s, A) { s.doPrintDir(); }},
        {"QUIT", {},     Anytime, Optional, Text, None,        {},      [](S s, A) { s.doQuit(); }},
        {"REST", {},     Needed,  Required, Text, None,  "REST STREAM", [](S s, A a) { s.doRest(a); }},
        {"RETR", {},     Needed,  Required, Path, GetFile,     {},      [](S s, A a) { s.doRetrieve(a); }},
        {"RMD",  "XRMD", Needed,  Required, Path, RemoveDir,   {},      [](S s, A a) { s.doRemoveDir(a); }},
        {"RNFR", {},     Needed,  Required, Path, RenameFile,  {},      [](S s, A a) { s.doRenameFrom(a); }},
        {"RNTO", {},     Needed,  Required, Path, RenameFile,  {},      [](S s, A a) { s.doRenameTo(a); }},
        {"SITE", {},     Needed,  Required, Text, None,        {},      [](S s, A a) { s.doSite(a); }},
        {"SIZE", {},     Needed,  Required, Path, FileDetails, "SIZE",  [](S s, A a) { s.doSize(a, false); }},
        {"STAT", {},     Needed,  Optional, Text, None,        {},      [](S s, A a) { s.doStatus(a); }},
        {"STOR", {},     Needed,  Required, Path, PutFile,     {},      [](S s, A a) { s.doStore(a, false); }},
        {"STRU", {},     Needed,  Required, Text, None,        {},      [](S s, A a) { s.doStructure(a); }},
        {"SYST", {},     Anytime, Optional, Text, None,        {},
         [](S s, A) { s.reply(QStringLiteral("215 UNIX Type: L8")); }},
        {"TYPE", {},     Needed,  Required, Text, None,        {},      [](S s, A a) { s.doType(a); }},
        {"USER", {},     Anytime, Required, Text, None,        {},      [](S s, A a) { s.doUser(a); }},
    };
    return rows;
}

const FtpCommand* FtpCommands::find(const QString& verb)
{
    static const QHash<QString, const FtpCommand*> byName = [] {
        QHash<QString, const FtpCommand*> names;
        for (const FtpCommand& command : all()) {
            names.insert(QLatin1String(command.name), &command);
            if (command.alias)
                names.insert(QLatin1String(command.alias), &command);
        }
        return names;
    }();
    return byName.value(verb);
}

QString FtpCommands::featuresReply()
{
    static const QString text = [] {
        QStringList features;
        for (const FtpCommand& command : all()) {
            if (command.feature)
                features.append(QLatin1String(command.feature));
        }
        features.sort();
        return QStringLiteral("211-Features:\n ") + features.join(QStringLiteral("\n ")) + QStringLiteral("\n211 End");
    }();
    return text;
}

// The names in columns four wide, spread evenly over as few lines of at most
// fourteen as hold them, the longer lines last.
QString FtpCommands::helpReply()
{
    static const QString text = [] {
        QStringList names;
        for (const FtpCommand& command : all()) {
            names.append(QLatin1String(command.name));
            if (command.alias)
                names.append(QLatin1String(command.alias));
        }
        names.sort();
        constexpr qsizetype PerLine = 14;
        const qsizetype lines = (names.size() + PerLine - 1) / PerLine;
        QString body = QStringLiteral("214-The following commands are recognized.\n");
        qsizetype at = 0;
        for (qsizetype line = 0; line < lines; ++line) {
            const qsizetype count = names.size() / lines + (line >= lines - names.size() % lines ? 1 : 0);
            QStringList row = names.mid(at, count);
            at += count;
            for (qsizetype i = 0; i + 1 < row.size(); ++i)
                row[i] = row[i].leftJustified(4);
            body += QLatin1Char(' ') + row.join(QLatin1Char(' ')) + QLatin1Char('\n');
        }
        return body + QStringLiteral("214 Help OK.");
    }();
    return text;
}

// Prepares and reads an application folder for the end-to-end tests, with the
// program's own settings writer and cipher, in the folder QUAYPORT_HOME names.
//   quayhomeprep config NAME=VALUE...   writes Config.txt (names: ip port idle
//                                       put0byte root greeting loggedon
//                                       anonymous start; flags True/False)
//   quayhomeprep encipher TEXT...       one stored line per text
//   quayhomeprep decipher LINE...       the text of each stored line, one per
//                                       output line, with CR and LF escaped
//   quayhomeprep account NAME PASSWORD GROUP ROOT
//                                       writes users/U_NAME with every
//                                       permission, through the account writer
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"
#include "tests/support/ProgramStart.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

bool flag(const QString& value)
{
    return value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

int config(const QStringList& assignments)
{
    ModMain::ServerSettings& s = ModMain::ServerConfig;
    s = {QStringLiteral("127.0.0.1"), QStringLiteral("21"), QStringLiteral("5"), true, QString(),
         QStringLiteral("Hello"), QStringLiteral("Welcome"), true, true};
    for (const QString& assignment : assignments) {
        const qsizetype at = assignment.indexOf(QLatin1Char('='));
        const QString name = assignment.left(at);
        const QString value = assignment.mid(at + 1);
        if (name == QLatin1String("ip"))
            s.IP = value;
        else if (name == QLatin1String("port"))
            s.Port = value;
        else if (name == QLatin1String("idle"))
            s.IdleTimeout = value;
        else if (name == QLatin1String("put0byte"))
            s.Put0Byte = flag(value);
        else if (name == QLatin1String("root"))
            s.ServerRoot = value;
        else if (name == QLatin1String("greeting"))
            s.Greeting = value;
        else if (name == QLatin1String("loggedon"))
            s.LoggedOnMessage = value;
        else if (name == QLatin1String("anonymous"))
            s.AllowAnonymous = flag(value);
        else if (name == QLatin1String("start"))
            s.StartServer = flag(value);
        else {
            std::fprintf(stderr, "unknown setting %s\n", qPrintable(name));
            return 2;
        }
    }
    return ModMain::SaveConfig() ? 0 : 1;
}

int account(const QStringList& args)
{
    if (args.size() != 4)
        return 2;
    AccountRecord a;
    a.Permissions = PermissionSet::all(true);
    a.UserId = args.at(0);
    a.Password = args.at(1);
    a.Group = args.at(2);
    a.RootFolder = args.at(3);
    return WriteLines(AccountFilePath(a.UserId), AccountFileLines(a)) ? 0 : 1;
}

QString escaped(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StartLikeTheProgram();
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("config"))
        return config(args.mid(1));
    if (command == QLatin1String("account"))
        return account(args.mid(1));
    if (command == QLatin1String("encipher") || command == QLatin1String("decipher")) {
        for (const QString& text : args.mid(1)) {
            const QString out = command == QLatin1String("encipher") ? ModMain::Encipher(text)
                                                                     : escaped(ModMain::DeCipher(text));
            std::printf("%s\n", out.toUtf8().constData());
        }
        return 0;
    }
    std::fprintf(stderr, "usage: quayhomeprep config NAME=VALUE... | account NAME PASSWORD GROUP ROOT | encipher TEXT... | decipher LINE...\n");
    return 2;
}

// Hosts the FTP engine with the real session handlers and a console that
// writes to a record file, in the application folder QUAYPORT_HOME names.
//   quaysessionhost serve RECORDFILE   starts the server as the console does,
//                                      prints "PORT n", then serves until
//                                      standard input closes or says "exit"
#include "FileConsole.h"

#include "engine/FtpEngine.h"
#include "session/SessionHandlers.h"
#include "tests/support/ProgramStart.h"
#include "tests/support/StdinLines.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

int serve(QCoreApplication& app, const QString& recordPath)
{
    RecordFile record(recordPath);
    auto console = std::make_shared<FileConsole>(record);
    InstallErrorReporter(console);
    InstallConsoleLogProvider([console] { return static_cast<ConsoleLogList*>(console.get()); });

    FtpEngine engine;
    SessionHandlers handlers(engine, *console);
    engine.SetNotifySink(&handlers);
    engine.SetOptionFlag(true);
    engine.SetOptionNumber(0);
    if (!handlers.StartServer()) {
        std::fprintf(stderr, "the server did not start: %s\n", qPrintable(engine.LastError()));
        return 1;
    }
    std::printf("PORT %u\n", engine.BoundPort());
    std::fflush(stdout);

    StdinLines requests([](const QString& line) {
        if (line == QLatin1String("exit"))
            QCoreApplication::quit();
    });
    const int code = app.exec();
    handlers.StopServer();
    engine.SetNotifySink(nullptr);
    InstallConsoleLogProvider({});
    InstallErrorReporter(nullptr);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StartLikeTheProgram();
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("serve") && args.size() == 2)
        return serve(app, args.at(1));
    std::fprintf(stderr, "usage: quaysessionhost serve RECORDFILE\n");
    return 2;
}

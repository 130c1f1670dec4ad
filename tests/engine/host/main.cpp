// Runs the engine on a free port with a recording sink so that tests (and the
// benchmark) can drive it with real FTP clients. Prints "PORT n" first, then
// one JSON line per notification; reads control requests on standard input.
#include "RecordingSink.h"

#include "core/ErrorReporter.h"
#include "engine/FtpEngine.h"
#include "engine/FtpEnginePrivate.h"
#include "tests/support/StdinLines.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QPointer>

#include <cstdio>

namespace {
// Error reports become events, so that tests see what the engine reports.
class EventReporter final : public ErrorReporter {
public:
    explicit EventReporter(const RecordingSink& sink) : m_sink(sink) {}
    void show(const QString& text) override
    {
        m_sink.print({{QStringLiteral("e"), QStringLiteral("ErrorReport")}, {QStringLiteral("text"), text}});
    }

private:
    const RecordingSink& m_sink;
};

void runRequest(const QString& line, FtpEngine& engine, RecordingSink& sink)
{
    const QString verb = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    QJsonObject done{{QStringLiteral("e"), QStringLiteral("done")}, {QStringLiteral("request"), verb}};
    if (verb == QLatin1String("disconnect")) {
        // As the console does: a snapshot of the user's sessions, then Disconnect on each.
        QList<QPointer<FtpUser>> matches;
        for (int i = 0; i < engine.Sessions().Count(); ++i)
            if (engine.Sessions().Item(i)->UserName() == rest)
                matches.append(engine.Sessions().Item(i));
        for (const auto& user : matches)
            if (user)
                user->Disconnect();
        done.insert(QStringLiteral("closed"), int(matches.size()));
    } else if (verb == QLatin1String("stop")) {
        engine.StopListening();
    } else if (verb == QLatin1String("start")) {
        done.insert(QStringLiteral("ok"), engine.StartListening());
        done.insert(QStringLiteral("port"), engine.BoundPort());
    } else if (verb == QLatin1String("reply")) {
        QString text = rest.section(QLatin1Char(' '), 1);
        text.replace(QLatin1String("\\r\\n"), QLatin1String("\r\n")); // written as \r\n in the request
        engine.SetReplyText(rest.section(QLatin1Char(' '), 0, 0).toInt(), text);
    } else if (verb == QLatin1String("idle")) {
        engine.SetIdleSeconds(rest.toInt());
    } else if (verb == QLatin1String("serverfolder")) {
        const QStringList f = rest.split(QLatin1Char('|'));
        if (f.size() == 3)
            engine.VirtualFolderList().Add(f.at(0), f.at(1), f.at(2));
    } else if (verb == QLatin1String("release")) {
        sink.release();
    } else if (verb == QLatin1String("exit")) {
        QCoreApplication::quit();
    }
    QJsonArray sessions;
    for (int i = 0; i < engine.Sessions().Count(); ++i) {
        FtpUser* u = engine.Sessions().Item(i);
        sessions.append(QJsonObject{{QStringLiteral("sid"), qint64(u->SessionId())},
                                    {QStringLiteral("user"), u->UserName()},
                                    {QStringLiteral("state"), u->State()},
                                    {QStringLiteral("index"), u->ConnectionIndex()},
                                    {QStringLiteral("folder"), u->CurrentFolder()}});
    }
    done.insert(QStringLiteral("sessions"), sessions);
    done.insert(QStringLiteral("listening"), engine.Listening());
    sink.print(done);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.addOptions({
        {QStringLiteral("root"), QStringLiteral("Home folder of every session."), QStringLiteral("folder")},
        {QStringLiteral("idle"), QStringLiteral("Idle time-out in seconds."), QStringLiteral("seconds"), QStringLiteral("0")},
        {QStringLiteral("folder"), QStringLiteral("Session virtual folder name|path|real."), QStringLiteral("name|path|real")},
        {QStringLiteral("login-ms"), QStringLiteral("Login time limit."), QStringLiteral("ms")},
        {QStringLiteral("data-ms"), QStringLiteral("Data connection time limit."), QStringLiteral("ms")},
        {QStringLiteral("stall-ms"), QStringLiteral("Transfer stall limit."), QStringLiteral("ms")},
        {QStringLiteral("tick-ms"), QStringLiteral("Time-out check interval."), QStringLiteral("ms")},
        {QStringLiteral("login-delay-ms"), QStringLiteral("Shortest delay of a failed login."), QStringLiteral("ms")},
        {QStringLiteral("login-delay-max-ms"), QStringLiteral("Longest delay of a failed login."), QStringLiteral("ms")},
        {QStringLiteral("login-forget-ms"), QStringLiteral("Time that forgives one failed login."), QStringLiteral("ms")},
        {QStringLiteral("quiet"), QStringLiteral("Print nothing but the port.")},
    });
    options.process(app);

    FtpEngine engine;
    RecordingSink sink(engine, options.value(QStringLiteral("root")), options.isSet(QStringLiteral("quiet")));
    InstallErrorReporter(std::make_shared<EventReporter>(sink));
    for (const QString& entry : options.values(QStringLiteral("folder"))) {
        const QStringList f = entry.split(QLatin1Char('|'));
        if (f.size() == 3)
            sink.addSessionFolder(f.at(0), f.at(1), f.at(2));
    }
    FtpLimits& limits = FtpEnginePrivate::of(engine)->limits;
    const auto setLimit = [&](const char* option, int& limit) {
        if (options.isSet(QLatin1String(option)))
            limit = options.value(QLatin1String(option)).toInt();
    };
    setLimit("login-ms", limits.loginMs);
    setLimit("data-ms", limits.dataConnectMs);
    setLimit("stall-ms", limits.stallMs);
    setLimit("login-delay-ms", limits.loginDelayMs);
    setLimit("login-delay-max-ms", limits.loginDelayMaxMs);
    setLimit("login-forget-ms", limits.loginForgetMs);
    if (options.isSet(QStringLiteral("tick-ms"))) {
        limits.tickMs = options.value(QStringLiteral("tick-ms")).toInt();
        FtpEnginePrivate::of(engine)->ticker.setInterval(limits.tickMs);
    }
    engine.SetNotifySink(&sink);
    engine.SetDefaultRoot(options.value(QStringLiteral("root")));
    engine.SetIdleSeconds(options.value(QStringLiteral("idle")).toInt());
    engine.SetListenPort(0);
    if (!engine.StartListening()) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(engine.LastError()));
        return 1;
    }
    std::printf("PORT %u\n", engine.BoundPort());
    std::fflush(stdout);

    StdinLines requests([&](const QString& line) { runRequest(line, engine, sink); });
    const int code = app.exec();
    engine.StopListening();
    InstallErrorReporter(nullptr);
    return code;
}

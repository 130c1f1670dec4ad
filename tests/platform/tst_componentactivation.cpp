// Creating a component by its class identifier on the session bus, and
// starting a program without waiting. The bus cases need a session bus (the
// test runs under dbus-run-session from scripts/test) and skip without one.
#include "platform/ComponentActivation.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

// The answer of CanCreate, waited for with a bound.
std::optional<bool> answer(const QDBusConnection& bus, const QString& classId, bool* answeredAtOnce = nullptr)
{
    QObject context;
    std::optional<bool> result;
    ComponentActivation::CanCreate(bus, classId, &context, [&result](bool created) { result = created; });
    if (answeredAtOnce)
        *answeredAtOnce = result.has_value();
    return QTest::qWaitFor([&result] { return result.has_value(); }, 10000) ? result : std::nullopt;
}

const QString ClassId = QStringLiteral("Quayport.Test.clsComponent");

} // namespace

class TestComponentActivation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutABusNothingCanBeCreated()
    {
        const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                                   QStringLiteral("nobus"));
        QVERIFY(!none.isConnected());
        bool atOnce = true;
        QCOMPARE(answer(none, ClassId, &atOnce), std::optional<bool>(false));
        QVERIFY(!atOnce); // answered through the event loop, as on a bus
        QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
    }

    void aRegisteredNameCanBeCreated()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            QSKIP("no session bus");
        QCOMPARE(answer(bus, ClassId), std::optional<bool>(false));
        QVERIFY(bus.registerService(ClassId));
        QCOMPARE(answer(bus, ClassId), std::optional<bool>(true));
        QVERIFY(bus.unregisterService(ClassId));
        QCOMPARE(answer(bus, ClassId), std::optional<bool>(false));
    }

    void anActivatableNameCanBeCreated()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        if (!bus.isConnected() || dataHome.isEmpty())
            QSKIP("no session bus with its own XDG_DATA_HOME");
        const QString activatable = ClassId + QStringLiteral("Activatable");
        const QString services = dataHome + QStringLiteral("/dbus-1/services");
        QVERIFY(QDir().mkpath(services));
        QFile file(services + QLatin1Char('/') + activatable + QStringLiteral(".service"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[D-BUS Service]\nName=" + activatable.toUtf8() + "\nExec=/bin/false\n");
        file.close();
        bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
        QCOMPARE(answer(bus, activatable), std::optional<bool>(true));
        file.remove();
    }

    void programsStartWithoutWaiting()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("viewer"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/started\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(ComponentActivation::StartDetached(program, {QStringLiteral("/regserver")}));
        const auto written = [&dir] {
            QFile started(dir.filePath(QStringLiteral("started")));
            return started.open(QIODevice::ReadOnly) ? started.readAll() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(written(), QByteArray("/regserver\n"), 10000);

        QVERIFY(!ComponentActivation::StartDetached(dir.filePath(QStringLiteral("missing")), {}));
    }
};

QTEST_MAIN(TestComponentActivation)
#include "tst_componentactivation.moc"

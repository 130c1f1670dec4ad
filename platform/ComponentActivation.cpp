#include "platform/ComponentActivation.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace ComponentActivation {

namespace {

using Done = std::function<void(bool)>;

// Runs the call and hands its reply to next; a failed call answers false.
template <class Reply, class Next>
void whenAnswered(const QDBusPendingCall& call, QObject* context, Done done, Next next)
{
    auto* watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done = std::move(done), next = std::move(next)](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         const Reply reply = *finished;
                         if (reply.isError())
                             done(false);
                         else
                             next(reply.value());
                     });
}

} // namespace

void CanCreate(const QString& classId, QObject* context, Done done)
{
    CanCreate(QDBusConnection::sessionBus(), classId, context, std::move(done));
}

void CanCreate(const QDBusConnection& bus, const QString& classId, QObject* context, Done done)
{
    QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon) {
        QTimer::singleShot(0, context, [done = std::move(done)] { done(false); });
        return;
    }
    const QPointer<QDBusConnectionInterface> guard(daemon);
    whenAnswered<QDBusPendingReply<bool>>(
        daemon->asyncCall(QStringLiteral("NameHasOwner"), classId), context, done,
        [guard, classId, context, done](bool registered) {
            if (registered || !guard) {
                done(registered);
                return;
            }
            whenAnswered<QDBusPendingReply<QStringList>>(
                guard->asyncCall(QStringLiteral("ListActivatableNames")), context, done,
                [classId, done](const QStringList& names) { done(names.contains(classId)); });
        });
}

void Create(const QDBusConnection& bus, const QString& classId, int timeoutMs, QObject* context, Done done)
{
    const auto daemonCall = [](const char* method) {
        return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                              QStringLiteral("org.freedesktop.DBus"), QLatin1String(method));
    };
    // A name served already counts, with or without a service file; the bus
    // starts only names that one of its service files names.
    QDBusMessage owned = daemonCall("NameHasOwner");
    owned << classId;
    QDBusMessage start = daemonCall("StartServiceByName");
    start << classId << 0u;
    Call(bus, owned, timeoutMs, context,
         [bus, start, timeoutMs, context, done = std::move(done)](const QDBusMessage& reply) {
             if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool()) {
                 done(true);
                 return;
             }
             Call(bus, start, timeoutMs, context,
                  [done](const QDBusMessage& started) { done(started.type() == QDBusMessage::ReplyMessage); });
         });
}

void Call(const QDBusConnection& bus, const QDBusMessage& call, int timeoutMs, QObject* context,
          std::function<void(const QDBusMessage&)> done)
{
    if (!bus.isConnected()) {
        QTimer::singleShot(0, context, [done = std::move(done), call] {
            done(call.createErrorReply(QDBusError::Disconnected, QStringLiteral("Not connected to D-Bus server")));
        });
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         done(finished->reply());
                     });
}

bool Refused(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    const QString name = reply.errorName();
    return name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")
        || name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."));
}

void SetActivationEnvironment(const QDBusConnection& bus, const QMap<QString, QString>& variables)
{
    if (!bus.isConnected())
        return;
    static const QMetaType registered = qDBusRegisterMetaType<QMap<QString, QString>>();
    Q_UNUSED(registered);
    QDBusMessage update = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                         QStringLiteral("/org/freedesktop/DBus"),
                                                         QStringLiteral("org.freedesktop.DBus"),
                                                         QStringLiteral("UpdateActivationEnvironment"));
    update << QVariant::fromValue(variables);
    bus.asyncCall(update);
}

bool StartDetached(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace ComponentActivation

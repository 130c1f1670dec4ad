#include "platform/ComponentActivation.h"

#include <QDBusConnectionInterface>
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

#include "console/LogViewerClient.h"

#include "platform/ComponentActivation.h"
#include "platform/ScrollbookClass.h"

#include <QDBusConnection>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <memory>

namespace LogViewerClient {

namespace {

using Done = std::function<void(bool)>;

QDBusConnection bus()
{
    const QDBusConnection session = QDBusConnection::sessionBus();
    ComponentActivation::SetActivationEnvironment(session, ActivationVariables());
    return session;
}

void loadLog(const QString& path, int retries, int timeoutMs, QObject* context, Done done)
{
    QDBusMessage call = QDBusMessage::createMethodCall(ScrollbookClass::Name, ScrollbookClass::Path,
                                                       ScrollbookClass::Interface, ScrollbookClass::LoadLog);
    call << path;
    ComponentActivation::Call(bus(), call, timeoutMs, context,
                              [path, retries, timeoutMs, context, done = std::move(done)](const QDBusMessage& reply) {
                                  // The viewer's own failure is its answer; anything else means
                                  // no viewer took the call.
                                  if (reply.type() == QDBusMessage::ReplyMessage
                                      || reply.errorName() == ScrollbookClass::FailureError)
                                      done(true);
                                  else if (retries > 0 && ComponentActivation::Refused(reply))
                                      loadLog(path, retries - 1, timeoutMs, context, done);
                                  else
                                      done(false);
                              });
}

} // namespace

QMap<QString, QString> ActivationVariables()
{
    QMap<QString, QString> variables;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM", "QUAYPORT_HOME"})
        variables.insert(QLatin1String(name), qEnvironmentVariable(name));
    return variables;
}

void LoadLog(const QString& path, QObject* context, Done done, int timeoutMs)
{
    loadLog(path, 1, timeoutMs, context, std::move(done));
}

void CheckRegistration(const QString& program, QObject* context, Done done)
{
    ComponentActivation::Create(bus(), ScrollbookClass::Name, CallTimeoutMs, context, [program, context, done](bool created) {
        if (created) {
            done(true);
            return;
        }
        auto* regserver = new QProcess(context);
        regserver->setProgram(program);
        regserver->setArguments({QStringLiteral("/regserver")});
        regserver->setStandardInputFile(QProcess::nullDevice());
        regserver->setStandardOutputFile(QProcess::nullDevice());
        regserver->setStandardErrorFile(QProcess::nullDevice());
        // Once, when the registration has ended or the wait is over, whichever comes first.
        auto answered = std::make_shared<bool>(false);
        const auto tryAgain = [answered, context, done](bool started) {
            if (*answered)
                return;
            *answered = true;
            if (started)
                ComponentActivation::Create(bus(), ScrollbookClass::Name, CallTimeoutMs, context, done);
            else
                done(false);
        };
        QObject::connect(regserver, &QProcess::finished, context, [regserver, tryAgain] {
            regserver->deleteLater();
            tryAgain(true);
        });
        QObject::connect(regserver, &QProcess::errorOccurred, context, [regserver, tryAgain](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            regserver->deleteLater();
            tryAgain(false);
        });
        QTimer::singleShot(RegistrationWaitMs, regserver, [tryAgain] { tryAgain(true); });
        regserver->start();
    });
}

} // namespace LogViewerClient

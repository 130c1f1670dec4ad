#pragma once
// Creating a component by its class identifier, and starting a program
// without waiting for it. A class can be created when its identifier is a
// name that the D-Bus session bus has registered or can activate.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

namespace ComponentActivation {

// Asks the bus whether an object of the class can be created and answers
// through done, later, on this thread, while context lives. No bus, or a
// failing bus, answers false.
void CanCreate(const QString& classId, QObject* context, std::function<void(bool)> done);
void CanCreate(const QDBusConnection& bus, const QString& classId, QObject* context, std::function<void(bool)> done);

// Creates the class: asks the bus to start the program that serves it, or
// finds it running. Answers through done, later, on this thread, while
// context lives: false when the bus has no such class, its program does not
// start, or no answer came within the timeout.
void Create(const QDBusConnection& bus, const QString& classId, int timeoutMs, QObject* context,
            std::function<void(bool)> done);

// Sends a call and hands its answer, a reply or an error, to done, later, on
// this thread, while context lives. No answer within the timeout is an error.
void Call(const QDBusConnection& bus, const QDBusMessage& call, int timeoutMs, QObject* context,
          std::function<void(const QDBusMessage&)> done);

// True when the error says that the bus delivered the call to no one and
// never will: no such name, or its program could not be started or ended
// before it took the name. A time-out is no such answer: the call may still
// reach a program that starts late.
bool Refused(const QDBusMessage& reply);

// Sets variables of the environment in which the bus starts programs. The
// request goes out before any later call on the same connection; its answer
// is not waited for.
void SetActivationEnvironment(const QDBusConnection& bus, const QMap<QString, QString>& variables);

// Starts the program with the arguments, without a window of its own and
// without waiting for it; false when it could not be started.
bool StartDetached(const QString& program, const QStringList& arguments);

} // namespace ComponentActivation

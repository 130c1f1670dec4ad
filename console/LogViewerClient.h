#pragma once
// The console's side of the log viewer: opening a log in it, and checking at
// start-up that its class can be created. Everything answers later through the
// event loop, so the FTP engine, which serves on the same thread, is never held.
#include <QMap>
#include <QString>
#include <functional>

class QObject;

namespace LogViewerClient {

// How long one request may take, the viewer's start included.
constexpr int CallTimeoutMs = 15000;
// How long the check waits for "/regserver" to end before it tries again.
constexpr int RegistrationWaitMs = 10000;

// The variables a viewer started by the bus needs from the console: where to
// show its windows, and the application folder. An unset one is passed empty,
// so a value left by an earlier console does not linger.
QMap<QString, QString> ActivationVariables();

// Hands the path to a new viewer window. done(true) when a viewer answered,
// even with its own failure; done(false) when none could be created or
// reached, after one more try.
void LoadLog(const QString& path, QObject* context, std::function<void(bool)> done);

// Creates the viewer's class. When that fails (not registered, or registered
// for a program that does not start, as after the install moved), runs the
// program with "/regserver", waits for it a bounded time and tries once more.
// done receives the last answer; a program that cannot be started gives false.
void CheckRegistration(const QString& program, QObject* context, std::function<void(bool)> done);

} // namespace LogViewerClient

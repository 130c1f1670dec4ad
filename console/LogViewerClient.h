#pragma once
// The console's side of the log viewer: opening a log in it, and checking at
// start-up that its class can be created. Everything answers later through the
// event loop, so the FTP engine, which serves on the same thread, is never held.
#include <QMap>
#include <QString>
#include <functional>

class QObject;

namespace LogViewerClient {

// How long the start-up check waits for the class to be created.
constexpr int CallTimeoutMs = 15000;
// How long one LoadLog may take, the viewer's start included: longer than the
// session bus gives a program to start (two minutes as it is set up by
// default), so that the bus answers a start that fails or takes too long
// itself, and a slow start is not taken for a failure while the call still
// waits at the bus for the viewer.
constexpr int LoadLogTimeoutMs = 150000;
// How long the check waits for "/regserver" to end before it tries again.
constexpr int RegistrationWaitMs = 10000;

// The variables a viewer started by the bus needs from the console: where to
// show its windows, and the application folder. An unset one is passed empty,
// so a value left by an earlier console does not linger.
QMap<QString, QString> ActivationVariables();

// Hands the path to a new viewer window. done(true) when a viewer answered,
// even with its own failure; done(false) when none answered. Only a call the
// bus refused (no viewer could be started) is sent once more: a call that
// timed out may still be delivered, and a second one would open a second window.
void LoadLog(const QString& path, QObject* context, std::function<void(bool)> done,
             int timeoutMs = LoadLogTimeoutMs);

// Creates the viewer's class. When that fails (not registered, or registered
// for a program that does not start, as after the install moved), runs the
// program with "/regserver", waits for it a bounded time and tries once more.
// done receives the last answer; a program that cannot be started gives false.
void CheckRegistration(const QString& program, QObject* context, std::function<void(bool)> done);

} // namespace LogViewerClient

#pragma once
// Creating a component by its class identifier, and starting a program
// without waiting for it. A class can be created when its identifier is a
// name that the D-Bus session bus has registered or can activate.
#include <QDBusConnection>
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

// Starts the program with the arguments, without a window of its own and
// without waiting for it; false when it could not be started.
bool StartDetached(const QString& program, const QStringList& arguments);

} // namespace ComponentActivation

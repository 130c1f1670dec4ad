#include "logviewer/Registration.h"

#include "platform/ScrollbookClass.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

namespace Registration {

namespace {

void complain(const QString& text)
{
    std::fprintf(stderr, "Scrollbook /regserver: %s\n", qUtf8Printable(text));
}

// The bus reads the value in two passes: first as a key file, where "\\" stands
// for one backslash, then as a command line, where inside double quotes a
// backslash before one of these characters is taken away and every other
// byte stays as it is.
QByteArray quoted(const QByteArray& path)
{
    QByteArray commandLine = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\' || c == '$' || c == '`')
            commandLine += '\\';
        commandLine += c;
    }
    commandLine += '"';
    return commandLine.replace("\\", "\\\\");
}

} // namespace

bool HasRegServerSwitch(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i] && ::strcasecmp(argv[i], "/regserver") == 0)
            return true;
    return false;
}

QString ServiceFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/dbus-1/services/")
        + ScrollbookClass::Name + QStringLiteral(".service");
}

std::optional<QByteArray> ServiceFileText(const QString& program)
{
    const QByteArray path = QFile::encodeName(program);
    if (path.contains('\n') || path.contains('\r') || path.contains('\0'))
        return std::nullopt;
    return "[D-BUS Service]\nName=" + ScrollbookClass::Name.toUtf8() + "\nExec=" + quoted(path) + '\n';
}

int RegisterServer(const QString& program)
{
    const std::optional<QByteArray> text = ServiceFileText(program);
    if (!text) {
        complain(QStringLiteral("the program's path holds a line break; it cannot be registered"));
        return 1;
    }
    const QString file = ServiceFilePath();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        complain(QStringLiteral("cannot create the folder of ") + file);
        return 1;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(*text) != text->size() || !out.commit()) {
        complain(QStringLiteral("cannot write ") + file + QStringLiteral(": ") + out.errorString());
        return 1;
    }

    // No bus running is no failure: a bus started later reads the file itself.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const QDBusMessage reply = bus.call(
            QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                           QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")),
            QDBus::Block, 10000);
        if (reply.type() == QDBusMessage::ErrorMessage)
            complain(QStringLiteral("the bus did not reload its configuration: ") + reply.errorMessage());
    }
    return 0;
}

} // namespace Registration

#include "core/AppFolder.h"

#include "core/AnsiCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString AppFolder()
{
    const QByteArray home = qgetenv("QUAYPORT_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(QString::fromLocal8Bit(home)).absolutePath());
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString AppPath(const QString& tail)
{
    return AppFolder() + tail;
}

QString AppFolderRefusal()
{
    const QString folder = AppFolder();
    const QString named = QStringLiteral("The application folder \"") + folder + QStringLiteral("\" ");
    // A line break would be stored as a blank, which names another folder.
    if (!FitsAnsi(folder) || folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n')))
        return named
            + QStringLiteral("has characters that the settings and account files cannot store. Choose a folder "
                             "whose path has none (QUAYPORT_HOME names the folder).");
    if (!QFileInfo(folder).isDir())
        return named
            + QStringLiteral("does not exist or is not a folder. Create it, or set QUAYPORT_HOME to an existing folder.");
    return {};
}

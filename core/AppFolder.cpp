#include "core/AppFolder.h"

#include <QCoreApplication>
#include <QDir>

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

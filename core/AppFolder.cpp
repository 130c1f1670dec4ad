#include "core/AppFolder.h"

#include "core/AnsiCodec.h"
#include "core/FileMarks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace {

// Every file path of every FTP event starts here: an absolute QUAYPORT_HOME
// is cleaned once and remembered for as long as the variable holds it.
struct CleanedHome {
    QByteArray variable;
    QString folder;
};

QString folderNow()
{
    thread_local CleanedHome cleaned;
    const char* home = std::getenv("QUAYPORT_HOME");
    if (home && home[0] == '/' && cleaned.variable == home)
        return cleaned.folder;
    if (home && home[0] != 0) {
        const QString folder = QDir::cleanPath(QDir(QString::fromLocal8Bit(home)).absolutePath());
        if (home[0] == '/') // a relative one follows the current folder
            cleaned = CleanedHome{QByteArray(home), folder};
        return folder;
    }
    if (QCoreApplication::instance()) {
        thread_local const QString executableFolder = QCoreApplication::applicationDirPath();
        return executableFolder;
    }
    return QDir::currentPath();
}

} // namespace

QString AppFolder()
{
    // Looked up once per FTP notification: every path it builds starts here.
    thread_local std::pair<quint64, QString> forInstant;
    const quint64 instant = CurrentFileInstant();
    if (instant != 0 && forInstant.first == instant)
        return forInstant.second;
    QString folder = folderNow();
    if (instant != 0)
        forInstant = {instant, folder};
    return folder;
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

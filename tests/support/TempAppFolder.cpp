#include "tests/support/TempAppFolder.h"

#include "tests/support/ProgramStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

TempAppFolder::TempAppFolder(bool createStandardFolders)
    : m_hadHome(qEnvironmentVariableIsSet("QUAYPORT_HOME"))
{
    m_oldHome = qgetenv("QUAYPORT_HOME");
    qputenv("QUAYPORT_HOME", m_dir.path().toLocal8Bit());
    StartLikeTheProgram();
    if (createStandardFolders) {
        for (const char* f : {"logs", "groups", "users", "users/stats", "root"})
            QDir(m_dir.path()).mkpath(QString::fromLatin1(f));
    }
}

TempAppFolder::~TempAppFolder()
{
    // Tests may leave folders read-only; make them removable again.
    std::function<void(const QString&)> unlock = [&](const QString& folder) {
        QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadOwner);
        for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
            if (!fi.isSymLink())
                unlock(fi.absoluteFilePath());
    };
    unlock(m_dir.path());
    if (m_hadHome)
        qputenv("QUAYPORT_HOME", m_oldHome);
    else
        qunsetenv("QUAYPORT_HOME");
}

void TempAppFolder::write(const QString& tail, const QByteArray& bytes) const
{
    const QString p = file(tail);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TempAppFolder::read(const QString& tail) const
{
    QFile f(file(tail));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempAppFolder::exists(const QString& tail) const
{
    return QFileInfo::exists(file(tail));
}

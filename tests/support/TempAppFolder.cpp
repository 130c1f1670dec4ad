#include "tests/support/TempAppFolder.h"

#include "tests/support/ProgramStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <ftw.h>
#include <sys/stat.h>

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
    // Removed by bytes, not through QDir: a test may leave a name that is not
    // UTF-8, which QDir cannot spell, or a folder made read-only.
    const QByteArray top = QFile::encodeName(m_dir.path());
    ::nftw(
        top.constData(),
        [](const char* path, const struct stat* st, int kind, FTW*) {
            if (kind == FTW_D || kind == FTW_DNR)
                ::chmod(path, (st->st_mode & 07777) | S_IRWXU);
            return 0;
        },
        16, FTW_PHYS);
    ::nftw(top.constData(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path), 0; }, 16,
           FTW_PHYS | FTW_DEPTH);
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

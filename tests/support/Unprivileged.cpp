#include "tests/support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <grp.h>
#include <unistd.h>

void MakeReadOnlyForOthers(const QString& folder)
{
    // Parents must be enterable for the unprivileged child.
    QDir dir(folder);
    while (dir.cdUp()) {
        const QString p = dir.absolutePath();
        QFile::setPermissions(p, QFile::permissions(p) | QFileDevice::ExeOther | QFileDevice::ExeGroup);
        if (p == QDir::tempPath() || p == QStringLiteral("/"))
            break;
    }
    const auto ro = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QFile::setPermissions(folder, ro);
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        const QString p = folder + QLatin1Char('/') + e;
        if (QFileInfo(p).isDir())
            MakeReadOnlyForOthers(p);
        else
            QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
}

void BecomeUnprivileged()
{
    if (::geteuid() != 0)
        return;
    const gid_t nogroup = 65534;
    ::setgroups(0, nullptr);
    if (::setgid(nogroup) != 0 || ::setuid(65534) != 0)
        ::_exit(3);
}

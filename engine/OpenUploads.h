#pragma once
// The files that uploads are writing, so that a second upload of a file that
// is being written is refused instead of mixing its bytes into it or putting
// its own in place at the same time. A file is known by its place (the
// folder that holds it and its name there, without regard to letter case: a
// served folder may lie on a file system that ignores it) and, once open in
// place, by its device and inode (its other names: hard links). A claim may
// end on any thread.
#include <QMutex>
#include <QSet>
#include <QString>
#include <memory>
#include <sys/stat.h>
#include <utility>

class OpenUploads;

// One upload's hold on its file; released when it goes.
class UploadClaim {
public:
    ~UploadClaim();
    UploadClaim(const UploadClaim&) = delete;
    UploadClaim& operator=(const UploadClaim&) = delete;

    // Adds the identity of the file the upload opened; false when another
    // upload is writing that file.
    bool addFile(const struct stat& st);

private:
    friend class OpenUploads;
    UploadClaim(std::shared_ptr<OpenUploads> uploads, QString key);

    std::shared_ptr<OpenUploads> m_uploads;
    QString m_key;
    bool m_hasFile = false;
    std::pair<quint64, quint64> m_file;
};

class OpenUploads : public std::enable_shared_from_this<OpenUploads> {
public:
    // Null when an upload is writing that place already.
    std::unique_ptr<UploadClaim> claim(const struct stat& folder, const QByteArray& name);

private:
    friend class UploadClaim;
    QMutex m_mutex;
    QSet<QString> m_paths;
    QSet<std::pair<quint64, quint64>> m_files;
};

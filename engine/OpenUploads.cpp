#include "engine/OpenUploads.h"

std::unique_ptr<UploadClaim> OpenUploads::claim(const struct stat& folder, const QByteArray& name)
{
    QString key = QStringLiteral("%1:%2/").arg(quint64(folder.st_dev)).arg(quint64(folder.st_ino))
        + QString::fromUtf8(name).toCaseFolded();
    const QMutexLocker lock(&m_mutex);
    if (m_paths.contains(key))
        return nullptr;
    m_paths.insert(key);
    return std::unique_ptr<UploadClaim>(new UploadClaim(shared_from_this(), std::move(key)));
}

UploadClaim::UploadClaim(std::shared_ptr<OpenUploads> uploads, QString key)
    : m_uploads(std::move(uploads)), m_key(std::move(key))
{
}

UploadClaim::~UploadClaim()
{
    const QMutexLocker lock(&m_uploads->m_mutex);
    m_uploads->m_paths.remove(m_key);
    if (m_hasFile)
        m_uploads->m_files.remove(m_file);
}

bool UploadClaim::addFile(const struct stat& st)
{
    const std::pair<quint64, quint64> file{quint64(st.st_dev), quint64(st.st_ino)};
    const QMutexLocker lock(&m_uploads->m_mutex);
    if (m_hasFile || m_uploads->m_files.contains(file))
        return m_hasFile && m_file == file;
    m_uploads->m_files.insert(file);
    m_hasFile = true;
    m_file = file;
    return true;
}

#include "engine/ListingSource.h"

#include "core/FileNameBytes.h"
#include "engine/UploadFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <fcntl.h>

namespace {
constexpr int LinkCost = 16; // a link is walked from the base: it costs more of a slice
} // namespace

ListingSource::ListingSource(UniqueFd folder, LinkFollower follow, std::optional<NamePattern> pattern,
                             QList<DirEntry> fixed, qsizetype chunkBytes)
    : m_folder(nullptr, ::closedir), m_follow(std::move(follow)), m_pattern(std::move(pattern)),
      m_names(chunkBytes)
{
    for (DirEntry& e : fixed)
        if (!m_pattern || m_pattern->matches(e.name))
            m_fixed.append(Fixed{FileNameBytes::encode(e.name), std::move(e)});
    std::sort(m_fixed.begin(), m_fixed.end(), [](const Fixed& a, const Fixed& b) { return a.name < b.name; });
    if (folder.valid()) {
        m_folder.reset(::fdopendir(folder.get()));
        if (m_folder)
            folder.release(); // the stream owns it now
    }
    m_read = !m_folder;
}

ListingSource::ListingSource(QList<DirEntry> fixed) : ListingSource(UniqueFd(), {}, std::nullopt, std::move(fixed))
{
}

ListingSource::~ListingSource() = default;

bool ListingSource::accepted(const dirent& d, int& budget)
{
    const QByteArray name = QByteArray::fromRawData(d.d_name, qsizetype(std::strlen(d.d_name)));
    if (name == "." || name == ".." || UploadFile::isTemporaryName(name))
        return false;
    for (const Fixed& f : std::as_const(m_fixed))
        if (f.name == name)
            return false;
    if (m_pattern && !m_pattern->matches(FileNameBytes::decode(name)))
        return false;
    if (d.d_type != DT_LNK && d.d_type != DT_UNKNOWN)
        return true;
    struct stat st;
    if (::fstatat(::dirfd(m_folder.get()), d.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISLNK(st.st_mode))
        return true;
    budget -= LinkCost;
    return m_follow(name, st);
}

bool ListingSource::read(int budget)
{
    while (!m_read && budget > 0) {
        const dirent* d = ::readdir(m_folder.get());
        if (!d) {
            m_read = true;
            break;
        }
        --budget;
        if (accepted(*d, budget))
            m_names.add(QByteArrayView(d->d_name, qsizetype(std::strlen(d->d_name))));
    }
    if (m_read && !m_started) {
        m_started = true;
        m_names.finish();
        m_unseen = m_names.count() + m_fixed.size();
    }
    return m_read;
}

// The next entry that is still there, folder names and fixed entries merged by name.
bool ListingSource::fetch(DirEntry& entry)
{
    for (;;) {
        if (!m_peeked) {
            m_peekValid = m_names.next(m_peek);
            m_peeked = true;
        }
        if (m_fixedAt < m_fixed.size() && (!m_peekValid || m_fixed.at(m_fixedAt).name < m_peek)) {
            --m_unseen;
            entry = m_fixed.at(m_fixedAt++).entry;
            return true;
        }
        if (!m_peekValid)
            return false;
        m_peeked = false;
        --m_unseen;
        const int folder = ::dirfd(m_folder.get());
        if (::fstatat(folder, m_peek.constData(), &entry.info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone meanwhile
        if (S_ISLNK(entry.info.st_mode) && !m_follow(m_peek, entry.info))
            continue;
        entry.name = FileNameBytes::decode(m_peek);
        return true;
    }
}

bool ListingSource::take(DirEntry& entry, qint32& left)
{
    if (!read(0))
        return false;
    if (!m_aheadValid) {
        m_aheadValid = fetch(m_ahead);
        if (!m_aheadValid)
            return false;
    }
    entry = std::move(m_ahead);
    m_aheadValid = fetch(m_ahead);
    left = m_aheadValid ? qint32(std::clamp<qint64>(m_unseen + 1, 1, INT_MAX)) : 0;
    return true;
}

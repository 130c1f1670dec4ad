#pragma once
// What one listing shows, entry after entry in name order, read in slices so
// that no single step grows with the folder: the entries of a folder (those a
// wildcard matches, when one is given) with the virtual folders that show in
// it, or a fixed set of entries (a file named by the listing). It holds the
// folder open and keeps only the names while it reads, in bounded memory
// (SortedNames); each entry is looked at again when its turn comes.
#include "engine/DirListing.h"
#include "engine/NamePattern.h"
#include "engine/SortedNames.h"
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <QList>
#include <dirent.h>
#include <functional>
#include <memory>
#include <optional>

// What a symbolic link in the folder leads to; false leaves it out (a link
// that leads outside the base, or nowhere).
using LinkFollower = std::function<bool(const QByteArray& name, struct stat& st)>;

class ListingSource {
public:
    // ".", "..", the uploads' hidden temporaries and what a link leads to
    // outside are left out; links show as what they lead to. A fixed entry
    // stands in for a folder entry of the same name.
    ListingSource(UniqueFd folder, LinkFollower follow, std::optional<NamePattern> pattern, QList<DirEntry> fixed,
                  qsizetype chunkBytes = SortedNames::DefaultChunk);
    explicit ListingSource(QList<DirEntry> fixed);
    ~ListingSource();

    // Reads up to budget entries of the folder; true once it is read whole.
    bool read(int budget);
    // The next entry, once read() has said true, and how many follow it,
    // which is 0 only at the last (an entry that goes meanwhile is skipped).
    bool take(DirEntry& entry, qint32& left);

private:
    struct Fixed {
        QByteArray name;
        DirEntry entry;
    };
    bool accepted(const dirent& d, int& budget);
    bool fetch(DirEntry& entry);

    std::unique_ptr<DIR, int (*)(DIR*)> m_folder;
    LinkFollower m_follow;
    std::optional<NamePattern> m_pattern;
    QList<Fixed> m_fixed; // in name order
    qsizetype m_fixedAt = 0;
    SortedNames m_names;
    bool m_read = false;
    QByteArray m_peek; // the next folder name, once looked at
    bool m_peeked = false;
    bool m_peekValid = false;
    qint64 m_unseen = 0; // entries not yet handed out or skipped
    DirEntry m_ahead;
    bool m_aheadValid = false;
    bool m_started = false;
};

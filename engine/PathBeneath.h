#pragma once
// Client paths resolved beneath their base folder (the session's home or a
// virtual folder's real folder) at the moment they are used. The walk opens
// one folder after the other without following links, and follows the links
// it meets itself: a relative link within the walk, an absolute one only
// where it leads inside the base's real place, never ".." above the base and
// never more than a bounded number of links. What it yields is a descriptor
// of the folder that holds the place and the place's name there, so that
// every operation acts through the *at calls on exactly what was checked.
#include "engine/ClientPath.h"
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <optional>
#include <sys/stat.h>

namespace Beneath {

// Where a client path lies on the disk.
struct Place {
    UniqueFd folder; // O_PATH descriptor of the folder that holds it
    QByteArray name; // its name in that folder; "." for that folder itself
};

// Whether a symbolic link that is the path's last component is followed (a
// file to read, write or look at) or taken as it is (to delete or rename it).
enum class Last { Follow, Keep };

// Nothing when the path leads outside its base, through a missing folder or
// too many links, or the target has no folder. The last component itself may
// be missing (see exists).
std::optional<Place> resolve(const PathMap::Target& target, Last last);
// The same for an entry (a name as the folder holds it) of the target's folder.
std::optional<Place> resolve(const PathMap::Target& folder, const QByteArray& entry, Last last);

// fstatat of the place without following a link; false when it is missing.
bool exists(const Place& place, struct stat& st);

// The physical path when the target resolves (to something that exists, or
// with leafMayBeMissing to a place whose folder exists); else empty.
QString confinedPath(const PathMap::Target& target, bool leafMayBeMissing);

} // namespace Beneath

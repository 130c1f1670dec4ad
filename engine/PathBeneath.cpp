#include "engine/PathBeneath.h"

#include "core/FileNameBytes.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {
// As the kernel's own limit for one path.
constexpr int MaxLinks = 40;

using Names = std::deque<QByteArray>;

void prepend(Names& todo, const QByteArray& path)
{
    const QList<QByteArray> parts = path.split('/');
    for (auto it = parts.crbegin(); it != parts.crend(); ++it)
        if (!it->isEmpty() && *it != ".")
            todo.push_front(*it);
}

QByteArray linkText(int folder, const QByteArray& name)
{
    QByteArray text(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlinkat(folder, name.constData(), text.data(), size_t(text.size()));
    if (n <= 0 || n >= text.size())
        return {};
    text.truncate(n);
    return text;
}

// The base's place with every link resolved, from the descriptor just opened.
QByteArray realPlace(int fd, const QByteArray& path)
{
    char buffer[PATH_MAX];
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(proc.constData(), buffer, sizeof buffer - 1);
    if (n > 0 && buffer[0] == '/')
        return QByteArray(buffer, n);
    return ::realpath(path.constData(), buffer) ? QByteArray(buffer) : QByteArray();
}

// The part of an absolute link's text below the base's real place, or
// nothing when it leads elsewhere. Only the part outside the base is taken
// from the name space as it is now; the rest is walked beneath the base.
std::optional<QByteArray> insideBase(const QByteArray& text, const QByteArray& realBase)
{
    const QByteArray prefix = realBase == "/" ? QByteArray() : realBase;
    auto below = [&prefix](const QByteArray& path) -> std::optional<QByteArray> {
        if (path == prefix || path.startsWith(prefix + '/'))
            return path.mid(prefix.size());
        return std::nullopt;
    };
    if (auto rest = below(text))
        return rest;
    // The same place under another name (the base reached through a link).
    char buffer[PATH_MAX];
    if (::realpath(text.constData(), buffer))
        return below(QByteArray(buffer));
    return std::nullopt;
}

std::optional<Beneath::Place> fail(int error)
{
    errno = error;
    return std::nullopt;
}
} // namespace

namespace Beneath {

std::optional<Place> resolve(const PathMap::Target& target, Last last)
{
    return resolve(target, QByteArray(), last);
}

std::optional<Place> resolve(const PathMap::Target& target, const QByteArray& entry, Last last)
{
    if (target.base.isEmpty())
        return fail(ENOENT);
    const QByteArray basePath = FileNameBytes::encode(target.base);
    // The base itself is the administrator's: it may be reached through links.
    UniqueFd base(::open(basePath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!base.valid())
        return std::nullopt;
    Names todo;
    prepend(todo, FileNameBytes::encode(target.below));
    if (!entry.isEmpty())
        todo.push_back(entry);
    // The folders from the base down to where the walk stands; ".." pops one.
    std::vector<UniqueFd> folders;
    folders.push_back(std::move(base));
    QByteArray realBase;
    int links = 0;
    while (!todo.empty()) {
        const QByteArray name = std::move(todo.front());
        todo.pop_front();
        // The system would end the name at a NUL: "..\0x" would climb as "..".
        if (name.contains('\0'))
            return fail(EINVAL);
        if (name == "..") {
            if (folders.size() == 1)
                return fail(EXDEV);
            folders.pop_back();
            continue;
        }
        const int here = folders.back().get();
        const bool final = todo.empty();
        if (final && last == Last::Keep)
            return Place{std::move(folders.back()), name};
        if (!final) {
            // The usual case costs one call: a real folder opens as one.
            UniqueFd next(::openat(here, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (next.valid()) {
                folders.push_back(std::move(next));
                continue;
            }
            if (errno != ENOTDIR && errno != ELOOP)
                return std::nullopt;
        }
        struct stat st;
        if (::fstatat(here, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return final && errno == ENOENT ? std::optional<Place>(Place{std::move(folders.back()), name})
                                            : std::nullopt;
        if (!S_ISLNK(st.st_mode)) {
            if (!final)
                return fail(ENOTDIR);
            return Place{std::move(folders.back()), name};
        }
        if (++links > MaxLinks)
            return fail(ELOOP);
        const QByteArray text = linkText(here, name);
        if (text.isEmpty())
            return fail(ENOENT);
        if (text.startsWith('/')) {
            if (realBase.isEmpty())
                realBase = realPlace(folders.front().get(), basePath);
            const std::optional<QByteArray> rest = realBase.isEmpty() ? std::nullopt : insideBase(text, realBase);
            if (!rest)
                return fail(EXDEV);
            folders.resize(1);
            prepend(todo, *rest);
        } else {
            prepend(todo, text);
        }
    }
    // The walk ended on a folder itself: the base, or where a link or ".." led.
    return Place{std::move(folders.back()), QByteArrayLiteral(".")};
}

bool exists(const Place& place, struct stat& st)
{
    return ::fstatat(place.folder.get(), place.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

QString confinedPath(const PathMap::Target& target, bool leafMayBeMissing)
{
    const std::optional<Place> place = resolve(target, Last::Follow);
    struct stat st;
    if (!place || (!leafMayBeMissing && !exists(*place, st)))
        return {};
    return target.physical;
}

} // namespace Beneath

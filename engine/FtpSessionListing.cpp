// Listings of a session: LIST and NLST of a folder, of a file, or of what a
// wildcard matches in a folder. They go out in slices, each raising its
// entries' DirItems, so that the other sessions are served in between, and
// no faster than the data connection takes them.
#include "engine/FtpSession.h"

#include "core/FileNameBytes.h"
#include "engine/DirListing.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/ListingSource.h"
#include "engine/NamePattern.h"
#include "engine/PathBeneath.h"
#include "engine/SharedReplies.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {
const QString NoSuchPath = QStringLiteral("550 No such file or directory.");

// Per turn, each about a millisecond's work.
constexpr int ReadSlice = 2048;  // folder entries read
constexpr int EntrySlice = 128;  // DirItems raised
constexpr qsizetype LineSlice = 16 * 1024; // bytes of lines made
// Lines made but not yet sent, per listing: the socket's own buffer does the rest.
constexpr qsizetype ListingBuffer = 64 * 1024;

using Beneath::Last;
using Beneath::Place;

bool isFolder(const PathMap::Target& t)
{
    const std::optional<Place> place = Beneath::resolve(t, Last::Follow);
    struct stat st;
    return place && Beneath::exists(*place, st) && S_ISDIR(st.st_mode);
}

// NLST names an entry so that the client can fetch it as named: with the
// folder or the wildcard's folder as the client gave it in front.
QString namePrefix(const QString& argument, bool pattern)
{
    if (pattern) {
        const qsizetype slash
            = std::max(argument.lastIndexOf(QLatin1Char('/')), argument.lastIndexOf(QLatin1Char('\\')));
        return argument.left(slash + 1);
    }
    if (argument.isEmpty() || argument == QLatin1String("."))
        return {};
    if (argument.endsWith(QLatin1Char('/')) || argument.endsWith(QLatin1Char('\\')))
        return argument;
    return argument + QLatin1Char('/');
}
} // namespace

void FtpSession::doList(const QString& arg, bool namesOnly)
{
    m_restart = 0;
    // Options such as -l or -la are accepted and ignored.
    QString path = arg.trimmed();
    while (path.startsWith(QLatin1Char('-'))) {
        const qsizetype blank = path.indexOf(QLatin1Char(' '));
        path = blank < 0 ? QString() : path.mid(blank + 1).trimmed();
    }
    if (!permitted(path))
        return;
    PathMap::Target t = target(path);
    const std::optional<Place> place = Beneath::resolve(t, Last::Follow);
    struct stat st;
    QString pattern;
    if (!place || !Beneath::exists(*place, st)) {
        // Not there by that name: a wildcard in its last component lists what
        // it matches in its folder, which the resolver confines as any other.
        pattern = ClientPath::name(t.clientPath);
        if (t.isMountPoint || !NamePattern::isPattern(pattern)) {
            reply(NoSuchPath);
            return;
        }
        t = pathMap().map(ClientPath::parent(t.clientPath));
        if (!isFolder(t)) {
            reply(NoSuchPath);
            return;
        }
    }
    m_listingArgument = path;
    m_listingPattern = pattern;
    awaitDataConnection(namesOnly ? Kind::NameList : Kind::List, t);
}

// The program refuses a listing through its entries and the end-of-listing
// reply. One empty entry, the last, asks it before anything is looked at, so
// that a session without the right gets the same answer for any name.
bool FtpSession::listingPermitted()
{
    QString probe;
    if (!notify("DirItem", [&](IFtpEngineNotify& s) { s.DirItem(*this, probe, 0); }))
        return false;
    const QString answer = m_engine.replyTexts.value(FtpEngine::ListingEndReply);
    if (!answer.startsWith(QLatin1Char('4')) && !answer.startsWith(QLatin1Char('5')))
        return true;
    reply(answer, 550);
    return false;
}

void FtpSession::startListing(UniqueFd socket)
{
    const PathMap::Target folder = m_transferTarget;
    const std::optional<Place> place = Beneath::resolve(folder, Last::Follow);
    struct stat st;
    const bool pattern = !m_listingPattern.isEmpty();
    if (!place || !Beneath::exists(*place, st) || (pattern && !S_ISDIR(st.st_mode))) {
        clearTransfer();
        reply(NoSuchPath);
        return;
    }
    const bool namesOnly = m_kind == Kind::NameList;
    std::unique_ptr<ListingSource> source;
    if (!S_ISDIR(st.st_mode)) {
        const QString name = namesOnly ? m_listingArgument : ClientPath::name(folder.clientPath);
        source = std::make_unique<ListingSource>(QList<DirEntry>{DirEntry{name, st}});
    } else {
        UniqueFd opened(::openat(place->folder.get(), place->name.constData(),
                                 O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        QList<DirEntry> mounts;
        for (const PathMap::Mount& mount : pathMap().mountsIn(folder.clientPath)) {
            DirEntry e;
            e.name = ClientPath::name(mount.clientPath);
            if (::stat(FileNameBytes::encode(mount.realFolder).constData(), &e.info) == 0 && S_ISDIR(e.info.st_mode))
                mounts.append(std::move(e));
        }
        auto follow = [folder](const QByteArray& name, struct stat& info) {
            const std::optional<Place> to = Beneath::resolve(folder, name, Last::Follow);
            return to && Beneath::exists(*to, info);
        };
        source = std::make_unique<ListingSource>(std::move(opened), follow,
                                                 pattern ? std::optional(NamePattern(m_listingPattern)) : std::nullopt,
                                                 std::move(mounts));
        if (namesOnly)
            m_listingPrefix = namePrefix(m_listingArgument, pattern);
    }
    reply(QStringLiteral("150 Here comes the directory listing."));
    if (!live())
        return;
    auto* sender = new ListingSender(std::move(socket), ListingBuffer);
    connect(
        sender, &ListingSender::wantsMore, this,
        [this] {
            m_listingDue = true;
            wake();
        },
        Qt::QueuedConnection);
    m_listing = std::move(source);
    m_listingSender = sender;
    launch(TransferPtr(sender));
    listSome();
}

void FtpSession::listSome()
{
    if (!m_listing || !m_listingSender)
        return;
    if (!m_listing->read(ReadSlice)) {
        listLater();
        return;
    }
    if (!m_listingSender->hasRoom())
        return; // wantsMore brings the session back
    const bool namesOnly = m_kind == Kind::NameList;
    const std::time_t now = std::time(nullptr);
    QByteArray lines;
    DirEntry entry;
    qint32 left = 0;
    for (int n = 0; n < EntrySlice && lines.size() < LineSlice; ++n) {
        if (!m_listing->take(entry, left)) {
            // Nothing at all to list: the end reply is the engine's own.
            m_listingReply = FtpReply::listingComplete();
            m_listingSender->close();
            m_listing.reset();
            return;
        }
        QString info = namesOnly ? m_listingPrefix + entry.name : listLine(entry, now);
        if (!notify("DirItem", [&](IFtpEngineNotify& s) { s.DirItem(*this, info, left); }))
            return;
        if (!info.isEmpty()) {
            lines += FileNameBytes::encode(info);
            lines += "\r\n";
        }
        if (left == 0) {
            // The program may change the closing reply up to the last entry.
            m_listingReply = m_engine.replyTexts.value(FtpEngine::ListingEndReply);
            m_listingSender->feed(std::move(lines));
            m_listingSender->close();
            m_listing.reset();
            return;
        }
    }
    m_listingSender->feed(std::move(lines));
    listLater();
}

// Lets every other session have its turn first.
void FtpSession::listLater()
{
    m_listingDue = true;
    QMetaObject::invokeMethod(this, [this] { wake(); }, Qt::QueuedConnection);
}

void FtpSession::clearListing()
{
    m_listing.reset();
    m_listingSender = nullptr;
    m_listingArgument.clear();
    m_listingPattern.clear();
    m_listingPrefix.clear();
    m_listingDue = false;
}

// Data connections, file transfers and listings of a session.
#include "engine/FtpSession.h"

#include "engine/DataChannel.h"
#include "engine/DataTransfer.h"
#include "engine/DirListing.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/OpenUploads.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Aborted = QStringLiteral("426 Connection closed; transfer aborted.");
const QString FileBusy = QStringLiteral("450 File busy: another upload is writing it.");

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}
} // namespace

void FtpSession::newChannel()
{
    clearTransfer();
    m_channel = new DataChannel(m_peer, this);
    connect(m_channel, &DataChannel::connected, this, [this] {
        m_connectPending = true;
        wake();
    });
    connect(m_channel, &DataChannel::failed, this, [this] {
        m_connectFailed = true;
        wake();
    });
}

void FtpSession::doPassive(bool extended, const QString& arg)
{
    const QString a = arg.trimmed();
    if (extended && a.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0) {
        reply(QStringLiteral("200 EPSV ALL ok."));
        return;
    }
    const bool ipv4 = m_local.protocol() == QAbstractSocket::IPv4Protocol;
    if (extended && !a.isEmpty() && a != (ipv4 ? QLatin1String("1") : QLatin1String("2"))) {
        reply(ipv4 ? QStringLiteral("522 Network protocol not supported, use (1)")
                   : QStringLiteral("522 Network protocol not supported, use (2)"));
        return;
    }
    if (!extended && !ipv4) {
        reply(QStringLiteral("425 Use EPSV on this connection."));
        return;
    }
    newChannel();
    const quint16 port = m_channel->listen(m_local);
    if (port == 0) {
        clearTransfer();
        reply(QStringLiteral("425 Can't open passive connection."));
        return;
    }
    reply(extended ? QStringLiteral("229 Entering Extended Passive Mode (|||%1|).").arg(port)
                   : pasvReply(m_local, port));
}

void FtpSession::doPort(bool extended, const QString& arg)
{
    const std::optional<DataAddress> target = extended ? parseEprtArgument(arg) : parsePortArgument(arg);
    // Only back to the client itself, and never to a privileged port.
    if (!target || plainAddress(target->host) != m_peer || target->port < 1024) {
        reply(QStringLiteral("500 Illegal PORT command."));
        return;
    }
    newChannel();
    m_channel->connectLater(*target, m_local);
    reply(extended ? QStringLiteral("200 EPRT command successful.")
                   : QStringLiteral("200 PORT command successful. Consider using PASV."));
}

void FtpSession::doRetrieve(const QString& arg)
{
    QString filename = arg;
    const qint64 restart = std::exchange(m_restart, 0);
    if (!permitted("GetFile", [&](IFtpEngineNotify& s, bool& c, QString& m) { s.GetFile(*this, filename, c, m); }))
        return;
    const QString p = PathMap::confined(target(filename), false);
    UniqueFd file(p.isEmpty() ? -1 : ::open(encoded(p).constData(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        reply(QStringLiteral("550 Failed to open file."));
        return;
    }
    if (restart > st.st_size) {
        reply(QStringLiteral("554 Restart position beyond the end of the file."));
        return;
    }
    m_kind = Kind::Retrieve;
    m_transferPath = p;
    m_file = std::move(file);
    m_offset = restart;
    m_size = st.st_size;
    awaitDataConnection();
}

void FtpSession::doStore(const QString& arg, bool append)
{
    QString filename = arg;
    const qint64 restart = append ? 0 : m_restart;
    m_restart = 0;
    if (!permitted("PutFile", [&](IFtpEngineNotify& s, bool& c, QString& m) { s.PutFile(*this, filename, c, m); }))
        return;
    const PathMap::Target t = target(filename);
    const QString p = t.isMountPoint ? QString() : PathMap::confined(t, true);
    struct stat st;
    const bool present = !p.isEmpty() && ::stat(encoded(p).constData(), &st) == 0;
    if (p.isEmpty() || (present && !S_ISREG(st.st_mode))) {
        reply(QStringLiteral("553 Could not create file."));
        return;
    }
    if (restart > 0 && (!present || restart > st.st_size)) {
        reply(QStringLiteral("554 Restart position beyond the end of the file."));
        return;
    }
    m_kind = append ? Kind::Append : Kind::Store;
    m_transferPath = p;
    m_offset = restart;
    awaitDataConnection();
}

void FtpSession::doList(const QString& arg, bool namesOnly)
{
    m_restart = 0;
    // Options such as -l or -la are accepted and ignored.
    QString path = arg.trimmed();
    while (path.startsWith(QLatin1Char('-'))) {
        const qsizetype blank = path.indexOf(QLatin1Char(' '));
        path = blank < 0 ? QString() : path.mid(blank + 1).trimmed();
    }
    const PathMap::Target t = target(path);
    const QString p = PathMap::confined(t, false);
    if (p.isEmpty()) {
        reply(QStringLiteral("550 No such file or directory."));
        return;
    }
    m_kind = namesOnly ? Kind::NameList : Kind::List;
    m_transferPath = p;
    m_transferClientPath = t.clientPath;
    m_transferBase = t.base;
    awaitDataConnection();
}

void FtpSession::awaitDataConnection()
{
    if (!m_channel || !m_channel->prepared()) {
        clearTransfer();
        reply(QStringLiteral("425 Use PORT or PASV first."));
        return;
    }
    m_waitingSince = now();
    m_channel->open();
}

void FtpSession::dataFailed()
{
    if (m_kind == Kind::None || m_transfer)
        return;
    clearTransfer();
    reply(QStringLiteral("425 Can't open data connection."));
}

void FtpSession::dataConnected()
{
    if (m_kind == Kind::None || m_transfer || !m_channel)
        return;
    UniqueFd socket = m_channel->take();
    if (!socket.valid()) {
        dataFailed();
        return;
    }
    switch (m_kind) {
    case Kind::Retrieve: {
        m_started = true;
        m_state = Sending;
        m_currentFile = m_transferPath;
        const QString name = m_transferPath.mid(m_transferPath.lastIndexOf(QLatin1Char('/')) + 1);
        reply(QStringLiteral("150 Opening BINARY mode data connection for %1 (%2 bytes).").arg(name).arg(m_size));
        if (!live())
            return;
        launch(TransferPtr(new FileSender(std::move(socket), std::move(m_file), off_t(m_offset), off_t(m_size))));
        return;
    }
    case Kind::Store:
    case Kind::Append: {
        // One writer per file: a second one would interleave its bytes with
        // the first's. Refused before the file is created or cut.
        m_claim = m_engine.uploads->claim(m_transferPath);
        if (!m_claim) {
            clearTransfer();
            reply(FileBusy);
            return;
        }
        // Created only now that the data is on its way.
        const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (m_kind == Kind::Append ? O_APPEND : 0);
        m_file.reset(::open(encoded(m_transferPath).constData(), flags, 0666));
        struct stat st;
        if (m_file.valid() && ::fstat(m_file.get(), &st) == 0 && !m_claim->addFile(st)) {
            clearTransfer();
            reply(FileBusy);
            return;
        }
        if (!m_file.valid()
            || (m_kind == Kind::Store
                && (::ftruncate(m_file.get(), m_offset) != 0 || ::lseek(m_file.get(), m_offset, SEEK_SET) < 0))) {
            clearTransfer();
            reply(QStringLiteral("553 Could not create file."));
            return;
        }
        m_started = true;
        m_state = Receiving;
        m_currentFile = m_transferPath;
        reply(QStringLiteral("150 Ok to send data."));
        if (!live())
            return;
        launch(TransferPtr(new FileReceiver(std::move(socket), std::move(m_file), std::move(m_claim))));
        return;
    }
    case Kind::List:
    case Kind::NameList:
        startListing(std::move(socket));
        return;
    case Kind::None:
        return;
    }
}

void FtpSession::launch(TransferPtr transfer)
{
    m_transfer = std::move(transfer);
    DataTransfer* t = m_transfer.get();
    const quint64 generation = ++m_transferGeneration;
    connect(
        t, &DataTransfer::finished, this,
        [this, generation](DataTransfer::Outcome outcome) {
            if (generation != m_transferGeneration)
                return; // a transfer already dropped
            m_outcome = int(outcome);
            m_outcomePending = true;
            wake();
        },
        Qt::QueuedConnection);
    m_engine.transferThreads.adopt(t);
    QMetaObject::invokeMethod(t, &DataTransfer::start, Qt::QueuedConnection);
}

void FtpSession::startListing(UniqueFd socket)
{
    reply(QStringLiteral("150 Here comes the directory listing."));
    if (!live())
        return;
    QList<DirEntry> entries;
    DirEntry single;
    if (::stat(encoded(m_transferPath).constData(), &single.info) == 0 && !S_ISDIR(single.info.st_mode)) {
        single.name = m_transferClientPath.mid(m_transferClientPath.lastIndexOf(QLatin1Char('/')) + 1);
        entries.append(single);
    } else {
        entries = readFolder(m_transferPath, m_transferBase);
        for (const PathMap::Mount& mount : pathMap().mountsIn(m_transferClientPath)) {
            DirEntry e;
            e.name = mount.clientPath.mid(mount.clientPath.lastIndexOf(QLatin1Char('/')) + 1);
            if (::stat(encoded(mount.realFolder).constData(), &e.info) == 0 && S_ISDIR(e.info.st_mode))
                mergeEntry(entries, std::move(e));
        }
    }
    const std::time_t nowTime = std::time(nullptr);
    const bool namesOnly = m_kind == Kind::NameList;
    QByteArray data;
    const qsizetype count = entries.size();
    for (qsizetype i = 0; i < count; ++i) {
        QString info = namesOnly ? entries.at(i).name : listLine(entries.at(i), nowTime);
        const qint32 left = qint32(count - 1 - i);
        if (!notify("DirItem", [&](IFtpEngineNotify& s) { s.DirItem(*this, info, left); }))
            return;
        if (!info.isEmpty()) {
            data += info.toUtf8();
            data += "\r\n";
        }
    }
    // The program may change the closing reply up to the last entry.
    m_listingReply = count > 0 ? m_engine.replyTexts.value(FtpEngine::ListingEndReply) : DefaultListingEndText();
    launch(TransferPtr(new BufferSender(std::move(socket), std::move(data))));
}

void FtpSession::transferDone()
{
    if (!m_transfer)
        return;
    const auto outcome = DataTransfer::Outcome(m_outcome);
    QString finalReply;
    if (outcome == DataTransfer::Outcome::Done)
        finalReply = m_kind == Kind::List || m_kind == Kind::NameList ? m_listingReply
                                                                      : QStringLiteral("226 Transfer complete.");
    else if (outcome == DataTransfer::Outcome::Shortened)
        finalReply = QStringLiteral("451 File shortened during transfer; transfer aborted.");
    else if (outcome == DataTransfer::Outcome::LocalError)
        finalReply = m_kind == Kind::Retrieve ? QStringLiteral("451 Failure reading the local file.")
                                              : QStringLiteral("451 Failure writing the local file.");
    else
        finalReply = Aborted;
    endTransfer(outcome == DataTransfer::Outcome::Done, finalReply);
}

void FtpSession::endTransfer(bool success, const QString& finalReply)
{
    const bool started = m_started;
    const QString path = m_transferPath;
    const qint32 direction = m_kind == Kind::Retrieve ? 1 : 0;
    clearTransfer();
    m_lastCommand = now();
    if (started
        && !notify("TransferFinished",
                   [&](IFtpEngineNotify& s) { s.TransferFinished(*this, path, direction, success); }))
        return;
    reply(finalReply, 226);
    if (m_controlGone)
        requestClose();
}

void FtpSession::doAbort()
{
    if (m_kind == Kind::None) {
        clearTransfer();
        reply(QStringLiteral("225 No transfer to abort."));
        return;
    }
    endTransfer(false, Aborted);
    if (live())
        reply(QStringLiteral("226 ABOR command successful."));
}

void FtpSession::clearTransfer()
{
    if (m_transfer) {
        // Its thread deletes it, closing the data connection on the way.
        m_transfer->disconnect(this);
        m_transfer.reset();
        ++m_transferGeneration;
    }
    if (m_channel) {
        m_channel->disconnect(this);
        m_channel->deleteLater();
        m_channel = nullptr;
    }
    m_kind = Kind::None;
    m_started = false;
    m_file.reset();
    m_claim.reset();
    m_outcomePending = false;
    m_connectPending = false;
    m_connectFailed = false;
    m_waitingSince = 0;
    m_listingReply.clear();
    m_state = m_loggedIn ? Connected : Authorizing;
}

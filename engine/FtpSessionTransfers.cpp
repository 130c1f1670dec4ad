// Data connections, file transfers and listings of a session.
#include "engine/FtpSession.h"

#include "engine/DataChannel.h"
#include "engine/DataTransfer.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/PathBeneath.h"
#include "engine/UploadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Aborted = QStringLiteral("426 Connection closed; transfer aborted.");
const QString FileBusy = QStringLiteral("450 File busy: another upload is writing it.");
const QString CannotOpen = QStringLiteral("550 Failed to open file.");
const QString CannotCreate = QStringLiteral("553 Could not create file.");
const QString BeyondEnd = QStringLiteral("554 Restart position beyond the end of the file.");

using Beneath::Last;
using Beneath::Place;
} // namespace

UniqueFd FtpSession::openToRead(const PathMap::Target& target, struct stat& st)
{
    const std::optional<Place> place = Beneath::resolve(target, Last::Follow);
    // A FIFO, device or socket is refused before it is opened; the open
    // itself cannot block should one be put there meanwhile.
    if (!place || !Beneath::exists(*place, st) || !S_ISREG(st.st_mode))
        return {};
    UniqueFd file(::openat(place->folder.get(), place->name.constData(),
                           O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)
        || ::fcntl(file.get(), F_SETFL, 0) != 0)
        return {};
    return file;
}

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

void FtpSession::doRetrieve(QString arg)
{
    const qint64 restart = std::exchange(m_restart, 0);
    if (!permitted(arg))
        return;
    // Answered now; opened anew, where the name then leads, when the data connection comes.
    const PathMap::Target t = target(arg);
    struct stat st;
    if (!openToRead(t, st).valid()) {
        reply(CannotOpen);
        return;
    }
    if (restart > st.st_size) {
        reply(BeyondEnd);
        return;
    }
    awaitDataConnection(Kind::Retrieve, t, restart);
}

void FtpSession::doStore(QString arg, bool append)
{
    const qint64 restart = append ? 0 : m_restart;
    m_restart = 0;
    if (!permitted(arg))
        return;
    const PathMap::Target t = target(arg);
    const std::optional<Place> place = t.isMountPoint ? std::nullopt : Beneath::resolve(t, Last::Follow);
    struct stat st;
    const bool present = place && Beneath::exists(*place, st);
    if (!place || (present && !S_ISREG(st.st_mode))) {
        reply(CannotCreate);
        return;
    }
    if (restart > 0 && (!present || restart > st.st_size)) {
        reply(BeyondEnd);
        return;
    }
    awaitDataConnection(append ? Kind::Append : Kind::Store, t, restart);
}

void FtpSession::awaitDataConnection(Kind kind, const PathMap::Target& target, qint64 offset)
{
    m_kind = kind;
    m_transferTarget = target;
    m_transferPath = target.physical;
    m_offset = offset;
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
    case Kind::Retrieve:
        startRetrieve(std::move(socket));
        return;
    case Kind::Store:
    case Kind::Append:
        startStore(std::move(socket));
        return;
    case Kind::List:
    case Kind::NameList:
        startListing(std::move(socket));
        return;
    case Kind::None:
        return;
    }
}

void FtpSession::startRetrieve(UniqueFd socket)
{
    struct stat st;
    UniqueFd file = openToRead(m_transferTarget, st);
    if (!file.valid() || m_offset > st.st_size) {
        clearTransfer();
        reply(file.valid() ? BeyondEnd : CannotOpen);
        return;
    }
    m_started = true;
    m_state = Sending;
    m_currentFile = m_transferPath;
    const QString name = m_transferPath.mid(m_transferPath.lastIndexOf(QLatin1Char('/')) + 1);
    reply(QStringLiteral("150 Opening BINARY mode data connection for %1 (%2 bytes).").arg(name).arg(st.st_size));
    if (!live())
        return;
    launch(TransferPtr(new FileSender(std::move(socket), std::move(file), off_t(m_offset), st.st_size)));
}

void FtpSession::startStore(UniqueFd socket)
{
    // Opened only now that the data is on its way, where the name now leads.
    // One writer per place: a second one would mix its bytes into the first's
    // or put its own file in place at the same time.
    std::optional<Place> place
        = m_transferTarget.isMountPoint ? std::nullopt : Beneath::resolve(m_transferTarget, Last::Follow);
    const UploadFile::Mode mode = m_kind == Kind::Append ? UploadFile::Mode::Append
        : m_offset > 0                                   ? UploadFile::Mode::Resume
                                                         : UploadFile::Mode::Replace;
    UploadFile::Refusal refusal = UploadFile::Refusal::CannotCreate;
    std::unique_ptr<UploadFile> file
        = place ? UploadFile::open(std::move(*place), mode, m_offset, *m_engine.uploads, refusal) : nullptr;
    if (!file) {
        clearTransfer();
        reply(refusal == UploadFile::Refusal::Busy ? FileBusy : CannotCreate);
        return;
    }
    m_started = true;
    m_state = Receiving;
    m_currentFile = m_transferPath;
    reply(QStringLiteral("150 Ok to send data."));
    if (!live())
        return;
    launch(TransferPtr(new FileReceiver(std::move(socket), std::move(file))));
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

void FtpSession::transferDone()
{
    if (!m_transfer)
        return;
    if (!m_stopReplies.isEmpty()) {
        const QStringList replies = std::exchange(m_stopReplies, {});
        endTransfer(false, replies.first());
        for (qsizetype i = 1; i < replies.size() && live(); ++i)
            reply(replies.at(i));
        return;
    }
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

void FtpSession::stopTransfer(const QStringList& replies)
{
    if (!m_stopReplies.isEmpty()) {
        m_stopReplies += replies.mid(1); // the transfer's own end is answered once
        return;
    }
    m_stopReplies = replies;
    QMetaObject::invokeMethod(m_transfer.get(), &DataTransfer::cancel, Qt::QueuedConnection);
}

// Called once a transfer has reported its end, or before it began.
void FtpSession::endTransfer(bool success, const QString& finalReply)
{
    const bool started = m_started;
    const QString path = m_transferPath;
    const qint32 direction = m_kind == Kind::Retrieve ? 1 : 0;
    if (started)
        m_lastTransferBytes = m_transfer ? m_transfer->bytesMoved() : 0;
    // An upload keeps its file, and its claim, until the program has seen its end.
    m_upload = m_transfer ? m_transfer->takeFile() : nullptr;
    clearTransfer();
    m_lastCommand = now();
    const bool goOn = !started
        || notify("TransferFinished", [&](IFtpEngineNotify& s) { s.TransferFinished(*this, path, direction, success); });
    m_upload.reset();
    if (!goOn)
        return;
    reply(finalReply, 226);
    if (m_controlGone)
        requestClose();
}

void FtpSession::doAbort()
{
    const QString done = QStringLiteral("226 ABOR command successful.");
    if (m_kind == Kind::None) {
        clearTransfer();
        reply(QStringLiteral("225 No transfer to abort."));
        return;
    }
    if (m_transfer) {
        stopTransfer({Aborted, done});
        return;
    }
    endTransfer(false, Aborted);
    if (live())
        reply(done);
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
    m_stopReplies.clear();
    m_outcomePending = false;
    m_connectPending = false;
    m_connectFailed = false;
    m_waitingSince = 0;
    m_listingReply.clear();
    clearListing();
    m_state = m_loggedIn ? Connected : Authorizing;
}

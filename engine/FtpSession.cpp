#include "engine/FtpSession.h"

#include "core/ErrorReporter.h"
#include "core/FileMarks.h"
#include "core/FileNameBytes.h"
#include "core/ProcedureName.h"
#include "core/ProgramError.h"
#include "engine/ControlConnection.h"
#include "engine/DataChannel.h"
#include "engine/DataTransfer.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/ListingSource.h"
#include "engine/PathBeneath.h"
#include "engine/ReplyLines.h"
#include "engine/SocketCloser.h"
#include "engine/UploadFile.h"

#include <QDeadlineTimer>

namespace {
// Where an error without a place of its own is reported: the notification that raised it.
QString HandlerPlace(const char* notification)
{
    return ProcedureName(u"FtpEngine", u"FtpEngineCtl", notification);
}

constexpr qsizetype ReadChunk = 4096;
constexpr qint64 MaxQueuedOutput = 64 * 1024; // stop reading commands while replies pile up
constexpr qsizetype MaxHeld = 32;             // commands kept while a transfer runs
} // namespace

// Marks the session as running its own code. A Disconnect, a lost connection
// or an event that arrives meanwhile (through a handler's nested event loop)
// waits until the outermost level returns.
struct FtpSession::Busy {
    explicit Busy(FtpSession& session) : s(session) { ++s.m_depth; }
    ~Busy()
    {
        if (--s.m_depth == 0)
            s.settle();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    FtpSession& s;
};

bool FtpSession::notify(const char* name, const std::function<void(IFtpEngineNotify&)>& call)
{
    if (IFtpEngineNotify* sink = m_engine.sink) {
        Busy busy(*this);
        const FileInstant instant; // the handler sees the files as they are now

        // A failing handler must not take the session down, nor fail unseen.
        try {
            call(*sink);
        } catch (const ProgramError& e) {
            ReportError(e.description(), e.source(), e.line());
        } catch (const std::exception& e) {
            ReportError(QString::fromUtf8(e.what()), HandlerPlace(name), 0);
        } catch (...) {
            ReportError(QStringLiteral("Unknown error"), HandlerPlace(name), 0);
        }
    }
    return live();
}

FtpSession::FtpSession(FtpEnginePrivate& engine, std::unique_ptr<ControlConnection> control,
                       const QHostAddress& peer, quint64 id, qint16 index)
    : FtpUser(engine.q), m_engine(engine), m_control(std::move(control)), m_id(id), m_index(index), m_peer(peer),
      m_peerText(m_peer.toString()), m_local(plainAddress(m_control->localAddress()))
{
    m_connected.start();
    m_lastCommand = now();
    // Whatever the socket had (input, room for output, its end) is looked at
    // where the session reads and writes.
    m_control->setHandler([this] {
        if (m_control->atEnd())
            m_controlGone = true;
        if (m_outputBlocked && m_control->bytesToWrite() < MaxQueuedOutput / 2)
            m_outputBlocked = false;
        wake();
    });
    m_hold.setSingleShot(true);
    m_hold.setTimerType(Qt::PreciseTimer); // never answers before the delay
    connect(&m_hold, &QTimer::timeout, this, &FtpSession::holdEnded);
}

FtpSession::~FtpSession() = default;

qint64 FtpSession::now()
{
    return QDeadlineTimer::current().deadline();
}

void FtpSession::begin()
{
    Busy busy(*this);
    reply(m_engine.replyTexts.value(FtpEngine::GreetingReply), 220);
}

void FtpSession::settle()
{
    if (m_phase != Phase::Live)
        return;
    const bool uploading = m_transfer && (m_kind == Kind::Store || m_kind == Kind::Append);
    if ((m_closeRequested && !onHold()) || (m_controlGone && !uploading)) {
        finish(true);
        return;
    }
    if (m_deferred && !m_resumeQueued) {
        m_deferred = false;
        m_resumeQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_resumeQueued = false;
                wake();
            },
            Qt::QueuedConnection);
    }
}

void FtpSession::wake()
{
    if (m_phase != Phase::Live)
        return;
    if (m_depth > 0) {
        m_deferred = true;
        return;
    }
    Busy busy(*this);
    advance();
}

void FtpSession::advance()
{
    if (m_outcomePending) {
        m_outcomePending = false;
        transferDone();
    }
    if (live() && m_connectFailed) {
        m_connectFailed = false;
        dataFailed();
    }
    if (live() && m_connectPending) {
        m_connectPending = false;
        dataConnected();
    }
    if (live() && m_listingDue) {
        m_listingDue = false;
        listSome();
    }
    if (live() && m_loginWaiting && !onHold()) {
        m_loginWaiting = false;
        doPass(m_loginPass);
    }
    if (live())
        processLines();
}

void FtpSession::finish(bool raise)
{
    if (m_phase != Phase::Live)
        return;
    m_phase = Phase::Ending;
    Busy busy(*this);
    // Ending now, it sends what it held, as any reply queued before the close.
    m_hold.stop();
    releaseOutput();
    const bool started = m_started;
    const QString path = m_transferPath;
    const qint32 direction = m_kind == Kind::Retrieve ? 1 : 0;
    if (started)
        m_lastTransferBytes = m_transfer ? m_transfer->bytesMoved() : 0;
    clearTransfer();
    if (started && raise)
        notify("TransferFinished",
               [&](IFtpEngineNotify& s) { s.TransferFinished(*this, path, direction, false); });
    if (m_control)
        SocketCloser::close(std::move(m_control), m_engine.q);
    m_engine.detach(this);
    if (raise)
        notify("UserLogout", [&](IFtpEngineNotify& s) { s.UserLogout(*this); });
    m_phase = Phase::Ended;
    deleteLater();
}

void FtpSession::Disconnect()
{
    if (m_phase != Phase::Live)
        return;
    if (m_depth > 0) {
        requestClose();
        return;
    }
    finish(true);
}

void FtpSession::shutDown(const QString& text)
{
    if (m_phase != Phase::Live)
        return;
    Busy busy(*this);
    m_hold.stop(); // the server goes away: no delay holds this session back
    releaseOutput();
    reply(text, 421);
    requestClose();
}

void FtpSession::drop()
{
    finish(false);
}

void FtpSession::checkTimeouts()
{
    if (m_phase != Phase::Live || m_depth > 0 || onHold())
        return;
    Busy busy(*this);
    const qint64 t = now();
    const FtpLimits& limits = m_engine.limits;
    if (!m_loggedIn && !m_controlGone && m_connected.elapsed() > limits.loginMs) {
        reply(QStringLiteral("421 Login timed out."));
        requestClose();
        return;
    }
    if (transferBusy()) {
        if (!m_transfer && m_waitingSince > 0 && t - m_waitingSince > limits.dataConnectMs) {
            clearTransfer();
            reply(QStringLiteral("425 Can't open data connection."));
        } else if (m_transfer && m_stopReplies.isEmpty() && t - m_transfer->lastProgress() > limits.stallMs) {
            stopTransfer({QStringLiteral("426 Data connection stalled; transfer aborted.")});
        } else {
            return;
        }
        if (live())
            processLines();
        return;
    }
    if (m_engine.idleSeconds > 0 && t - m_lastCommand > qint64(m_engine.idleSeconds) * 1000) {
        reply(QStringLiteral("421 Timeout."));
        requestClose();
    }
}

qint32 FtpSession::SecondsConnected() const
{
    return qint32(m_connected.elapsed() / 1000);
}

QString FtpSession::HomeFolder() const
{
    return m_home.isEmpty() ? m_engine.defaultRoot : m_home;
}

void FtpSession::SendReply(const QString& text)
{
    if (m_phase != Phase::Live || !m_control || m_controlGone)
        return;
    ++m_ownReplies;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = t.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    Busy busy(*this);
    sendLines(lines);
}

void FtpSession::reply(const QString& text, int defaultCode)
{
    sendLines(replyLines(text, defaultCode));
}

void FtpSession::sendLines(const QStringList& lines)
{
    if (!m_control || m_controlGone)
        return;
    QByteArray out;
    for (const QString& line : lines) {
        out += FileNameBytes::encode(line); // a name echoed goes back as the bytes it came with
        out += "\r\n";
    }
    write(out);
    // All lines go out before the first trace, so a handler that closes the
    // session from a trace cannot cut a reply in half.
    Busy busy(*this);
    for (const QString& line : lines)
        notify("Debug", [&](IFtpEngineNotify& s) { s.Debug(*this, FileNameBytes::shown(line)); });
}

void FtpSession::write(const QByteArray& out)
{
    if (m_outputHeld) {
        m_heldOutput += out;
        return;
    }
    // Straight to the socket; only what it does not take waits for the event loop.
    m_control->write(out);
}

bool FtpSession::loginMustWait()
{
    const qint64 wait = m_engine.loginThrottle.wait(m_peer, now());
    if (wait <= 0)
        return false;
    m_loginWaiting = true;
    m_hold.start(int(wait));
    return true;
}

void FtpSession::loginAnswered(bool failed)
{
    const qint64 delay = failed ? m_engine.loginThrottle.failed(m_peer, now(), m_engine.limits) : 0;
    if (delay > 0)
        m_hold.start(int(delay));
    else
        releaseOutput();
}

void FtpSession::holdEnded()
{
    releaseOutput();
    wake();
}

void FtpSession::releaseOutput()
{
    m_outputHeld = false;
    const QByteArray out = std::exchange(m_heldOutput, {});
    if (!out.isEmpty() && m_control && !m_controlGone)
        write(out);
}

void FtpSession::processLines()
{
    LineAssembler::Line line;
    while (live() && !m_controlGone && !onHold() && nextLine(line))
        handleLine(line);
}

bool FtpSession::nextLine(LineAssembler::Line& line)
{
    for (;;) {
        if (!transferBusy() && !m_held.isEmpty()) {
            line = m_held.dequeue();
            return true;
        }
        if (!m_control || m_control->bytesToWrite() > MaxQueuedOutput) {
            m_outputBlocked = m_control != nullptr;
            return false;
        }
        if (transferBusy() && m_held.size() >= MaxHeld)
            return false;
        if (m_input.isEmpty()) {
            m_input = m_control->read(ReadChunk);
            if (m_input.isEmpty())
                return false;
        }
        const qsizetype used = m_lines.feed(m_input.constData(), m_input.size());
        if (used == m_input.size())
            m_input.clear(); // an idle session keeps no buffer
        else
            m_input.remove(0, used);
        std::optional<LineAssembler::Line> l = m_lines.takeLine();
        if (!l)
            continue;
        // While a transfer runs only ABOR is served at once; the rest waits its turn.
        if (transferBusy() && (l->tooLong || parseCommand(l->text).verb != QLatin1String("ABOR"))) {
            m_held.enqueue(std::move(*l));
            continue;
        }
        line = std::move(*l);
        return true;
    }
}

PathMap FtpSession::pathMap() const
{
    return PathMap(HomeFolder(), VirtualFolderList().items(), m_engine.serverFolders.items());
}

PathMap::Target FtpSession::target(const QString& argument) const
{
    return pathMap().map(ClientPath::resolve(m_cwd, argument));
}

QString FtpSession::CurrentFolder() const
{
    return pathMap().map(m_cwd).physical;
}

QString FtpSession::PhysicalPath(const QString& clientArgument) const
{
    return Beneath::confinedPath(target(clientArgument), true);
}

bool FtpSession::RemoveEmptyUpload()
{
    return m_upload && m_upload->removeIfEmpty();
}

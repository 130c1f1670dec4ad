#include "engine/FtpEngine.h"

#include "engine/ControlConnection.h"
#include "engine/ControlListener.h"
#include "engine/ControlPoller.h"
#include "engine/DataAddress.h"
#include "engine/FtpEngineNotify.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/FtpSession.h"
#include "engine/SharedReplies.h"
#include "engine/SocketCloser.h"

#include <QFile>
#include <QNetworkInterface>
#include <QPointer>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>

namespace {
// Signals whose default action would end the program where one transfer
// should fail instead: sendfile() has no MSG_NOSIGNAL, so a client that goes
// away mid-download raises SIGPIPE; an upload past the process's file-size
// limit (ulimit -f, LimitFSIZE=) raises SIGXFSZ. Ignored, the write fails with
// EPIPE or EFBIG and only that transfer ends.
void ignoreTransferSignals()
{
    for (int signal : {SIGPIPE, SIGXFSZ}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(signal, SIG_IGN);
    }
}

// Every session holds a few descriptors; the usual soft limit of 1024 would
// cap the server far below its session limit.
void raiseDescriptorLimit()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max && limit.rlim_cur < 65536) {
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 65536);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Qt's default listen queue of 50 overflows when hundreds of clients connect
// at once; the kernel then drops their handshakes and they retry only after
// seconds. The queue is as long as the system allows (somaxconn).
int listenBacklog()
{
    int limit = 0;
    QFile somaxconn(QStringLiteral("/proc/sys/net/core/somaxconn"));
    if (somaxconn.open(QIODevice::ReadOnly))
        limit = somaxconn.readLine().trimmed().toInt();
    return limit > 0 ? std::min(limit, 65535) : SOMAXCONN;
}

// The addresses to try in turn: every interface, in both address families where the system has
// them, else IPv4 alone. Under the test harness (QUAYPORT_TEST_LOOPBACK) the loopback address
// only, so that no server a test starts can be reached from the network.
QList<QHostAddress> listenAddresses()
{
    if (qEnvironmentVariableIsSet("QUAYPORT_TEST_LOOPBACK"))
        return {QHostAddress(QHostAddress::LocalHost)};
    return {QHostAddress(QHostAddress::Any), QHostAddress(QHostAddress::AnyIPv4)};
}
} // namespace

FtpEnginePrivate::FtpEnginePrivate(FtpEngine* engine) : q(engine)
{
    replyTexts.insert(FtpEngine::StatusReply, QStringLiteral("211 FTP server status."));
    replyTexts.insert(FtpEngine::GreetingReply, QStringLiteral("220 FTP server ready."));
    // Until the program sets its own; an empty listing always ends with it.
    replyTexts.insert(FtpEngine::ListingEndReply, FtpReply::listingComplete());
    replyTexts.insert(FtpEngine::LoggedOnReply, QStringLiteral("230 Login successful."));
    ticker.setInterval(limits.tickMs);
    QObject::connect(&ticker, &QTimer::timeout, q, [this] { checkTimeouts(); });
}

FtpEnginePrivate::~FtpEnginePrivate() = default;

void FtpEnginePrivate::acceptConnections()
{
    for (UniqueFd fd; server && (fd = server->take()).valid();) {
        auto control = std::make_unique<ControlConnection>(poller, std::move(fd));
        const QHostAddress peer = plainAddress(control->peerAddress());
        const char* refusal = nullptr;
        if (sessions.m_items.size() >= limits.maxSessions)
            refusal = "421 Too many users, please try again later.\r\n";
        else if (perAddress.value(peer) >= limits.maxPerAddress)
            refusal = "421 Too many connections from your address.\r\n";
        if (refusal) {
            control->write(refusal);
            SocketCloser::close(std::move(control), q);
            continue;
        }
        connectionCount = connectionCount % 32767 + 1;
        auto* session = new FtpSession(*this, std::move(control), peer, nextSessionId++, qint16(connectionCount));
        sessions.m_items.append(session);
        ++perAddress[peer];
        if (!ticker.isActive())
            ticker.start();
        session->begin();
    }
}

void FtpEnginePrivate::detach(FtpSession* session)
{
    if (!sessions.m_items.removeOne(session))
        return;
    auto it = perAddress.find(session->peer());
    if (it != perAddress.end() && --it.value() <= 0)
        perAddress.erase(it);
    if (sessions.m_items.isEmpty())
        ticker.stop();
}

void FtpEnginePrivate::checkTimeouts()
{
    // Handlers raised from here may end any session: work on a snapshot.
    QList<QPointer<FtpSession>> snapshot;
    for (FtpUser* u : std::as_const(sessions.m_items))
        snapshot.append(static_cast<FtpSession*>(u));
    for (const auto& s : snapshot)
        if (s)
            s->checkTimeouts();
}

void FtpEnginePrivate::closeAll(bool notify)
{
    QList<QPointer<FtpSession>> snapshot;
    for (FtpUser* u : std::as_const(sessions.m_items))
        snapshot.append(static_cast<FtpSession*>(u));
    for (const auto& s : snapshot) {
        if (!s)
            continue;
        if (notify)
            s->shutDown(QStringLiteral("421 Server shutting down."));
        else
            s->drop();
    }
}

FtpEngine::FtpEngine(QObject* parent) : QObject(parent), d(std::make_unique<FtpEnginePrivate>(this))
{
    ignoreTransferSignals();
}

FtpEngine::~FtpEngine()
{
    // The sink may already be gone: sessions still open end without notifications.
    d->sink = nullptr;
    d->closeAll(false);
}

int FtpEngine::ListenPort() const { return d->listenPort; }
void FtpEngine::SetListenPort(int port) { d->listenPort = port; }
QString FtpEngine::DefaultRoot() const { return d->defaultRoot; }
void FtpEngine::SetDefaultRoot(const QString& folder) { d->defaultRoot = folder; }
int FtpEngine::IdleSeconds() const { return d->idleSeconds; }
void FtpEngine::SetIdleSeconds(int seconds) { d->idleSeconds = qMax(0, seconds); }
bool FtpEngine::OptionFlag() const { return d->optionFlag; }
void FtpEngine::SetOptionFlag(bool value) { d->optionFlag = value; }
qint32 FtpEngine::OptionNumber() const { return d->optionNumber; }
void FtpEngine::SetOptionNumber(qint32 value) { d->optionNumber = value; }
QString FtpEngine::LastError() const { return d->lastError; }
bool FtpEngine::Listening() const { return d->server && d->server->isListening(); }
quint16 FtpEngine::BoundPort() const { return Listening() ? d->server->serverPort() : 0; }
const FtpSessions& FtpEngine::Sessions() const { return d->sessions; }
void FtpEngine::SetNotifySink(IFtpEngineNotify* sink) { d->sink = sink; }
IFtpEngineNotify* FtpEngine::NotifySink() const { return d->sink; }
::VirtualFolderList& FtpEngine::VirtualFolderList() { return d->serverFolders; }

bool FtpEngine::StartListening()
{
    d->lastError.clear();
    if (d->listenPort < 0 || d->listenPort > 65535) {
        d->lastError = QStringLiteral("Invalid port %1").arg(d->listenPort);
        return false;
    }
    if (Listening() && d->server->serverPort() == d->listenPort)
        return true;
    if (!d->poller && !(d->poller = ControlPoller::create(&d->lastError)))
        return false;
    if (d->server) {
        // Maybe we are inside its own signal (a handler restarting the engine).
        d->server->close();
        d->server->deleteLater();
    }
    d->server = new ControlListener(this);
    d->server->setMaxPendingConnections(1000);
    d->server->setListenBacklogSize(listenBacklog());
    connect(d->server, &QTcpServer::newConnection, this, [this] { d->acceptConnections(); });
    // After any accept error but a temporary one QTcpServer stops accepting
    // for good; out of descriptors (EMFILE) every later client would then wait
    // for ever. Clients stay queued meanwhile: try again shortly.
    connect(d->server, &QTcpServer::acceptError, d->server, [server = d->server] {
        QTimer::singleShot(100, server, [server] { server->resumeAccepting(); });
    });
    const QList<QHostAddress> addresses = listenAddresses();
    if (std::none_of(addresses.begin(), addresses.end(),
                     [this](const QHostAddress& a) { return d->server->listen(a, quint16(d->listenPort)); })) {
        d->lastError = d->server->errorString();
        d->server->deleteLater();
        d->server = nullptr;
        return false;
    }
    raiseDescriptorLimit();
    return true;
}

void FtpEngine::StopListening()
{
    if (d->server) {
        d->server->close();
        d->server->deleteLater();
        d->server = nullptr;
    }
    d->closeAll(true);
}

QString FtpEngine::LocalAddress() const
{
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString();
    return QStringLiteral("127.0.0.1");
}

QString FtpEngine::ReplyText(int n) const { return d->replyTexts.value(n); }
void FtpEngine::SetReplyText(int n, const QString& text) { d->replyTexts.insert(n, text); }

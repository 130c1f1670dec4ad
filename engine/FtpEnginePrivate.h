#pragma once
// The engine's own state, shared with its sessions.
#include "engine/FtpEngine.h"
#include "engine/LoginThrottle.h"
#include "engine/OpenUploads.h"
#include "engine/TransferThreads.h"

#include <QHash>
#include <QHostAddress>
#include <QTimer>
#include <memory>

class ControlListener;
class ControlPoller;
class FtpSession;

// Time-outs and caps. Tests shorten them through FtpEnginePrivate::of().
struct FtpLimits {
    int loginMs = 60'000;       // USER/PASS must succeed within this
    int dataConnectMs = 60'000; // a data connection must be up within this
    int stallMs = 120'000;      // a transfer without progress for this long is dropped
    int maxPerAddress = 400;    // sessions from one client address
    int maxSessions = 1000;
    int tickMs = 1000;          // how often time-outs are checked
    // A failed login is answered after loginDelayMs, doubling with each of its
    // address's recent failures beyond the first three up to loginDelayMaxMs;
    // one recent failure is forgotten per loginForgetMs.
    int loginDelayMs = 1000;
    int loginDelayMaxMs = 30'000;
    int loginForgetMs = 60'000;
};

class FtpEnginePrivate {
public:
    explicit FtpEnginePrivate(FtpEngine* engine);
    ~FtpEnginePrivate();

    static FtpEnginePrivate* of(FtpEngine& engine) { return engine.d.get(); }

    void acceptConnections();
    // Takes a session out of Sessions and the address count.
    void detach(FtpSession* session);
    void checkTimeouts();
    void closeAll(bool notify);

    FtpEngine* q;
    int listenPort = 21;
    QString defaultRoot;
    int idleSeconds = 0;
    bool optionFlag = false;
    qint32 optionNumber = 0;
    QString lastError;
    ControlListener* server = nullptr;
    // Watches the control connections; they keep it while they close.
    std::shared_ptr<ControlPoller> poller;
    FtpSessions sessions;
    IFtpEngineNotify* sink = nullptr;
    QHash<int, QString> replyTexts;
    ::VirtualFolderList serverFolders;
    quint64 nextSessionId = 1;
    quint32 connectionCount = 0;
    QHash<QHostAddress, int> perAddress;
    QTimer ticker;
    FtpLimits limits;
    LoginThrottle loginThrottle;
    // Shared with the transfers, which may outlive the engine on their threads.
    std::shared_ptr<OpenUploads> uploads = std::make_shared<OpenUploads>();
    TransferThreads transferThreads;
};

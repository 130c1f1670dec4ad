#pragma once
// One client's control connection: reads its commands, answers them, runs
// its transfers and raises its notifications.
#include "engine/ClientPath.h"
#include "engine/CommandLine.h"
#include "engine/CommandTable.h"
#include "engine/DataTransfer.h"
#include "engine/FtpUser.h"
#include "engine/UniqueFd.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QQueue>
#include <QTimer>
#include <functional>
#include <memory>
#include <sys/stat.h>

class ControlConnection;
class DataChannel;
class FtpEnginePrivate;
class IFtpEngineNotify;
class ListingSource;
class UploadFile;

class FtpSession final : public FtpUser {
    Q_OBJECT
public:
    FtpSession(FtpEnginePrivate& engine, std::unique_ptr<ControlConnection> control, const QHostAddress& peer,
               quint64 id, qint16 index);
    ~FtpSession() override;

    // Sends the greeting and starts reading commands.
    void begin();
    void checkTimeouts();
    // Sends the reply, then ends the session as Disconnect does.
    void shutDown(const QString& reply);
    // Ends without notifications (the engine is going away).
    void drop();
    QHostAddress peer() const { return m_peer; }

    qint32 SecondsConnected() const override;
    void Disconnect() override;
    QString UserName() const override { return m_userName; }
    QString LoginPass() const override { return m_loginPass; }
    QString RemoteAddress() const override { return m_peerText; }
    QString HomeFolder() const override;
    void SetHomeFolder(const QString& folder) override { m_home = folder; }
    qint32 State() const override { return m_state; }
    QString CurrentFile() const override { return m_currentFile; }
    void SendReply(const QString& text) override;
    qint16 ConnectionIndex() const override { return m_index; }
    QString CurrentFolder() const override;
    QString PhysicalPath(const QString& clientArgument) const override;
    quint64 SessionId() const override { return m_id; }
    qint64 LastTransferBytes() const override { return m_lastTransferBytes; }
    bool RemoveEmptyUpload() override;

private:
    // The command table's handlers call the commands below.
    friend std::span<const FtpCommand> FtpCommands::all();

    enum class Phase { Live, Ending, Ended };
    enum class Kind { None, Retrieve, Store, Append, List, NameList };
    struct Busy;

    // Lifecycle and re-entrancy.
    bool live() const { return m_phase == Phase::Live && !m_closeRequested; }
    void requestClose() { m_closeRequested = true; }
    void settle();
    // Entry from the event loop: runs now, or once this session's own
    // notification in progress has returned.
    void wake();
    void advance();
    void finish(bool notify);
    // Raises one notification; false when the session is to end now. What the
    // handler throws is reported (name: the notification's) and the session goes on.
    bool notify(const char* name, const std::function<void(IFtpEngineNotify&)>& call);
    // Raises the notification through which the running command may be
    // refused (the handler may change the name); false when it refused
    // (reply sent) or the session ends.
    bool permitted(QString& name, const QString& newName = QString());

    // A failed login holds the session: nothing is read and nothing it sends
    // goes out (nor does it close) until its delay ends; a login that must
    // wait its turn holds it too.
    bool onHold() const { return m_hold.isActive(); }
    // True when PASS must wait for the answer to its address's last failure;
    // it is checked once the hold ends.
    bool loginMustWait();
    // A failure holds what the login sent for its delay; a success lets it go.
    void loginAnswered(bool failed);
    void holdEnded();
    void releaseOutput();

    // Control connection.
    void processLines();
    bool nextLine(LineAssembler::Line& line);
    void handleLine(const LineAssembler::Line& line);
    void reply(const QString& text, int defaultCode = 500);
    void sendLines(const QStringList& lines);
    void write(const QByteArray& out);

    // Commands.
    void dispatch(const Command& cmd);
    void doUser(const QString& arg);
    void doPass(const QString& arg);
    void doQuit();
    void doPrintDir();
    void doChangeDir(QString arg);
    void doMakeDir(QString arg);
    void doRemoveDir(QString arg);
    void doDelete(QString arg);
    void doRenameFrom(QString arg);
    void doRenameTo(const QString& arg);
    void doSize(QString arg, bool wantTime);
    void doType(const QString& arg);
    void doMode(const QString& arg);
    void doStructure(const QString& arg);
    void doStatus(const QString& arg);
    void doOpts(const QString& arg);
    void doSite(const QString& arg);
    void doUnknown(const Command& cmd);
    void doRest(const QString& arg);

    // Data connections and transfers.
    void doPassive(bool extended, const QString& arg);
    void doPort(bool extended, const QString& arg);
    void doRetrieve(QString arg);
    void doStore(QString arg, bool append);
    void doList(const QString& arg, bool namesOnly);
    void doAbort();
    // A data channel for the next transfer in place of any earlier one; its
    // connection or failure wakes the session.
    void newChannel();
    // The transfer waits for its data connection, or is refused when none was prepared.
    void awaitDataConnection(Kind kind, const PathMap::Target& target, qint64 offset = 0);
    void dataConnected();
    void dataFailed();
    void startRetrieve(UniqueFd socket);
    void startStore(UniqueFd socket);
    void startListing(UniqueFd socket);
    // Before a listing's 150: false when the program refuses it (reply sent).
    bool listingPermitted();
    // Raises the DirItems of one slice of the listing and hands their lines
    // to its data connection. The next slice waits for the others' turn, and
    // for room on the data connection.
    void listSome();
    void listLater();
    void clearListing();
    // Hands a transfer to a transfer thread; its end comes back here.
    void launch(TransferPtr transfer);
    void transferDone();
    // Ends a running transfer on its thread; its end then comes back with
    // these replies, once what it wrote is in place.
    void stopTransfer(const QStringList& replies);
    void endTransfer(bool success, const QString& finalReply);
    void clearTransfer();
    bool transferBusy() const { return m_kind != Kind::None; }

    PathMap pathMap() const;
    PathMap::Target target(const QString& argument) const;
    // The regular file a client names, opened for reading without blocking on anything else.
    static UniqueFd openToRead(const PathMap::Target& target, struct stat& st);
    static qint64 now();

    FtpEnginePrivate& m_engine;
    std::unique_ptr<ControlConnection> m_control;
    const quint64 m_id;
    const qint16 m_index;
    QHostAddress m_peer;
    QString m_peerText; // asked for by every trace line's handler
    QHostAddress m_local;
    QElapsedTimer m_connected;
    qint64 m_lastCommand = 0;

    Phase m_phase = Phase::Live;
    int m_depth = 0;
    bool m_closeRequested = false;
    bool m_resumeQueued = false;
    bool m_deferred = false;
    bool m_outputBlocked = false;
    bool m_controlGone = false;
    int m_ownReplies = 0; // replies sent by handlers through SendReply
    QTimer m_hold;
    bool m_outputHeld = false; // replies gather in m_heldOutput
    QByteArray m_heldOutput;
    bool m_loginWaiting = false;

    LineAssembler m_lines;
    QByteArray m_input;      // read from the socket, not yet cut into lines
    QQueue<LineAssembler::Line> m_held; // commands that wait for the running transfer

    QString m_userName;
    QString m_loginPass;
    bool m_userGiven = false;
    bool m_loggedIn = false;
    int m_failedLogins = 0;
    QString m_home;
    qint32 m_state = Authorizing;
    QString m_cwd = QStringLiteral("/");
    QString m_currentFile;
    qint64 m_restart = 0;
    QString m_renameArgument; // RNFR's argument, until the next command
    QString m_renameClientPath;
    const FtpCommand* m_command = nullptr; // the one being served

    // The transfer in hand: waiting for its data connection, then running.
    DataChannel* m_channel = nullptr;
    TransferPtr m_transfer; // lives on a transfer thread
    quint64 m_transferGeneration = 0;
    Kind m_kind = Kind::None;
    bool m_started = false; // 150 sent
    bool m_outcomePending = false;
    bool m_connectPending = false;
    bool m_connectFailed = false;
    qint64 m_waitingSince = 0;
    PathMap::Target m_transferTarget; // resolved when the data connection comes
    QString m_transferPath;           // physical, as the notifications name it
    qint64 m_offset = 0;
    int m_outcome = 0;
    QString m_listingReply;
    QString m_listingArgument; // as the client gave it, options left out
    QString m_listingPattern;  // the wildcard of its last component, if any
    // The listing in hand, once its data connection is up.
    std::unique_ptr<ListingSource> m_listing;
    ListingSender* m_listingSender = nullptr; // m_transfer, while the listing runs
    QString m_listingPrefix;                  // NLST: what stands before each name
    bool m_listingDue = false;                // a slice waits for its turn
    QStringList m_stopReplies; // while a stopped transfer winds down
    qint64 m_lastTransferBytes = -1;
    std::unique_ptr<UploadFile> m_upload; // the upload just ended, during its TransferFinished
};

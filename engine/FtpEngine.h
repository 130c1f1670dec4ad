#pragma once
// Our FTP server engine: accepts connections, speaks the protocol, moves the
// data and raises notifications to its sink. Event-driven on the thread that
// owns it; it never blocks.
#include "engine/FtpUser.h"
#include "engine/VirtualFolderList.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class IFtpEngineNotify;

// The live sessions in connection order, indexed from 0.
class FtpSessions {
public:
    int Count() const { return int(m_items.size()); }
    // Null when no session has that index.
    FtpUser* Item(int index) const { return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr; }

private:
    friend class FtpEngine;
    friend class FtpEnginePrivate;
    QList<FtpUser*> m_items;
};

class FtpEnginePrivate;

class FtpEngine : public QObject {
    Q_OBJECT
public:
    explicit FtpEngine(QObject* parent = nullptr);
    ~FtpEngine() override;

    int ListenPort() const;
    void SetListenPort(int port); // 0 binds a free port (see BoundPort)
    QString DefaultRoot() const;
    void SetDefaultRoot(const QString& folder);
    int IdleSeconds() const; // 0: no idle time-out
    void SetIdleSeconds(int seconds);
    // Kept as the program sets them; the engine gives neither a meaning.
    bool OptionFlag() const;
    void SetOptionFlag(bool value);
    qint32 OptionNumber() const;
    void SetOptionNumber(qint32 value);

    // False when the port cannot be bound; LastError() then gives the reason.
    bool StartListening();
    // Stops accepting and ends every session; silent on a stopped engine.
    void StopListening();
    QString LastError() const;
    bool Listening() const;
    quint16 BoundPort() const;

    const FtpSessions& Sessions() const;
    void SetNotifySink(IFtpEngineNotify* sink);
    IFtpEngineNotify* NotifySink() const;
    // First non-loopback IPv4 address of this machine, else "127.0.0.1".
    QString LocalAddress() const;

    // The reply texts the program may set, by their numbers.
    enum ReplyNumber : int {
        StatusReply = 9,      // STAT without an argument
        GreetingReply = 11,   // the connect greeting
        ListingEndReply = 14, // the end of a listing
        LoggedOnReply = 17,   // a successful login
    };
    QString ReplyText(int n) const;
    void SetReplyText(int n, const QString& text);

    ::VirtualFolderList& VirtualFolderList();

private:
    friend class FtpEnginePrivate;
    std::unique_ptr<FtpEnginePrivate> d;
};

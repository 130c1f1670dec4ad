#pragma once
// One live FTP session as the program sees it. The engine owns it; a pointer
// stays valid until the session's UserLogout notification has returned (hold
// a QPointer across anything that can process events).
#include "engine/VirtualFolderList.h"

#include <QObject>
#include <QString>
#include <memory>
#include <variant>

// Base of whatever the program attaches to a session.
class SessionObject {
public:
    virtual ~SessionObject() = default;
};

// The session's slot for the program: nothing, a text (such as "kill") or an object.
using SessionValue = std::variant<std::monostate, QString, std::shared_ptr<SessionObject>>;

class FtpUser : public QObject {
    Q_OBJECT
public:
    enum SessionState : qint32 { Authorizing = 0, Connected = 1, Receiving = 2, Sending = 3 };

    using QObject::QObject;

    virtual qint32 SecondsConnected() const = 0;
    // Sends what is queued, then closes. From outside this session's
    // notifications it completes before it returns (UserLogout raised); from
    // inside one it takes effect when that notification returns, and inside a
    // refused UserLogin once the refusal's delay has passed.
    virtual void Disconnect() = 0;
    virtual QString UserName() const = 0;
    virtual QString LoginPass() const = 0;
    virtual QString RemoteAddress() const = 0;
    virtual QString HomeFolder() const = 0;
    virtual void SetHomeFolder(const QString& folder) = 0;
    virtual qint32 State() const = 0;
    // Physical path of the file being transferred.
    virtual QString CurrentFile() const = 0;
    // Sends one reply line (CR LF added) and traces it.
    virtual void SendReply(const QString& text) = 0;
    virtual qint16 ConnectionIndex() const = 0;
    // Physical path of the session's current folder.
    virtual QString CurrentFolder() const = 0;
    // Physical path that a client argument resolves to in this session, or an
    // empty text when it lies outside the session's confinement.
    virtual QString PhysicalPath(const QString& clientArgument) const = 0;
    // Identity that never changes during the session and is never reused by
    // the engine that created it.
    virtual quint64 SessionId() const = 0;
    // Bytes the session's last file transfer moved over its data connection
    // (from a REST offset on, not the file's size); -1 before its first one.
    virtual qint64 LastTransferBytes() const = 0;
    // Within TransferFinished of an upload: removes the file that upload
    // wrote, while its name still holds that very file and it is empty. The
    // upload holds its file until the notification returns, so no other
    // upload can have put its own there meanwhile. True when removed.
    virtual bool RemoveEmptyUpload() = 0;

    SessionValue SessionData() const { return m_sessionData; }
    void SetSessionData(SessionValue value) { m_sessionData = std::move(value); }
    // The object in the slot when it is of type T, else null.
    template <typename T> std::shared_ptr<T> SessionObjectAs() const
    {
        if (auto p = std::get_if<std::shared_ptr<SessionObject>>(&m_sessionData))
            return std::dynamic_pointer_cast<T>(*p);
        return nullptr;
    }

    ::VirtualFolderList& VirtualFolderList() { return m_virtualFolders; }
    const ::VirtualFolderList& VirtualFolderList() const { return m_virtualFolders; }

private:
    SessionValue m_sessionData;
    ::VirtualFolderList m_virtualFolders;
};

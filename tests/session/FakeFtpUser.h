#pragma once
// A session as the handlers see it, with every value settable and every
// reply and disconnect recorded.
#include "core/FileNameBytes.h"
#include "engine/FtpUser.h"

#include <QFile>
#include <unistd.h>
#include <QMap>
#include <QStringList>

class FakeFtpUser : public FtpUser {
public:
    qint32 SecondsConnected() const override { return 0; }
    void Disconnect() override { ++disconnects; }
    QString UserName() const override { return userName; }
    QString LoginPass() const override { return loginPass; }
    QString RemoteAddress() const override { return remoteAddress; }
    QString HomeFolder() const override { return homeFolder; }
    void SetHomeFolder(const QString& folder) override { homeFolder = folder; }
    qint32 State() const override { return state; }
    QString CurrentFile() const override { return {}; }
    void SendReply(const QString& text) override { replies.append(text); }
    qint16 ConnectionIndex() const override { return connectionIndex; }
    QString CurrentFolder() const override { return currentFolder; }
    QString PhysicalPath(const QString& argument) const override { return physicalPaths.value(argument); }
    quint64 SessionId() const override { return sessionId; }
    qint64 LastTransferBytes() const override { return transferBytes; }
    bool RemoveEmptyUpload() override
    {
        return !uploadedFile.isEmpty() && ::unlink(FileNameBytes::encode(uploadedFile).constData()) == 0;
    }

    bool holdsKill() const
    {
        const SessionValue v = SessionData();
        return std::holds_alternative<QString>(v) && std::get<QString>(v) == QLatin1String("kill");
    }
    bool holdsNothing() const { return std::holds_alternative<std::monostate>(SessionData()); }

    QString userName;
    QString loginPass;
    QString remoteAddress = QStringLiteral("127.0.0.1");
    QString homeFolder;
    qint32 state = Authorizing;
    qint16 connectionIndex = 0;
    QString currentFolder;
    QMap<QString, QString> physicalPaths;
    quint64 sessionId = 1;
    qint64 transferBytes = -1; // -1: the engine does not know; the handler measures the file
    QString uploadedFile;      // what RemoveEmptyUpload removes
    QStringList replies;
    int disconnects = 0;
};

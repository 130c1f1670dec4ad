#pragma once
// The answers to the FTP engine's notifications: login, permission checks,
// trace lines, per-event logs, transfers and logout; and starting and
// stopping the engine. The console reaches in through ConsoleServices only.
#include "engine/FtpEngine.h"
#include "engine/FtpEngineNotify.h"
#include "session/ConsoleServices.h"
#include "session/UserObj.h"

#include <QDateTime>
#include <functional>
#include <optional>
#include <memory>

class SessionHandlers final : public IFtpEngineNotify {
public:
    // The file operations granted or refused by the account's or the group's flags.
    enum class Operation { ChangeDir, DeleteFile, GetFile, MakeDir, PutFile, RemoveDir, RenameFile };

    SessionHandlers(FtpEngine& engine, ConsoleServices& console);

    // The clock for log dates, rotation stamps and trend day stamps.
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    QDateTime Now() const { return m_clock(); }

    bool StartServer();
    bool StopServer();
    void WriteLogs(QString user, QString group, QString clientAddress, QString text);
    // The group of the account of that user name, or an empty text.
    QString GetUserGroup(const QString& userName) const;

    void IFtpEngineNotify_UserLogin(FtpUser& User, bool& Cancel, QString& Message);
    void IFtpEngineNotify_UserLogout(FtpUser& User);
    void IFtpEngineNotify_Debug(FtpUser& User, const QString& Message);
    void IFtpEngineNotify_ChangeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message);
    void IFtpEngineNotify_MakeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message);
    void IFtpEngineNotify_RemoveDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message);
    void IFtpEngineNotify_DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message);
    void IFtpEngineNotify_RenameFile(FtpUser& User, const QString& OldFilename, const QString& NewFilename,
                                     bool& Cancel, QString& Message);
    void IFtpEngineNotify_PutFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message);
    void IFtpEngineNotify_GetFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message);
    // Throws when a counter cannot be updated; the engine catches and reports it.
    void IFtpEngineNotify_TransferFinished(FtpUser& User, const QString& Filename, qint32 Direction,
                                           bool Successful);
    void IFtpEngineNotify_DirItem(FtpUser& User, QString& Fileinfo, qint32 FilesLeft);
    void IFtpEngineNotify_FileDetails(FtpUser& User, const QString& Filename, bool& Cancel, QString& Message);
    void IFtpEngineNotify_SiteCommand(FtpUser& User, bool& Cancel, QString& Command);
    void IFtpEngineNotify_UnrecognizedCommand(FtpUser& User, bool& Cancel, QString& Command, QString& Parameters);
    void IFtpEngineNotify_UserCommand(FtpUser& User, QString& Command, QString& Parameters, bool& Cancel);

    // IFtpEngineNotify
    void UserLogin(FtpUser& User, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_UserLogin(User, Cancel, Message);
    }
    void UserLogout(FtpUser& User) override { IFtpEngineNotify_UserLogout(User); }
    void Debug(FtpUser& User, const QString& Message) override { IFtpEngineNotify_Debug(User, Message); }
    void ChangeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_ChangeDir(User, Directory, Cancel, Message);
    }
    void MakeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_MakeDir(User, Directory, Cancel, Message);
    }
    void RemoveDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_RemoveDir(User, Directory, Cancel, Message);
    }
    void DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_DeleteFile(User, Filename, Cancel, Message);
    }
    void RenameFile(FtpUser& User, const QString& OldFilename, const QString& NewFilename, bool& Cancel,
                    QString& Message) override
    {
        IFtpEngineNotify_RenameFile(User, OldFilename, NewFilename, Cancel, Message);
    }
    void PutFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_PutFile(User, Filename, Cancel, Message);
    }
    void GetFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_GetFile(User, Filename, Cancel, Message);
    }
    void TransferFinished(FtpUser& User, const QString& Filename, qint32 Direction, bool Successful) override
    {
        IFtpEngineNotify_TransferFinished(User, Filename, Direction, Successful);
    }
    void DirItem(FtpUser& User, QString& Fileinfo, qint32 FilesLeft) override
    {
        IFtpEngineNotify_DirItem(User, Fileinfo, FilesLeft);
    }
    void FileDetails(FtpUser& User, const QString& Filename, bool& Cancel, QString& Message) override
    {
        IFtpEngineNotify_FileDetails(User, Filename, Cancel, Message);
    }
    void SiteCommand(FtpUser& User, bool& Cancel, QString& Command) override
    {
        IFtpEngineNotify_SiteCommand(User, Cancel, Command);
    }
    void UnrecognizedCommand(FtpUser& User, bool& Cancel, QString& Command, QString& Parameters) override
    {
        IFtpEngineNotify_UnrecognizedCommand(User, Cancel, Command, Parameters);
    }
    void UserCommand(FtpUser& User, QString& Command, QString& Parameters, bool& Cancel) override
    {
        IFtpEngineNotify_UserCommand(User, Command, Parameters, Cancel);
    }

private:
    bool startFailed();
    // Refuses (Cancel) unless the session's chosen flag grants the operation;
    // null when refused, else the record.
    std::shared_ptr<UserObj> checkPermission(FtpUser& User, Operation op, bool& Cancel);
    void refuseLogin(FtpUser& User, bool& Cancel, QString& Message, const QString& text, const QString& logGroup,
                     bool disconnect);
    // Each gives the first line the login needs that gave no value, 0 when none is missing.
    int readAccount(const QString& path, UserObj& record, QString& userId, std::optional<QString>& password);
    int readGroup(UserObj& record, QString& path);
    void checkRoots(FtpUser& User, UserObj& record);
    void addVirtualFolders(FtpUser& User);
    void countDeletion(FtpUser& User, UserObj& record);
    void writeTrends(FtpUser& User, const UserObj& record);

    FtpEngine& FtpEngine1;
    ConsoleServices& m_console;
    std::function<QDateTime()> m_clock;
};

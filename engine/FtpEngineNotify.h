#pragma once
// The engine's notification sink. Every notification arrives on the thread
// that owns the engine, one at a time. In/out parameters are references: what
// the handler leaves in them reaches the engine. An exception thrown by a
// handler is caught by the engine and reported through the error reporter (a
// ProgramError at its own source and line, anything else at
// "FtpEngine.FtpEngineCtl.<notification>" line 0); the session goes on.
#include <QString>

class FtpUser;

class IFtpEngineNotify {
public:
    virtual ~IFtpEngineNotify() = default;

    virtual void UserLogin(FtpUser& User, bool& Cancel, QString& Message) = 0;
    virtual void UserLogout(FtpUser& User) = 0;
    virtual void Debug(FtpUser& User, const QString& Message) = 0;
    virtual void ChangeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) = 0;
    virtual void MakeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) = 0;
    virtual void RemoveDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) = 0;
    virtual void DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) = 0;
    // Raised at RNFR (NewFilename empty) and again at RNTO.
    virtual void RenameFile(FtpUser& User, const QString& OldFilename, const QString& NewFilename, bool& Cancel,
                            QString& Message) = 0;
    virtual void PutFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) = 0;
    virtual void GetFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) = 0;
    // Direction: 0 upload (client to server), 1 download.
    virtual void TransferFinished(FtpUser& User, const QString& Filename, qint32 Direction, bool Successful) = 0;
    // An emptied Fileinfo leaves the entry out of the listing. Before it
    // looks at the path, a listing raises one with an empty Fileinfo and
    // FilesLeft 0: an end-of-listing reply (ReplyText 14) that is then a 4xx
    // or 5xx refuses the listing with that reply alone.
    virtual void DirItem(FtpUser& User, QString& Fileinfo, qint32 FilesLeft) = 0;
    // Asked before SIZE or MDTM tells a file's size or time; Cancel True
    // refuses, whether the file exists or not.
    virtual void FileDetails(FtpUser& User, const QString& Filename, bool& Cancel, QString& Message) = 0;
    virtual void SiteCommand(FtpUser& User, bool& Cancel, QString& Command) = 0;
    virtual void UnrecognizedCommand(FtpUser& User, bool& Cancel, QString& Command, QString& Parameters) = 0;
    virtual void UserCommand(FtpUser& User, QString& Command, QString& Parameters, bool& Cancel) = 0;
};

#pragma once
// A sink for driving the engine from tests: it permits everything except
// what the names in a request ask it to refuse, and prints every
// notification as one JSON line.
#include "engine/FtpEngineNotify.h"

#include <QEventLoop>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QString>

class FtpEngine;

class RecordingSink : public IFtpEngineNotify {
public:
    RecordingSink(FtpEngine& engine, QString root, bool quiet);

    // Virtual folders every session gets at login.
    void addSessionFolder(const QString& name, const QString& virtualPath, const QString& real);
    void print(QJsonObject event) const;
    // Ends the wait of a held TransferFinished (see there).
    void release();

    void UserLogin(FtpUser& User, bool& Cancel, QString& Message) override;
    void UserLogout(FtpUser& User) override;
    void Debug(FtpUser& User, const QString& Message) override;
    void ChangeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) override;
    void MakeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) override;
    void RemoveDir(FtpUser& User, const QString& Directory, bool& Cancel, QString& Message) override;
    void DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) override;
    void RenameFile(FtpUser& User, const QString& OldFilename, const QString& NewFilename, bool& Cancel,
                    QString& Message) override;
    void PutFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) override;
    void GetFile(FtpUser& User, QString& Filename, bool& Cancel, QString& Message) override;
    void TransferFinished(FtpUser& User, const QString& Filename, qint32 Direction, bool Successful) override;
    void DirItem(FtpUser& User, QString& Fileinfo, qint32 FilesLeft) override;
    void FileDetails(FtpUser& User, const QString& Filename, bool& Cancel, QString& Message) override;
    void SiteCommand(FtpUser& User, bool& Cancel, QString& Command) override;
    void UnrecognizedCommand(FtpUser& User, bool& Cancel, QString& Command, QString& Parameters) override;
    void UserCommand(FtpUser& User, QString& Command, QString& Parameters, bool& Cancel) override;

private:
    void record(FtpUser& user, const char* name, QJsonObject fields = {}) const;
    void permission(FtpUser& user, const char* name, const QString& argument, bool& cancel) const;

    // Notifications of each session in progress, to show a nested UserLogout.
    struct Inside {
        Inside(RecordingSink& sink, FtpUser& user);
        ~Inside();
        RecordingSink& sink;
        quint64 sid;
    };
    QHash<quint64, int> m_inside;

    FtpEngine& m_engine;
    QString m_root;
    bool m_quiet;
    struct Folder {
        QString name, virtualPath, real;
    };
    QList<Folder> m_folders;
    QPointer<QEventLoop> m_hold;
};

#include "RecordingSink.h"

#include "engine/FtpEngine.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

RecordingSink::Inside::Inside(RecordingSink& s, FtpUser& user) : sink(s), sid(user.SessionId())
{
    ++sink.m_inside[sid];
}

RecordingSink::Inside::~Inside()
{
    if (--sink.m_inside[sid] == 0)
        sink.m_inside.remove(sid);
}

RecordingSink::RecordingSink(FtpEngine& engine, QString root, bool quiet)
    : m_engine(engine), m_root(std::move(root)), m_quiet(quiet)
{
}

void RecordingSink::addSessionFolder(const QString& name, const QString& virtualPath, const QString& real)
{
    m_folders.append({name, virtualPath, real});
}

void RecordingSink::print(QJsonObject event) const
{
    const QByteArray line = QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void RecordingSink::record(FtpUser& user, const char* name, QJsonObject fields) const
{
    if (m_quiet)
        return;
    fields.insert(QStringLiteral("e"), QLatin1String(name));
    fields.insert(QStringLiteral("sid"), qint64(user.SessionId()));
    fields.insert(QStringLiteral("user"), user.UserName());
    fields.insert(QStringLiteral("state"), user.State());
    print(fields);
}

void RecordingSink::permission(FtpUser& user, const char* name, const QString& argument, bool& cancel) const
{
    if (argument.contains(QLatin1String("denied")))
        cancel = true;
    record(user, name, {{QStringLiteral("arg"), argument}, {QStringLiteral("cancel"), cancel}});
}

void RecordingSink::UserLogin(FtpUser& User, bool& Cancel, QString& Message)
{
    const Inside inside(*this, User);
    const QString name = User.UserName();
    const QString pass = User.LoginPass();
    record(User, "UserLogin", {{QStringLiteral("pass"), pass}});
    if (name == QLatin1String("kick")) {
        // What the program does for a missing account: its own reply, then close.
        Message = QStringLiteral("530 No user account exists. Please try again.");
        User.SendReply(Message);
        Cancel = true;
        User.Disconnect();
        return;
    }
    if (pass == QLatin1String("reply")) {
        Message = QStringLiteral("530 Invalid password.");
        User.SendReply(Message);
        Cancel = true;
        User.SetSessionData(QStringLiteral("kill"));
        return;
    }
    if (pass != QLatin1String("secret") && name != QLatin1String("anonymous")) {
        Cancel = true;
        return;
    }
    User.SetHomeFolder(m_root);
    for (const Folder& f : m_folders)
        User.VirtualFolderList().Add(f.name, f.virtualPath, f.real);
}

void RecordingSink::UserLogout(FtpUser& User)
{
    bool listed = false;
    for (int i = 0; i < m_engine.Sessions().Count(); ++i)
        listed = listed || m_engine.Sessions().Item(i) == &User;
    record(User, "UserLogout", {{QStringLiteral("listed"), listed},
                                {QStringLiteral("nested"), m_inside.contains(User.SessionId())}});
}

void RecordingSink::Debug(FtpUser& User, const QString& Message)
{
    const Inside inside(*this, User);
    record(User, "Debug", {{QStringLiteral("msg"), Message}});
}

void RecordingSink::ChangeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    permission(User, "ChangeDir", Directory, Cancel);
}

void RecordingSink::MakeDir(FtpUser& User, const QString& Directory, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    permission(User, "MakeDir", Directory, Cancel);
}

void RecordingSink::RemoveDir(FtpUser& User, const QString& Directory, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    permission(User, "RemoveDir", Directory, Cancel);
}

void RecordingSink::DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    if (!m_quiet) {
        // The program sizes the very file that is about to go.
        const QString physical = User.PhysicalPath(Filename);
        record(User, "Sizing", {{QStringLiteral("path"), physical},
                                {QStringLiteral("size"), physical.isEmpty() ? -1 : QFileInfo(physical).size()}});
    }
    permission(User, "DeleteFile", Filename, Cancel);
}

void RecordingSink::RenameFile(FtpUser& User, const QString& OldFilename, const QString& NewFilename, bool& Cancel,
                               QString&)
{
    const Inside inside(*this, User);
    permission(User, "RenameFile", OldFilename + QLatin1String(" -> ") + NewFilename, Cancel);
}

void RecordingSink::PutFile(FtpUser& User, QString& Filename, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    permission(User, "PutFile", Filename, Cancel);
}

void RecordingSink::GetFile(FtpUser& User, QString& Filename, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    permission(User, "GetFile", Filename, Cancel);
}

void RecordingSink::TransferFinished(FtpUser& User, const QString& Filename, qint32 Direction, bool Successful)
{
    const Inside inside(*this, User);
    record(User, "TransferFinished", {{QStringLiteral("file"), Filename},
                                      {QStringLiteral("direction"), Direction},
                                      {QStringLiteral("ok"), Successful},
                                      {QStringLiteral("bytes"), User.LastTransferBytes()}});
    if (Direction != 0 || !Successful || User.LastTransferBytes() != 0 || !Filename.contains(QLatin1String("hold")))
        return;
    // As the program does for an empty upload, but first waiting (as behind a
    // message box, other sessions served meanwhile) until the test says "release".
    QEventLoop loop;
    m_hold = &loop;
    record(User, "Holding");
    loop.exec();
    record(User, "Removed", {{QStringLiteral("removed"), User.RemoveEmptyUpload()}});
}

void RecordingSink::release()
{
    if (m_hold)
        m_hold->quit();
}

void RecordingSink::DirItem(FtpUser& User, QString& Fileinfo, qint32 FilesLeft)
{
    const Inside inside(*this, User);
    record(User, "DirItem", {{QStringLiteral("info"), Fileinfo}, {QStringLiteral("left"), FilesLeft}});
    // As the program does: a user without the right sees nothing and a refusal at the end.
    const bool refused = User.UserName() == QLatin1String("nolist");
    if (refused || Fileinfo.contains(QLatin1String("hidden")))
        Fileinfo.clear();
    if (FilesLeft == 0)
        m_engine.SetReplyText(14, refused ? QStringLiteral("550 Access denied.")
                                          : QStringLiteral("226 Listing complete."));
}

void RecordingSink::FileDetails(FtpUser& User, const QString& Filename, bool& Cancel, QString&)
{
    const Inside inside(*this, User);
    permission(User, "FileDetails", Filename, Cancel);
}

void RecordingSink::SiteCommand(FtpUser& User, bool& Cancel, QString& Command)
{
    const Inside inside(*this, User);
    record(User, "SiteCommand", {{QStringLiteral("command"), Command}});
    const QString c = Command.trimmed().toUpper();
    if (c == QLatin1String("BYE")) {
        User.SendReply(QStringLiteral("221 Bye."));
        User.Disconnect();
    } else if (c == QLatin1String("NEST")) {
        // Like a message box: other events are served meanwhile.
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
        User.SendReply(QStringLiteral("200 Nested loop done."));
    } else if (c == QLatin1String("STOPALL")) {
        m_engine.StopListening();
    } else if (c == QLatin1String("DENY")) {
        Cancel = true;
    }
}

void RecordingSink::UnrecognizedCommand(FtpUser& User, bool&, QString& Command, QString& Parameters)
{
    const Inside inside(*this, User);
    record(User, "UnrecognizedCommand", {{QStringLiteral("command"), Command}, {QStringLiteral("params"), Parameters}});
}

void RecordingSink::UserCommand(FtpUser& User, QString& Command, QString& Parameters, bool& Cancel)
{
    const Inside inside(*this, User);
    record(User, "UserCommand", {{QStringLiteral("command"), Command}, {QStringLiteral("params"), Parameters}});
    if (Command == QLatin1String("USER") && Parameters.compare(QLatin1String("guest"), Qt::CaseInsensitive) == 0)
        Parameters = QStringLiteral("anonymous");
    if (Parameters.contains(QLatin1String("throw")))
        throw std::runtime_error("handler failure");
    if (Parameters.contains(QLatin1String("cancelcmd")))
        Cancel = true;
}

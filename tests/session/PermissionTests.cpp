// Granting and refusing operations by the account's or the group's flags,
// the delete's size, and the listing check; each kept to its own session.
#include "tests/session/SessionFixture.h"

#include <functional>

namespace {

using Check = std::function<void(SessionHandlers&, FakeFtpUser&, bool&, QString&)>;

struct OperationCase {
    const char* name;
    bool PermissionSet::*flag;
    qint16 grantedCode;
    Check call;
};

const OperationCase Operations[] = {
    {"ChangeDir", &PermissionSet::ChangeDir, PendingOp::ChangeDir,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) { h.IFtpEngineNotify_ChangeDir(u, "/d", c, m); }},
    {"DeleteFile", &PermissionSet::DeleteFile, PendingOp::Delete,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) {
         QString f = QStringLiteral("f");
         h.IFtpEngineNotify_DeleteFile(u, f, c, m);
     }},
    {"GetFile", &PermissionSet::GetFile, PendingOp::Get,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) {
         QString f = QStringLiteral("f");
         h.IFtpEngineNotify_GetFile(u, f, c, m);
     }},
    {"MakeDir", &PermissionSet::MakeDir, PendingOp::None,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) { h.IFtpEngineNotify_MakeDir(u, "/d", c, m); }},
    {"PutFile", &PermissionSet::PutFile, PendingOp::Put,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) {
         QString f = QStringLiteral("f");
         h.IFtpEngineNotify_PutFile(u, f, c, m);
     }},
    {"RemoveDir", &PermissionSet::RemoveDir, PendingOp::None,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) { h.IFtpEngineNotify_RemoveDir(u, "/d", c, m); }},
    {"RenameFile", &PermissionSet::RenameFile, PendingOp::None,
     [](SessionHandlers& h, FakeFtpUser& u, bool& c, QString& m) {
         h.IFtpEngineNotify_RenameFile(u, "a", "b", c, m);
     }},
};

} // namespace

class Permissions : public SessionTest {
protected:
    // A logged-in session of bob with the given choice and flags for one operation.
    std::unique_ptr<FakeFtpUser> bob(bool adopt, bool PermissionSet::*flag, bool accountFlag, bool groupFlag,
                                     quint64 id = 1)
    {
        AccountRecord a = account(QStringLiteral("bob"));
        a.AdoptGroupCMDs = adopt;
        a.Permissions.*flag = accountFlag;
        writeAccount(a);
        GroupRecord g = group();
        g.Permissions.*flag = groupFlag;
        writeGroup(QStringLiteral("staff"), g);
        auto user = session(QStringLiteral("bob"), QStringLiteral("secret"), id);
        login(*user);
        return user;
    }
};

TEST_F(Permissions, TheChosenFlagAloneDecides)
{
    for (const OperationCase& op : Operations) {
        for (int combo = 0; combo < 8; ++combo) {
            const bool adopt = combo & 1, accountFlag = combo & 2, groupFlag = combo & 4;
            SCOPED_TRACE(std::string(op.name) + " combination " + std::to_string(combo));
            auto user = bob(adopt, op.flag, accountFlag, groupFlag);
            const bool granted = adopt ? groupFlag : accountFlag;
            bool cancel = false;
            QString message = QStringLiteral("engine's own");
            op.call(handlers, *user, cancel, message);
            EXPECT_EQ(cancel, !granted);
            EXPECT_EQ(message, QStringLiteral("engine's own"));
            EXPECT_EQ(record(*user)->PendingOpCode, granted ? op.grantedCode : qint16(PendingOp::Refused));
        }
    }
}

TEST_F(Permissions, NoRecordRefusesAndReports)
{
    for (const OperationCase& op : Operations) {
        SCOPED_TRACE(op.name);
        auto user = session(QStringLiteral("bob"));
        user->state = FtpUser::Connected;
        user->SetSessionData(QStringLiteral("kill"));
        bool cancel = false;
        QString message;
        op.call(handlers, *user, cancel, message);
        EXPECT_TRUE(cancel);
    }
    EXPECT_EQ(doubles.errors->reports.size(), 7);
    EXPECT_TRUE(doubles.errors->reports[0].contains(QStringLiteral("in Quayport.frmMain.IFtpEngineNotify_ChangeDir ")));
}

// SIZE and MDTM: answered where the chosen flags allow listing or getting.
// A question, not an operation: whatever is pending stays so.
TEST_F(Permissions, FileDetailsOnlyForWhoMayListOrGet)
{
    for (int combo = 0; combo < 32; ++combo) {
        const bool adopt = combo & 1, dir = combo & 2, get = combo & 4;
        const bool groupDir = combo & 8, groupGet = combo & 16;
        SCOPED_TRACE("combination " + std::to_string(combo));
        AccountRecord a = account(QStringLiteral("bob"));
        a.AdoptGroupCMDs = adopt;
        a.Permissions = PermissionSet::all(true);
        a.Permissions.Dir = dir;
        a.Permissions.GetFile = get;
        writeAccount(a);
        GroupRecord g = group();
        g.Permissions.Dir = groupDir;
        g.Permissions.GetFile = groupGet;
        writeGroup(QStringLiteral("staff"), g);
        auto user = session(QStringLiteral("bob"));
        login(*user);
        record(*user)->PendingOpCode = PendingOp::Delete;
        record(*user)->PendingFileSize = 1500;
        bool cancel = false;
        QString message = QStringLiteral("engine's own");
        handlers.IFtpEngineNotify_FileDetails(*user, QStringLiteral("f"), cancel, message);
        EXPECT_EQ(cancel, !(adopt ? groupDir || groupGet : dir || get));
        EXPECT_EQ(message, QStringLiteral("engine's own"));
        EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Delete);
        EXPECT_EQ(record(*user)->PendingFileSize, 1500);
    }
    auto stranger = session(QStringLiteral("bob"));
    stranger->state = FtpUser::Connected;
    stranger->SetSessionData(QStringLiteral("kill"));
    bool cancel = false;
    QString message;
    handlers.IFtpEngineNotify_FileDetails(*stranger, QStringLiteral("f"), cancel, message);
    EXPECT_TRUE(cancel);
}

TEST_F(Permissions, DeleteSizesTheVeryFileTheEngineWillDelete)
{
    auto user = bob(false, &PermissionSet::DeleteFile, true, true);
    const QString folder = home.file(QStringLiteral("/root/sub"));
    QDir().mkpath(folder);
    home.write(QStringLiteral("/root/sub/C.txt"), QByteArray(1500, 'x'));
    home.write(QStringLiteral("/root/sub/c.txt"), QByteArray(10, 'x'));
    home.write(QStringLiteral("/root/C.txt"), QByteArray(20, 'x'));
    user->currentFolder = home.file(QStringLiteral("/root"));
    user->physicalPaths[QStringLiteral("sub/C.txt")] = folder + QStringLiteral("/C.txt");

    bool cancel = false;
    QString message;
    QString name = QStringLiteral("sub/C.txt");
    handlers.IFtpEngineNotify_DeleteFile(*user, name, cancel, message);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(record(*user)->PendingFileSize, 1500);
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Delete);

    // A missing file, or one outside the session's confinement, sizes 0.
    for (const QString& argument : {QStringLiteral("sub/none.txt"), QStringLiteral("../../etc/passwd")}) {
        if (argument.startsWith(QLatin1String("sub")))
            user->physicalPaths[argument] = folder + QStringLiteral("/none.txt");
        name = argument;
        handlers.IFtpEngineNotify_DeleteFile(*user, name, cancel, message);
        EXPECT_EQ(record(*user)->PendingFileSize, 0);
        EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Delete);
    }
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

class Listing : public Permissions {
protected:
    QStringList list(FakeFtpUser& user, int entries)
    {
        QStringList out;
        for (int i = 0; i < entries; ++i) {
            QString info = QStringLiteral("entry %1").arg(i);
            handlers.IFtpEngineNotify_DirItem(user, info, entries - 1 - i);
            out.append(info);
        }
        return out;
    }
};

TEST_F(Listing, RefusedListingIsBlankAndEndsDenied)
{
    auto user = bob(true, &PermissionSet::Dir, true, false);
    engine.SetReplyText(14, QStringLiteral("226 Listing complete."));
    EXPECT_EQ(list(*user, 3), (QStringList{QString(), QString(), QString()}));
    EXPECT_EQ(engine.ReplyText(14), QStringLiteral("550 Access denied."));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Refused);
}

TEST_F(Listing, GrantedListingIsUnchangedAndEndsComplete)
{
    auto user = bob(false, &PermissionSet::Dir, true, false);
    engine.SetReplyText(14, QStringLiteral("550 Access denied."));
    EXPECT_EQ(list(*user, 2), (QStringList{QStringLiteral("entry 0"), QStringLiteral("entry 1")}));
    EXPECT_EQ(engine.ReplyText(14), QStringLiteral("226 Listing complete."));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Listing);

    // A refusal still pending in this session blanks its own next listing.
    record(*user)->PendingOpCode = PendingOp::Refused;
    EXPECT_EQ(list(*user, 2), (QStringList{QString(), QString()}));
    EXPECT_EQ(engine.ReplyText(14), QStringLiteral("550 Access denied."));
}

TEST_F(Listing, ARefusalInOneSessionLeavesAnotherSessionAlone)
{
    auto refused = bob(false, &PermissionSet::ChangeDir, false, true, 1);
    auto other = session(QStringLiteral("bob"), QStringLiteral("secret"), 2);
    login(*other);
    bool cancel = false;
    QString message;
    handlers.IFtpEngineNotify_ChangeDir(*refused, QStringLiteral("/x"), cancel, message);
    ASSERT_TRUE(cancel);

    EXPECT_EQ(list(*other, 2), (QStringList{QStringLiteral("entry 0"), QStringLiteral("entry 1")}));
    EXPECT_EQ(engine.ReplyText(14), QStringLiteral("226 Listing complete."));
    handlers.IFtpEngineNotify_Debug(*other, QStringLiteral("226 Transfer done"));
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().Message, QStringLiteral("226 Transfer done"));

    // The refused session's own reply is the one logged as denied.
    handlers.IFtpEngineNotify_Debug(*refused, QStringLiteral("550 Failed to change directory."));
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().Message, QStringLiteral("550 Access denied"));
    EXPECT_EQ(record(*refused)->PendingOpCode, PendingOp::None);
}

TEST_F(Listing, APendingDeleteIsJudgedByItsOwnSessionsReply)
{
    auto deleting = bob(false, &PermissionSet::DeleteFile, true, true, 1);
    auto other = session(QStringLiteral("bob"), QStringLiteral("secret"), 2);
    login(*other);
    home.write(QStringLiteral("/root/f.bin"), QByteArray(1500, 'x'));
    deleting->physicalPaths[QStringLiteral("f.bin")] = home.file(QStringLiteral("/root/f.bin"));
    bool cancel = false;
    QString message;
    QString name = QStringLiteral("f.bin");
    handlers.IFtpEngineNotify_DeleteFile(*deleting, name, cancel, message);

    handlers.IFtpEngineNotify_Debug(*other, QStringLiteral("550 No such file."));
    EXPECT_EQ(record(*deleting)->PendingOpCode, PendingOp::Delete);
    handlers.IFtpEngineNotify_Debug(*deleting, QStringLiteral("250 DELE command successful."));
    EXPECT_EQ(fileLines(QStringLiteral("/users/stats/bob.Del_File_Count.txt")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(fileLines(QStringLiteral("/users/stats/bob.Del_File_Size.txt")), QStringList{QStringLiteral("1500")});
    EXPECT_EQ(record(*deleting)->BytesDeleted, 1500);
    EXPECT_EQ(record(*other)->BytesDeleted, 0);
}

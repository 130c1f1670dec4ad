#pragma once
// A temporary application folder, recording doubles, an engine that is not
// listening and the handlers under test, with helpers to write accounts and
// read logs back.
#include "core/Accounts.h"
#include "core/LogRecord.h"
#include "core/ProcessState.h"
#include "core/TextFile.h"
#include "engine/FtpEngine.h"
#include "session/ConsoleState.h"
#include "session/SessionHandlers.h"
#include "tests/session/FakeFtpUser.h"
#include "tests/support/ProgramStart.h"
#include "tests/support/RecordingConsoleServices.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

class SessionTest : public ::testing::Test {
protected:
    SessionTest()
    {
        ModMain::ServerConfig.ServerRoot = home.file(QStringLiteral("/root"));
        ModMain::ServerConfig.Put0Byte = true;
        handlers.SetClock([this] { return now; });
    }

    // An account with every flag on, its own root "root" and group "staff".
    AccountRecord account(const QString& name, const QString& password = QStringLiteral("secret"),
                          const QString& group = QStringLiteral("staff")) const
    {
        AccountRecord a;
        a.Permissions = PermissionSet::all(true);
        a.UserId = name;
        a.Password = password;
        a.Description = QStringLiteral("Test account");
        a.Email = name + QStringLiteral("@example.org");
        a.Group = group;
        a.RootFolder = home.file(QStringLiteral("/root"));
        return a;
    }
    GroupRecord group(bool allowAll = true) const
    {
        GroupRecord g;
        g.Permissions = PermissionSet::all(allowAll);
        g.RootFolder = home.file(QStringLiteral("/root"));
        return g;
    }
    void writeAccount(const AccountRecord& a) const { ASSERT_TRUE(WriteLines(AccountFilePath(a.UserId), AccountFileLines(a))); }
    void writeGroup(const QString& name, const GroupRecord& g) const
    {
        ASSERT_TRUE(WriteLines(GroupFilePath(name), GroupFileLines(g, false)));
    }
    // bob in staff, both allowing everything.
    void writeBob() const
    {
        writeAccount(account(QStringLiteral("bob")));
        writeGroup(QStringLiteral("staff"), group());
    }

    std::unique_ptr<FakeFtpUser> session(const QString& name, const QString& pass = QStringLiteral("secret"),
                                         quint64 id = 1) const
    {
        auto user = std::make_unique<FakeFtpUser>();
        user->userName = name;
        user->loginPass = pass;
        user->sessionId = id;
        return user;
    }
    // Logs the session in and asserts it was accepted; then it is connected.
    void login(FakeFtpUser& user)
    {
        bool cancel = false;
        QString message;
        handlers.IFtpEngineNotify_UserLogin(user, cancel, message);
        ASSERT_FALSE(cancel) << message.toStdString();
        ASSERT_TRUE(user.SessionObjectAs<UserObj>());
        user.state = FtpUser::Connected;
    }
    std::shared_ptr<UserObj> record(const FakeFtpUser& user) const { return user.SessionObjectAs<UserObj>(); }

    // The records of a log file below the application folder.
    QList<LogRecord> records(const QString& tail) const
    {
        QList<LogRecord> out;
        LineReader reader(home.file(tail));
        while (true) {
            QStringList six;
            for (int i = 0; i < 6; ++i) {
                if (auto line = reader.readLine())
                    six.append(*line);
            }
            if (six.size() < 6)
                return out;
            out.append(LogRecord{six[0], six[1], six[2], six[3], six[4], six[5]});
        }
    }
    QStringList messages(const QString& tail) const
    {
        QStringList out;
        for (const LogRecord& r : records(tail))
            out.append(r.Message);
        return out;
    }
    QStringList fileLines(const QString& tail) const
    {
        QStringList out;
        LineReader reader(home.file(tail));
        while (auto line = reader.readLine())
            out.append(*line);
        return out;
    }
    QStringList logFiles() const { return QDir(home.file(QStringLiteral("/logs"))).entryList(QDir::Files, QDir::Name); }

    FreshProcess<ConsoleState::Reset> fresh;
    TempAppFolder home;
    InstalledDoubles doubles;
    FtpEngine engine;
    RecordingConsoleServices console;
    SessionHandlers handlers{engine, console};
    QDateTime now{QDate(2026, 12, 8), QTime(7, 15, 0)};
};

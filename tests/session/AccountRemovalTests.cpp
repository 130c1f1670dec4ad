// Removing an account or a group reports a file that stays.
#include "core/Accounts.h"
#include "session/AccountRemoval.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

TEST(AccountRemoval, AFileThatStaysIsReportedAndUnsafeNamesRemoveNothing)
{
    TempAppFolder home;
    home.write(QStringLiteral("/users/U_bob"), "x");
    home.write(QStringLiteral("/groups/G_staff"), "x");
    for (const char* name : {"", "*", "..", "../users/U_bob"}) {
        EXPECT_FALSE(RemoveAccountFiles(QLatin1String(name))) << name;
        EXPECT_FALSE(RemoveGroupFiles(QLatin1String(name))) << name;
    }
    MakeReadOnlyForOthers(home.file(QStringLiteral("/users")));
    MakeReadOnlyForOthers(home.file(QStringLiteral("/groups")));
    EXPECT_EXIT(
        {
            BecomeUnprivileged();
            std::exit(!RemoveAccountFiles(QStringLiteral("bob")) && !RemoveGroupFiles(QStringLiteral("staff")) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(home.exists(QStringLiteral("/users/U_bob")) && home.exists(QStringLiteral("/groups/G_staff")));
    EXPECT_TRUE(RemoveAccountFiles(QStringLiteral("BOB")));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/U_bob")));
}

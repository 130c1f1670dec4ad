// Name validation, day of the year, path tests and path normalisation.
#include "core/GeneralDate.h"
#include "core/SmallProcs.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(ValidateString, AllowedCharactersAndOneMessageOnRefusal)
{
    InstalledDoubles doubles;
    EXPECT_TRUE(ModMain::ValidateString(QStringLiteral("Bob_01 #@")));
    EXPECT_TRUE(ModMain::ValidateString(QString()));
    EXPECT_TRUE(doubles.messages->messages.empty());
    for (const QString& bad : {QStringLiteral("a.b"), QStringLiteral("a-b"), QStringLiteral("caf\u00e9")}) {
        doubles.messages->messages.clear();
        EXPECT_FALSE(ModMain::ValidateString(bad));
        ASSERT_EQ(doubles.messages->messages.size(), 1u);
        EXPECT_EQ(doubles.messages->messages[0].text, QStringLiteral("You must enter valid characters A-Z 0-9 _ @ # only"));
        EXPECT_EQ(doubles.messages->messages[0].icon, MessageIcon::None);
    }
}

TEST(CDate2Julian, ThreeDigitDayOfYear)
{
    EXPECT_EQ(ModMain::CDate2Julian(QDate(2026, 1, 1)), QStringLiteral("001"));
    EXPECT_EQ(ModMain::CDate2Julian(QDate(2026, 2, 1)), QStringLiteral("032"));
    EXPECT_EQ(ModMain::CDate2Julian(QDate(2024, 2, 29)), QStringLiteral("060"));
    EXPECT_EQ(ModMain::CDate2Julian(QDate(2026, 3, 1)), QStringLiteral("060"));
    EXPECT_EQ(ModMain::CDate2Julian(QDate(2026, 12, 31)), QStringLiteral("365"));
    EXPECT_EQ(ModMain::CDate2Julian(QDate(2024, 12, 31)), QStringLiteral("366"));
}

TEST(PathTests, TrailingSlashFilesAndFolders)
{
    TempAppFolder home;
    home.write(QStringLiteral("/file.txt"), "x");
    const QString p = home.path();
    // path, FolderExists, FileExists, the spelling a caller that keeps it gets
    const struct {
        QString path;
        bool folder;
        bool file;
        QString kept;
    } cases[] = {
        {p + QStringLiteral("/root/"), true, false, p + QStringLiteral("/root")},
        {p + QStringLiteral("/root//"), true, false, p + QStringLiteral("/root/")},
        {p + QStringLiteral("/ROOT"), true, false, p + QStringLiteral("/ROOT")},
        {p + QStringLiteral("/file.txt"), false, true, p + QStringLiteral("/file.txt")},
        {p + QStringLiteral("/FILE.TXT/"), false, true, p + QStringLiteral("/FILE.TXT")},
        {p + QStringLiteral("/missing"), false, false, p + QStringLiteral("/missing")},
        {QString(), false, false, QString()},
        // The machine's root is a folder, and its one slash is no trailing slash.
        {QStringLiteral("/"), true, false, QStringLiteral("/")},
        {QStringLiteral("//"), true, false, QStringLiteral("/")},
    };
    for (const auto& c : cases) {
        const std::string at = c.path.toStdString();
        // The plain tests leave the caller's text alone, whatever it is.
        QString asked = c.path;
        EXPECT_EQ(FolderExists(asked), c.folder) << at;
        EXPECT_EQ(FileExists(asked), c.file) << at;
        EXPECT_EQ(asked, c.path) << at;
        QString kept = c.path;
        EXPECT_EQ(FolderExistsDroppingSlash(kept), c.folder) << at;
        EXPECT_EQ(kept, c.kept) << at;
        kept = c.path;
        EXPECT_EQ(FileExistsDroppingSlash(kept), c.file) << at;
        EXPECT_EQ(kept, c.kept) << at;
    }
}

TEST(RMVSlash, CollapsesRunsAndLowersCase)
{
    EXPECT_EQ(ModMain::RMVSlash(QStringLiteral(" /Root//Sub///File.TXT ")), QStringLiteral("/root/sub/file.txt"));
    EXPECT_EQ(ModMain::RMVSlash(QStringLiteral("a////b")), QStringLiteral("a/b"));
    EXPECT_EQ(ModMain::RMVSlash(QStringLiteral("a/////b")), QStringLiteral("a//b"));
    // Shown as spelt: a case-sensitive disk has no "/root/sub".
    EXPECT_EQ(ModMain::CollapseSlashes(QStringLiteral(" /Root//Sub///File.TXT ")), QStringLiteral("/Root/Sub/File.TXT"));
}

TEST(GeneralDate, FullDateAndTimeInTheLocalesOrder)
{
    const QDateTime when(QDate(2026, 12, 9), QTime(7, 5, 3));
    const struct {
        QLocale locale;
        const char* text;
    } cases[] = {
        {QLocale(QLocale::C), "9 Dec 2026 07:05:03"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/9/2026 7:05:03 AM"},
        {QLocale(QLocale::German, QLocale::Germany), "09.12.2026 07:05:03"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "09/12/2026 07:05:03"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GeneralDateText(when, c.locale), QString::fromUtf8(c.text)) << c.locale.name().toStdString();
}

#include "engine/CommandTable.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

// Every name and alias is one upper-case word found as its own row; FEAT and
// HELP list exactly what the rows say, in the words clients have seen so far.
TEST(CommandTable, NamesAreUniqueAndFeatAndHelpListTheRows)
{
    QSet<QString> names;
    QStringList features;
    for (const FtpCommand& row : FtpCommands::all()) {
        EXPECT_NE(row.run, nullptr) << row.name;
        for (const char* name : {row.name, row.alias}) {
            if (!name)
                continue;
            const QString n = QLatin1String(name);
            EXPECT_TRUE(n.size() >= 3 && n.size() <= 4 && n == n.toUpper() && !n.contains(QLatin1Char(' '))) << name;
            EXPECT_FALSE(names.contains(n)) << name;
            names.insert(n);
            EXPECT_EQ(FtpCommands::find(n), &row) << name;
        }
        if (row.feature)
            features.append(QLatin1String(" ") + QLatin1String(row.feature));
    }
    EXPECT_EQ(FtpCommands::find(QStringLiteral("cwd")), nullptr);

    const QStringList feat = FtpCommands::featuresReply().split(QLatin1Char('\n'));
    EXPECT_EQ(QSet<QString>(feat.begin() + 1, feat.end() - 1), QSet<QString>(features.begin(), features.end()));
    EXPECT_EQ(FtpCommands::featuresReply(),
              "211-Features:\n EPRT\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End");

    QStringList help = FtpCommands::helpReply().split(QLatin1Char('\n'));
    help = help.mid(1, help.size() - 2).join(QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    EXPECT_EQ(QSet<QString>(help.begin(), help.end()), names);
    EXPECT_EQ(help.size(), names.size());
    EXPECT_EQ(FtpCommands::helpReply(), "214-The following commands are recognized.\n"
                                        " ABOR ALLO APPE CDUP CWD  DELE EPRT EPSV FEAT HELP LIST MDTM MKD\n"
                                        " MODE NLST NOOP OPTS PASS PASV PORT PWD  QUIT REST RETR RMD  RNFR\n"
                                        " RNTO SITE SIZE STAT STOR STRU SYST TYPE USER XCUP XCWD XMKD XPWD XRMD\n"
                                        "214 Help OK.");
}

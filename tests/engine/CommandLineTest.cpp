#include "core/FileNameBytes.h"
#include "engine/CommandLine.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {
// Feeds everything and collects the lines (with "<too long>" for dropped ones).
QStringList lines(LineAssembler& a, const QByteArray& bytes)
{
    QStringList out;
    qsizetype at = 0;
    while (at < bytes.size()) {
        at += a.feed(bytes.constData() + at, bytes.size() - at);
        if (auto l = a.takeLine())
            out.append(l->tooLong ? QStringLiteral("<too long>") : QString::fromLatin1(l->text));
    }
    return out;
}
} // namespace

TEST(LineAssembler, SplitsOnLineEndsWhateverTheChunks)
{
    LineAssembler a;
    EXPECT_EQ(lines(a, "USER bob\r\nPASS x\nNOOP"), (QStringList{"USER bob", "PASS x"}));
    EXPECT_EQ(lines(a, "\r"), QStringList{});
    EXPECT_EQ(lines(a, "\n"), QStringList{"NOOP"});
}

TEST(LineAssembler, StripsTelnetSequences)
{
    LineAssembler a;
    // IP and DM before ABOR, an option negotiation, and an escaped 0xFF that is data.
    EXPECT_EQ(lines(a, "\xFF\xF4\xFF\xF2" "ABOR\r\n"), QStringList{"ABOR"});
    EXPECT_EQ(lines(a, "NO\xFF\xFB\x01OP\r\n"), QStringList{"NOOP"});
    EXPECT_EQ(lines(a, "X \xFF\xFFy\r\n"), QStringList{QString::fromLatin1("X \xFFy")});
}

TEST(LineAssembler, DropsOverlongLinesOnceAndRecovers)
{
    LineAssembler a;
    const QByteArray exact = "NOOP " + QByteArray(LineAssembler::MaxLine - 5, 'x');
    EXPECT_EQ(lines(a, exact + "\r\n"), QStringList{QString::fromLatin1(exact)});
    const QByteArray longer = QByteArray(100'000, 'y');
    EXPECT_EQ(lines(a, longer + "\r\nNOOP\r\n"), (QStringList{"<too long>", "NOOP"}));
}

TEST(ParseCommand, VerbInCapitalsArgumentAsSent)
{
    Command c = parseCommand("stor  my file.txt ");
    EXPECT_EQ(c.verb, "STOR");
    EXPECT_EQ(c.argument, " my file.txt ");
    EXPECT_EQ(c.traceText(), "STOR  my file.txt ");
    EXPECT_FALSE(c.badArgument);

    c = parseCommand("pwd");
    EXPECT_EQ(c.traceText(), "PWD");
    EXPECT_FALSE(c.hasArgument);

    EXPECT_TRUE(parseCommand("CWD a\tb").badArgument);
    EXPECT_TRUE(parseCommand(QByteArray("RETR a\0b", 8)).badArgument);
    EXPECT_TRUE(parseCommand("RETR a\x7f").badArgument);
    EXPECT_EQ(parseCommand("RETR \xc3\xa9t\xc3\xa9").argument, QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
    EXPECT_FALSE(parseCommand("RETR \xc3\xa9t\xc3\xa9").notUtf8);
    for (const char* line : {"STOR r\xe9sum\xe9.txt", "MKD \xc3", "MKD \xed\xa0\x80", "MKD \xc0\xaf"}) {
        const Command bytes = parseCommand(line);
        EXPECT_TRUE(bytes.notUtf8) << line;
        // The argument gives back the very bytes sent; the trace shows a stray byte as its Windows-1252 character.
        EXPECT_EQ(QByteArray(line).mid(bytes.verb.size() + 1), FileNameBytes::encode(bytes.argument)) << line;
        EXPECT_EQ(FileNameBytes::shown(bytes.argument), bytes.traceText().mid(bytes.verb.size() + 1)) << line;
    }
    EXPECT_EQ(parseCommand("STOR r\xe9sum\xe9.txt").traceText(), QString::fromUtf8("STOR r\xc3\xa9sum\xc3\xa9.txt"));
}

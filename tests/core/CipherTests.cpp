// The Blowfish cipher and the stored-line text cipher.
#include "core/Blowfish.h"
#include "core/ProcessState.h"
#include "core/ProgramError.h"
#include "core/TextCipher.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

using namespace modBlowFish;

namespace {

void installKey()
{
    SetKey(QString::fromLatin1(ModMain::ProgramKeyText));
}

std::array<std::uint8_t, 8> hexBlock(const char* hex)
{
    const QByteArray b = QByteArray::fromHex(hex);
    std::array<std::uint8_t, 8> out{};
    for (int i = 0; i < 8; ++i)
        out[i] = std::uint8_t(b.at(i));
    return out;
}

QByteArray blockHex(const std::array<std::uint8_t, 8>& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), 8).toHex().toUpper();
}

} // namespace

TEST(Blowfish, PublishedVectorsInBigEndianBlockOrder)
{
    struct Vector {
        const char* key;
        const char* plain;
        const char* cipher;
    } vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    };
    for (const auto& v : vectors) {
        const QByteArray key = QByteArray::fromHex(v.key);
        ASSERT_TRUE(blf_Key(key, key.size()));
        auto block = hexBlock(v.plain);
        Blowfish_encipherBytes(block);
        EXPECT_EQ(blockHex(block), QByteArray(v.cipher)) << v.key;
        Blowfish_decipherBytes(block);
        EXPECT_EQ(blockHex(block), QByteArray(v.plain).toUpper());
    }
}

TEST(Blowfish, KeyScheduleStartsFromPiAndRefusesBadLengths)
{
    blf_LoadArrays();
    EXPECT_EQ(PArray()[0], 0x243F6A88u);
    EXPECT_EQ(PArray()[17], 0x8979FB1Bu);
    EXPECT_EQ(SBox(0, 0), 0xD1310BA6u);
    EXPECT_EQ(SBox(3, 255), 0x3AC372E6u);

    installKey();
    const auto before = PArray();
    EXPECT_FALSE(blf_Key(QByteArray(57, 'x'), 57));
    EXPECT_FALSE(blf_Key(QByteArray(), 0)); // an empty key would divide by zero
    EXPECT_EQ(PArray(), before);

    // Installing the same key twice gives the same tables.
    installKey();
    EXPECT_EQ(PArray(), before);
}

TEST(Blowfish, SetKeyHexTextAndRefusals)
{
    EXPECT_EQ(SetKey(QStringLiteral("A\n")), QStringLiteral("41 0A "));
    EXPECT_EQ(KeyHexText(), QStringLiteral("41 0A "));

    // A one-character key repeats through every key word.
    SetKey(QStringLiteral("z"));
    std::array<std::uint8_t, 8> block{1, 2, 3, 4, 5, 6, 7, 8};
    Blowfish_encipherBytes(block);
    SetKey(QStringLiteral("zzzz"));
    std::array<std::uint8_t, 8> same{1, 2, 3, 4, 5, 6, 7, 8};
    Blowfish_encipherBytes(same);
    EXPECT_EQ(block, same);

    installKey();
    const QString installed = KeyHexText();
    for (const QString& bad : {QString(), QString(57, QLatin1Char('k'))}) {
        try {
            SetKey(bad);
            ADD_FAILURE() << "no error for a key of " << bad.size();
        } catch (const ProgramError& e) {
            EXPECT_EQ(e.number(), 60011);
            EXPECT_EQ(e.source(), QStringLiteral("SetKey"));
        }
        EXPECT_EQ(KeyHexText(), installed);
    }
    EXPECT_NO_THROW(SetKey(QString(56, QLatin1Char('k'))));
}

TEST(Blowfish, WordOperationsWrap)
{
    EXPECT_EQ(uw_WordAdd(0xFFFFFFFFu, 1u), 0u);
    EXPECT_EQ(uw_WordAdd(0x80000000u, 0x80000001u), 1u);
    EXPECT_EQ(uw_ShiftLeftBy8(0x00800000u), 0x80000000u);
    EXPECT_EQ(uw_WordJoin(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    EXPECT_EQ(uw_WordSplit(0x12345678u), (std::array<std::uint8_t, 4>{0x12, 0x34, 0x56, 0x78}));
}

TEST(TextCipher, StoredLinesOfTheProgramKey)
{
    InstalledDoubles doubles;
    installKey();
    EXPECT_EQ(ModMain::Encipher(QString()), QStringLiteral("me22+dDKM0w"));
    EXPECT_EQ(ModMain::Encipher(QStringLiteral("marigold")), QStringLiteral("WGYrWFX1pK7pWj+YWD79Iw"));
    EXPECT_EQ(ModMain::Encipher(QStringLiteral("<Reserved>")), QStringLiteral("mG97Vs4y6ZTciFXa6swKWg"));
    EXPECT_EQ(ModMain::DeCipher(QStringLiteral("me22+dDKM0w")), QString());
    EXPECT_EQ(ModMain::DeCipher(QStringLiteral("WGYrWFX1pK7pWj+YWD79Iw")), QStringLiteral("marigold"));
    EXPECT_EQ(ModMain::DeCipher(QStringLiteral("mG97Vs4y6ZTciFXa6swKWg")), QStringLiteral("<Reserved>"));
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST(TextCipher, LengthsPaddingAndRoundTrips)
{
    InstalledDoubles doubles;
    installKey();
    EXPECT_EQ(ModMain::Encipher(QStringLiteral("1234567")).size(), 11);
    EXPECT_EQ(ModMain::Encipher(QStringLiteral("12345678")).size(), 22);
    EXPECT_EQ(ModMain::Encipher(QString(16, QLatin1Char('x'))).size(), 32);

    const QString texts[] = {
        QStringLiteral("ends in code 3\x03"),
        QStringLiteral("line one\r\nline two\r\n"),
        QStringLiteral("Caf\u00e9 \u20ac 100"),
        QString(30000, QLatin1Char('g')), // longer than any 16-bit count
    };
    for (const QString& t : texts) {
        const QString line = ModMain::Encipher(t);
        EXPECT_FALSE(line.contains(QLatin1Char('\n')));
        EXPECT_FALSE(line.contains(QLatin1Char('=')));
        EXPECT_EQ(ModMain::DeCipher(line), t);
        EXPECT_EQ(ModMain::Encipher(t), line); // fixed key and IV: always the same line
    }
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST(TextCipher, Base64Rules)
{
    EXPECT_EQ(BF_Str2Mime("abc"), QStringLiteral("YWJj"));
    EXPECT_EQ(BF_Str2Mime("ab"), QStringLiteral("YWI"));
    EXPECT_EQ(BF_Str2Mime("a"), QStringLiteral("YQ"));
    EXPECT_EQ(BF_Mime2Str(QStringLiteral("YWI")), QByteArray("ab"));
    EXPECT_EQ(BF_Mime2Str(QStringLiteral("YWI=")), QByteArray("ab"));

    InstalledDoubles doubles;
    installKey();
    const QString line = ModMain::Encipher(QStringLiteral("marigold"));
    EXPECT_EQ(ModMain::DeCipher(line + QStringLiteral("==")), QStringLiteral("marigold"));
    // A blank inside the line is not skipped: it spoils what follows.
    EXPECT_NE(ModMain::DeCipher(line.left(4) + QLatin1Char(' ') + line.mid(4)), QStringLiteral("marigold"));
}

TEST(TextCipher, ShortOrPlainLinesGiveEmptyTextAndOneBox)
{
    InstalledDoubles doubles;
    installKey();
    for (const QString& line : {QString(), QStringLiteral("True"), QStringLiteral("abcdefghij")}) {
        doubles.errors->reports.clear();
        EXPECT_EQ(ModMain::DeCipher(line), QString()) << line.toStdString();
        ASSERT_EQ(doubles.errors->reports.size(), 1);
        EXPECT_TRUE(doubles.errors->reports[0].contains(
            QStringLiteral("in Quayport.modBlowFish.blf_CBCStringDecipher at line")));
    }
}

TEST(TextCipher, NoKeyInstalledReportsAndGivesEmptyText)
{
    InstalledDoubles doubles;
    ResetKey();
    EXPECT_EQ(ModMain::Encipher(QStringLiteral("x")), QString());
    EXPECT_EQ(ModMain::DeCipher(QStringLiteral("me22+dDKM0w")), QString());
    ASSERT_EQ(doubles.errors->reports.size(), 2);
    EXPECT_EQ(doubles.errors->reports[0],
              QStringLiteral("Key has no value, execute SetKey first.\nin Quayport.modBlowFish.Blowfish_encipher at line 1"));
    EXPECT_EQ(doubles.errors->reports[1],
              QStringLiteral("Key has no value. execute SetKey first\nin Quayport.modBlowFish.Blowfish_decipher at line 1"));
    installKey();
}

// File names as bytes: every name becomes a text and back unchanged, no two
// names share a text, UTF-8 names are their plain text, and a stray byte
// shows as its Windows-1252 character.
#include "core/FileNameBytes.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(FileNameBytes, EveryNameRoundTripsAndStaysApart)
{
    struct Row {
        QByteArray bytes;
        bool utf8;
        QString shown;
    };
    const Row rows[] = {
        {"plain.txt", true, "plain.txt"},
        {"caf\xc3\xa9.txt", true, QString::fromUtf8("caf\xc3\xa9.txt")},
        {"\xef\xbb\xbf" "bom", true, QChar(0xFEFF) + QString("bom")}, // kept, not taken for a mark
        {"caf\xe9.txt", false, QString::fromUtf8("caf\xc3\xa9.txt")},
        {"\x80\x9f\xff", false, QString::fromUtf8("\xe2\x82\xac\xc5\xb8\xc3\xbf")},
        {"\x81\x8d", false, QString(QChar(0x81)) + QChar(0x8D)},
        {"cut \xc3", false, QString::fromUtf8("cut \xc3\x83")},
        {"\xed\xa0\x80", false, QString::fromUtf8("\xc3\xad\xc2\xa0\xe2\x82\xac")}, // an encoded surrogate
        {"\xc0\xaf", false, QString::fromUtf8("\xc3\x80\xc2\xaf")},                 // an overlong "/"
        {"\xf4\x90\x80\x80", false, QString::fromUtf8("\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac")}, // above U+10FFFF
        {"\xf0\x90\x82\x80\xb2\x80", false, QString::fromUtf8("\xf0\x90\x82\x80\xc2\xb2\xe2\x82\xac")},
    };
    QSet<QString> texts;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes.toHex().constData());
        bool utf8 = false;
        const QString text = FileNameBytes::decode(row.bytes, &utf8);
        EXPECT_EQ(utf8, row.utf8);
        EXPECT_EQ(FileNameBytes::encode(text), row.bytes);
        EXPECT_EQ(FileNameBytes::shown(text), row.shown);
        if (row.utf8) {
            EXPECT_EQ(text.toUtf8(), row.bytes); // the name's plain text
            EXPECT_EQ(FileNameBytes::replaced(text), text);
        } else {
            EXPECT_TRUE(FileNameBytes::replaced(text).contains(QChar(QChar::ReplacementCharacter)));
        }
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), qsizetype(std::size(rows)));
    // Every byte alone stays apart from the rest too ("caf\xe9.txt" from "caf\xc3\xa9.txt" above).
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        const QString text = FileNameBytes::decode(one);
        EXPECT_EQ(FileNameBytes::encode(text), one) << b;
        EXPECT_FALSE(texts.contains(text)) << b;
        texts.insert(text);
    }
}

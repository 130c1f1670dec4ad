#include "core/AnsiCodec.h"

#include <array>

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest match Latin-1.
constexpr std::array<char16_t, 32> HighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char AnsiByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (std::size_t i = 0; i < HighTable.size(); ++i) {
        if (HighTable[i] == u)
            return char(0x80 + i);
    }
    return '?';
}

QByteArray ToAnsi(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* at = out.data();
    for (const QChar c : text)
        *at++ = AnsiByte(c);
    return out;
}

QString FromAnsi(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* at = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *at++ = (b >= 0x80 && b < 0xA0) ? QChar(HighTable[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

bool FitsAnsi(const QString& text)
{
    for (const QChar c : text) {
        if (AnsiByte(c) == '?' && c != QLatin1Char('?'))
            return false;
    }
    return true;
}

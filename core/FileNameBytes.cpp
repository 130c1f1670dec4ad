#include "core/FileNameBytes.h"

#include "core/AnsiCodec.h"

namespace {
constexpr char16_t ByteBase = 0xDC00; // byte b (0x80 to 0xFF) is ByteBase + b

// The length of the UTF-8 sequence at p (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when none starts there.
int sequenceLength(const uchar* p, qsizetype left)
{
    const uchar b = p[0];
    auto follows = [&](int k, uchar low = 0x80, uchar high = 0xBF) {
        return k < left && p[k] >= low && p[k] <= high;
    };
    if (b >= 0xC2 && b <= 0xDF)
        return follows(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const bool second = b == 0xE0 ? follows(1, 0xA0) : b == 0xED ? follows(1, 0x80, 0x9F) : follows(1);
        return second && follows(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const bool second = b == 0xF0 ? follows(1, 0x90) : b == 0xF4 ? follows(1, 0x80, 0x8F) : follows(1);
        return second && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

// A character that stands for a byte: in the range, and not the second half of a pair.
bool isByte(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= ByteBase + 0x80 && c <= ByteBase + 0xFF && (i == 0 || !text[i - 1].isHighSurrogate());
}

bool holdsBytes(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isByte(text, i))
            return true;
    return false;
}

template <typename Each> QString mapBytes(const QString& text, Each each)
{
    if (!holdsBytes(text))
        return text;
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (isByte(text, i))
            out[i] = each(char(text[i].unicode() - ByteBase));
    return out;
}
} // namespace

namespace FileNameBytes {

QString decode(QByteArrayView bytes, bool* allUtf8)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    bool valid = true;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out.append(QChar(char16_t(p[i++])));
            continue;
        }
        const int length = sequenceLength(p + i, n - i);
        if (length == 0) {
            out.append(QChar(char16_t(ByteBase + p[i++])));
            valid = false;
            continue;
        }
        char32_t code = p[i] & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (p[i + k] & 0x3F);
        if (QChar::requiresSurrogates(code)) {
            out.append(QChar(QChar::highSurrogate(code)));
            out.append(QChar(QChar::lowSurrogate(code)));
        } else {
            out.append(QChar(char16_t(code)));
        }
        i += length;
    }
    if (allUtf8)
        *allUtf8 = valid;
    return out;
}

QByteArray encode(QStringView text)
{
    if (!holdsBytes(text))
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size() * 3);
    qsizetype plain = 0; // start of the characters not yet converted
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isByte(text, i))
            continue;
        out += text.mid(plain, i - plain).toUtf8();
        out += char(text[i].unicode() - ByteBase);
        plain = i + 1;
    }
    out += text.mid(plain).toUtf8();
    return out;
}

QString shown(const QString& text)
{
    return mapBytes(text, [](char byte) { return FromAnsi(QByteArray(1, byte)).at(0); });
}

QString replaced(const QString& text)
{
    return mapBytes(text, [](char) { return QChar(QChar::ReplacementCharacter); });
}

} // namespace FileNameBytes

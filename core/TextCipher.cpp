#include "core/TextCipher.h"

#include "core/AnsiCodec.h"
#include "core/Blowfish.h"
#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/ProcedureName.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace modBlowFish {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

using Block = std::array<std::uint8_t, 8>;

bool keyInstalled()
{
    return !KeyHexText().trimmed().isEmpty();
}

// The IV block takes its first four bytes from the IV text's hex pairs.
Block ivBlock(const QString& iv, const QString& where)
{
    Block block{};
    for (int k = 0; k < 4 && 2 * k + 1 < iv.size(); ++k) {
        bool ok = false;
        const int v = iv.mid(2 * k, 2).toInt(&ok, 16);
        if (ok)
            block[k] = std::uint8_t(v);
        else
            ReportError(TypeMismatchText(), where, 4);
    }
    return block;
}

bool checkIv(const QString& iv, const QString& where)
{
    if (iv.trimmed().isEmpty() || iv.size() != 8) {
        ReportError(QStringLiteral("IV must contain an 8 byte (64-bit value)."), where, 3);
        return false;
    }
    return true;
}

int mimedecode(QChar c)
{
    const char* pos = c.unicode() < 128 ? std::strchr(Alphabet, char(c.unicode())) : nullptr;
    return (pos && c.unicode() != 0) ? int(pos - Alphabet) : -1;
}

} // namespace

QByteArray blf_CBCStringEncipher(const QByteArray& plain, const QString& iv)
{
    const int pad = 8 - int(plain.size() % 8);
    QByteArray padded = plain;
    padded.append(pad, char(pad));
    static const QString where = QuayportProcedure(u"modBlowFish", "blf_CBCStringEncipher");
    Block chain = ivBlock(iv, where);
    QByteArray out;
    out.reserve(padded.size());
    for (qsizetype at = 0; at < padded.size(); at += 8) {
        Block block;
        for (int i = 0; i < 8; ++i)
            block[i] = std::uint8_t(padded.at(at + i)) ^ chain[i];
        Blowfish_encipherBytes(block);
        chain = block;
        out.append(reinterpret_cast<const char*>(block.data()), 8);
    }
    return out;
}

QByteArray blf_CBCStringDecipher(const QByteArray& cipher, const QString& iv)
{
    static const QString where = QuayportProcedure(u"modBlowFish", "blf_CBCStringDecipher");
    Block chain = ivBlock(iv, where);
    QByteArray plain;
    const qsizetype whole = cipher.size() / 8 * 8; // a trailing partial block is ignored
    plain.reserve(whole);
    for (qsizetype at = 0; at < whole; at += 8) {
        Block block, kept;
        for (int i = 0; i < 8; ++i)
            kept[i] = block[i] = std::uint8_t(cipher.at(at + i));
        Blowfish_decipherBytes(block);
        for (int i = 0; i < 8; ++i)
            plain.append(char(block[i] ^ chain[i]));
        chain = kept;
    }
    if (plain.isEmpty()) {
        // No whole block: there is no pad count to read.
        ReportError(QStringLiteral("Invalid procedure call or argument"), where, 6);
        return {};
    }
    const int n = static_cast<unsigned char>(plain.back());
    if (n <= 8)
        plain.truncate(std::max<qsizetype>(0, std::min(plain.size(), cipher.size() - n)));
    return plain;
}

QString BF_Str2Mime(const QByteArray& bytes)
{
    QString out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const int b1 = static_cast<unsigned char>(bytes.at(i));
        const int left = int(bytes.size() - i);
        const int b2 = left > 1 ? static_cast<unsigned char>(bytes.at(i + 1)) : 0;
        const int b3 = left > 2 ? static_cast<unsigned char>(bytes.at(i + 2)) : 0;
        out += QLatin1Char(Alphabet[b1 / 4]);
        out += QLatin1Char(Alphabet[(b1 % 4) * 16 + b2 / 16]);
        if (left > 1)
            out += QLatin1Char(Alphabet[(b2 % 16) * 4 + b3 / 64]);
        if (left > 2)
            out += QLatin1Char(Alphabet[b3 % 64]);
    }
    return out;
}

QByteArray BF_Mime2Str(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() / 4 * 3 + 3);
    auto value = [&](qsizetype at) { return at < text.size() ? mimedecode(text.at(at)) : -1; };
    for (qsizetype i = 0; i < text.size(); i += 4) {
        const int s1 = value(i), s2 = value(i + 1), s3 = value(i + 2), s4 = value(i + 3);
        // Only the low eight bits count, so a -1 earlier in the group still gives a byte.
        if (s2 >= 0)
            out.append(char((4 * s1 + s2 / 16) & 0xFF));
        if (s3 >= 0)
            out.append(char((16 * s2 + s3 / 4) & 0xFF));
        if (s4 >= 0)
            out.append(char((64 * s3 + s4) & 0xFF));
    }
    return out;
}

} // namespace modBlowFish

namespace ModMain {

QString Encipher(const QString& text)
{
    using namespace modBlowFish;
    static const QString where = QuayportProcedure(u"modBlowFish", "Blowfish_encipher");
    if (!keyInstalled()) {
        ReportError(QStringLiteral("Key has no value, execute SetKey first."), where, 1);
        return {};
    }
    checkIv(QString::fromLatin1(IVText), where);
    return BF_Str2Mime(blf_CBCStringEncipher(ToAnsi(text), QString::fromLatin1(IVText)));
}

QString DeCipher(const QString& line)
{
    using namespace modBlowFish;
    static const QString where = QuayportProcedure(u"modBlowFish", "Blowfish_decipher");
    if (!keyInstalled()) {
        ReportError(QStringLiteral("Key has no value. execute SetKey first"), where, 1);
        return {};
    }
    checkIv(QString::fromLatin1(IVText), where);
    return FromAnsi(blf_CBCStringDecipher(BF_Mime2Str(line), QString::fromLatin1(IVText)));
}

} // namespace ModMain

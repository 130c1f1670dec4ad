#include "core/Blowfish.h"

#include "core/AnsiCodec.h"
#include "core/BlowfishTables.h"
#include "core/ProgramError.h"

namespace modBlowFish {

namespace {

struct Tables {
    std::array<std::uint32_t, 18> P{};
    std::array<std::array<std::uint32_t, 256>, 4> S{};
};

Tables& tables()
{
    static Tables t;
    return t;
}

QString& keyHex()
{
    static QString hex;
    return hex;
}

constexpr int MaxKeyBytes = 56;

} // namespace

const QString& KeyHexText()
{
    return keyHex();
}

QString SetKey(const QString& key)
{
    // A key the schedule cannot take is refused before anything changes, so
    // the cipher never runs with a half-installed or stale key.
    const QByteArray bytes = ToAnsi(key);
    if (bytes.isEmpty() || bytes.size() > MaxKeyBytes) {
        throw ProgramError(60011, QStringLiteral("SetKey"),
                           QStringLiteral("The key must have 1 to 56 characters."));
    }
    QString hex;
    for (char b : bytes)
        hex += QStringLiteral("%1 ").arg(static_cast<unsigned char>(b), 2, 16, QLatin1Char('0')).toUpper();
    blf_Key(bytes, qint32(bytes.size()));
    keyHex() = hex;
    return hex;
}

bool blf_Key(const QByteArray& keyBytes, qint32 length)
{
    if (length < 1 || length > MaxKeyBytes || length > keyBytes.size())
        return false;
    blf_Initialise(keyBytes, length);
    return true;
}

void blf_LoadArrays()
{
    tables().P = InitialP;
    tables().S = InitialS;
}

void blf_Initialise(const QByteArray& keyBytes, qint32 length)
{
    blf_LoadArrays();
    auto& t = tables();
    int j = 0;
    for (auto& p : t.P) {
        std::uint32_t word = 0;
        for (int k = 0; k < 4; ++k) {
            word = (word << 8) | static_cast<unsigned char>(keyBytes.at(j));
            j = (j + 1) % length;
        }
        p ^= word;
    }
    std::uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        blf_EncipherBlock(l, r);
        t.P[i] = l;
        t.P[i + 1] = r;
    }
    for (auto& box : t.S) {
        for (int e = 0; e < 256; e += 2) {
            blf_EncipherBlock(l, r);
            box[e] = l;
            box[e + 1] = r;
        }
    }
}

std::uint32_t blf_F(std::uint32_t x)
{
    const auto& s = tables().S;
    const auto b = uw_WordSplit(x);
    return uw_WordAdd(uw_WordAdd(s[0][b[0]], s[1][b[1]]) ^ s[2][b[2]], s[3][b[3]]);
}

void blf_EncipherBlock(std::uint32_t& xL, std::uint32_t& xR)
{
    const auto& p = tables().P;
    for (int i = 0; i < 16; ++i) {
        xL ^= p[i];
        xR ^= blf_F(xL);
        std::swap(xL, xR);
    }
    std::swap(xL, xR);
    xR ^= p[16];
    xL ^= p[17];
}

void blf_DecipherBlock(std::uint32_t& xL, std::uint32_t& xR)
{
    const auto& p = tables().P;
    for (int i = 17; i >= 2; --i) {
        xL ^= p[i];
        xR ^= blf_F(xL);
        std::swap(xL, xR);
    }
    std::swap(xL, xR);
    xR ^= p[1];
    xL ^= p[0];
}

void Blowfish_encipherBytes(std::array<std::uint8_t, 8>& block)
{
    std::uint32_t l = uw_WordJoin(block[0], block[1], block[2], block[3]);
    std::uint32_t r = uw_WordJoin(block[4], block[5], block[6], block[7]);
    blf_EncipherBlock(l, r);
    const auto a = uw_WordSplit(l), b = uw_WordSplit(r);
    std::copy(a.begin(), a.end(), block.begin());
    std::copy(b.begin(), b.end(), block.begin() + 4);
}

void Blowfish_decipherBytes(std::array<std::uint8_t, 8>& block)
{
    std::uint32_t l = uw_WordJoin(block[0], block[1], block[2], block[3]);
    std::uint32_t r = uw_WordJoin(block[4], block[5], block[6], block[7]);
    blf_DecipherBlock(l, r);
    const auto a = uw_WordSplit(l), b = uw_WordSplit(r);
    std::copy(a.begin(), a.end(), block.begin());
    std::copy(b.begin(), b.end(), block.begin() + 4);
}

std::array<std::uint8_t, 4> uw_WordSplit(std::uint32_t w)
{
    return {std::uint8_t(w >> 24), std::uint8_t(w >> 16), std::uint8_t(w >> 8), std::uint8_t(w)};
}

std::uint32_t uw_WordJoin(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) | d;
}

std::uint32_t uw_ShiftLeftBy8(std::uint32_t w)
{
    return w << 8;
}

std::uint32_t uw_WordAdd(std::uint32_t a, std::uint32_t b)
{
    return a + b; // unsigned arithmetic wraps modulo 2^32
}

void ResetKey()
{
    keyHex().clear();
    tables() = Tables{};
}

const std::array<std::uint32_t, 18>& PArray()
{
    return tables().P;
}

std::uint32_t SBox(int box, int entry)
{
    return tables().S.at(box).at(entry);
}

} // namespace modBlowFish

#pragma once
// The Blowfish block cipher (64-bit blocks, 16 rounds, standard key schedule)
// with the program's key installation and big-endian block order.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace modBlowFish {

// The installed key as upper-case hex pairs each followed by a blank; empty
// while no key is installed.
const QString& KeyHexText();

// Installs a key of 1 to 56 characters and returns KeyHexText. Raises
// ProgramError 60011 (source "SetKey") for an empty or longer key, and then
// leaves the installed key as it was.
QString SetKey(const QString& key);

// Runs the key schedule for 1 to 56 key bytes; false for any other length,
// leaving the tables as they were.
bool blf_Key(const QByteArray& keyBytes, qint32 length);
void blf_Initialise(const QByteArray& keyBytes, qint32 length);
void blf_LoadArrays();
std::uint32_t blf_F(std::uint32_t x);
void blf_EncipherBlock(std::uint32_t& xL, std::uint32_t& xR);
void blf_DecipherBlock(std::uint32_t& xL, std::uint32_t& xR);
void Blowfish_encipherBytes(std::array<std::uint8_t, 8>& block);
void Blowfish_decipherBytes(std::array<std::uint8_t, 8>& block);

// Word helpers.
std::array<std::uint8_t, 4> uw_WordSplit(std::uint32_t w);
std::uint32_t uw_WordJoin(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);
std::uint32_t uw_ShiftLeftBy8(std::uint32_t w);
std::uint32_t uw_WordAdd(std::uint32_t a, std::uint32_t b);

// Forgets the installed key, as at process start (for tests).
void ResetKey();

// The tables as they stand (for tests).
const std::array<std::uint32_t, 18>& PArray();
std::uint32_t SBox(int box, int entry);

} // namespace modBlowFish

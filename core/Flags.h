#pragma once
// Flags in the program's files are "True" or "False"; on reading, either word
// in any letter case or a decimal number (0 False, anything else True) is
// accepted, with plain blanks around it.
#include <QString>
#include <optional>

std::optional<bool> ParseFlag(const QString& text);
inline QString FlagText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

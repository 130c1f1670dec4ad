#pragma once
// A wildcard in the last component of a listing's argument: "*" stands for
// any run of characters, "?" for one, "[...]" for one of a set ("[a-c]",
// "[!a]" or "[^a]" for any but those). Letters match in either case, as every
// name here is matched.
#include <QString>
#include <string>

class NamePattern {
public:
    explicit NamePattern(const QString& pattern);
    // True when the text holds a wildcard (a "[" only with a "]" after it).
    static bool isPattern(const QString& text);
    bool matches(const QString& name) const;

private:
    std::u32string m_pattern; // code points, case-folded
};

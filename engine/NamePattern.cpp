#include "engine/NamePattern.h"

namespace {
constexpr std::size_t None = std::u32string::npos;

// Code points, case-folded; a surrogate without its partner (a byte that is
// not part of UTF-8) is one character of its own.
std::u32string folded(const QString& text)
{
    std::u32string out;
    out.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        out.push_back(QChar::toCaseFolded(c));
    }
    return out;
}

// Where the set that opens at `open` closes; None when it does not (the "[" is then plain).
std::size_t setEnd(const std::u32string& p, std::size_t open)
{
    std::size_t j = open + 1;
    if (j < p.size() && (p[j] == U'!' || p[j] == U'^'))
        ++j;
    if (j < p.size() && p[j] == U']')
        ++j; // a "]" first in the set is one of its members
    return p.find(U']', j);
}

bool inSet(const std::u32string& p, std::size_t open, std::size_t close, char32_t c)
{
    std::size_t k = open + 1;
    const bool negated = p[k] == U'!' || p[k] == U'^';
    if (negated)
        ++k;
    bool found = false;
    while (k < close) {
        if (k + 2 < close && p[k + 1] == U'-') {
            found = found || (p[k] <= c && c <= p[k + 2]);
            k += 3;
        } else {
            found = found || p[k] == c;
            ++k;
        }
    }
    return found != negated;
}
} // namespace

NamePattern::NamePattern(const QString& pattern) : m_pattern(folded(pattern))
{
}

bool NamePattern::isPattern(const QString& text)
{
    if (text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?')))
        return true;
    const std::u32string p = folded(text);
    for (std::size_t open = p.find(U'['); open != None; open = p.find(U'[', open + 1))
        if (setEnd(p, open) != None)
            return true;
    return false;
}

bool NamePattern::matches(const QString& name) const
{
    const std::u32string& p = m_pattern;
    const std::u32string s = folded(name);
    std::size_t pi = 0, si = 0;
    std::size_t star = None, starAt = 0; // the last "*" seen and where its run ends so far
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == U'*') {
            star = pi++;
            starAt = si;
            continue;
        }
        if (pi < p.size()) {
            std::size_t close = None;
            bool one;
            if (p[pi] == U'?')
                one = true;
            else if (p[pi] == U'[' && (close = setEnd(p, pi)) != None)
                one = inSet(p, pi, close, s[si]);
            else
                one = p[pi] == s[si];
            if (one) {
                pi = close != None ? close + 1 : pi + 1;
                ++si;
                continue;
            }
        }
        if (star == None)
            return false;
        // The last "*" takes one character more.
        pi = star + 1;
        si = ++starAt;
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

#include "platform/DigitDisplay.h"

#include <QEvent>
#include <QFontMetrics>
#include <algorithm>

namespace {

// The flat segments are a fifth of their length thick: shorter ones vanish.
constexpr int ShortestSegment = 5;

// The segment length that draws digits as tall as the font's digits.
int legibleSegment(const QFont& font)
{
    const int digitHeight = QFontMetrics(font).tightBoundingRect(QStringLiteral("0")).height();
    return std::max(ShortestSegment, (digitHeight + 1) / 2);
}

} // namespace

DigitDisplay::DigitDisplay(QWidget* parent)
    : QLCDNumber(parent)
{
    setSegmentStyle(QLCDNumber::Flat);
    // The layout gives the width and the digits scale to it: a long value
    // must never widen the window that holds it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    SetValue(QString());
}

void DigitDisplay::SetPlaces(int places)
{
    m_places = std::max(1, places);
    // The base class draws n digits with segments of width * 5 / (6n + 1)
    // pixels, and of height * 5 / 12 at most.
    const int segment = legibleSegment(font());
    const int cells = 6 * m_places + 1;
    int width = (segment * cells + 4) / 5 + 2 * frameWidth();
    while (width * 5 / cells > segment)
        --width; // not one pixel longer than the other displays draw
    setFixedWidth(width);
    setSizePolicy(QSizePolicy::Fixed, sizePolicy().verticalPolicy());
    setMinimumHeight(std::max(minimumHeight(), (segment * 12 + 4) / 5));
    setDigitCount(std::max<int>(m_places, int(m_value.size())));
}

void DigitDisplay::SetValue(const QString& text)
{
    // A refresh sets every display again; an unchanged one is not redrawn.
    if (m_shown && text == m_value)
        return;
    m_shown = true;
    m_value = text;
    // QLCDNumber shows only the rightmost digits that fit, so make room for all;
    // points and colons take a digit's place of their own. Shorter values
    // stand right-aligned in the places.
    setDigitCount(std::max<int>({1, m_places, int(text.size())}));
    display(text);
}

void DigitDisplay::SetValue(qint64 number)
{
    SetValue(QString::number(number));
}

QString DigitDisplay::Value() const
{
    return m_value;
}

void DigitDisplay::changeEvent(QEvent* event)
{
    QLCDNumber::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_places > 0)
        SetPlaces(m_places);
}

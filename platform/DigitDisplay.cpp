#include "platform/DigitDisplay.h"

DigitDisplay::DigitDisplay(QWidget* parent)
    : QLCDNumber(parent)
{
    setSegmentStyle(QLCDNumber::Flat);
    // The layout gives the width and the digits scale to it: a long value
    // must never widen the window that holds it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    SetValue(QString());
}

void DigitDisplay::SetValue(const QString& text)
{
    // A refresh sets every display again; an unchanged one is not redrawn.
    if (m_shown && text == m_value)
        return;
    m_shown = true;
    m_value = text;
    // QLCDNumber shows only the rightmost digits that fit, so make room for all;
    // points and colons take a digit's place of their own.
    setDigitCount(std::max<int>(1, int(text.size())));
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

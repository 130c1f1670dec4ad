#pragma once
// The digit display of the connection panel. It shows a text or a number in
// seven-segment digits and keeps the exact text it was given, because the
// segments cannot show every character (a letter in an address, for instance).
#include <QLCDNumber>

class DigitDisplay final : public QLCDNumber {
    Q_OBJECT
public:
    explicit DigitDisplay(QWidget* parent = nullptr);

    // Makes room for values of up to this many characters (points and colons
    // count) and fixes the width at what draws them as tall as the font's own
    // digits: displays sized this way draw one digit height, whatever their
    // places. A longer value still shows whole, in smaller digits.
    void SetPlaces(int places);

    void SetValue(const QString& text);
    // A number is kept and shown as its decimal text.
    void SetValue(qint64 number);
    // The exact text last given.
    QString Value() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    int m_places = 0;
    QString m_value;
    bool m_shown = false;
};

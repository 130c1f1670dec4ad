#pragma once
// The digit display of the connection panel. It shows a text or a number in
// seven-segment digits and keeps the exact text it was given, because the
// segments cannot show every character (a letter in an address, for instance).
#include <QLCDNumber>

class DigitDisplay final : public QLCDNumber {
    Q_OBJECT
public:
    explicit DigitDisplay(QWidget* parent = nullptr);

    void SetValue(const QString& text);
    // A number is kept and shown as its decimal text.
    void SetValue(qint64 number);
    // The exact text last given.
    QString Value() const;

private:
    QString m_value;
    bool m_shown = false;
};

// The digit display keeps the text it was given and has room for all of it.
#include "platform/DigitDisplay.h"

#include <QTest>

class TestDigitDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsTextsExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("megabytes") << QStringLiteral("0.000.000");
        QTest::newRow("big megabytes") << QStringLiteral("12345.678.901");
        QTest::newRow("time") << QStringLiteral("01:02:05");
        QTest::newRow("address") << QStringLiteral("127.0.0.1");
        QTest::newRow("letters") << QStringLiteral("fe80::1%lo");
        QTest::newRow("count line") << QStringLiteral(" 42 ");
        QTest::newRow("empty") << QString();
    }
    void keepsTextsExactly()
    {
        QFETCH(QString, text);
        DigitDisplay display;
        display.SetValue(text);
        QCOMPARE(display.Value(), text);
        QVERIFY(display.digitCount() >= text.size());
    }

    void numbersShowAllTheirDigits()
    {
        DigitDisplay display;
        display.SetValue(qint64(0));
        QCOMPARE(display.Value(), QStringLiteral("0"));
        QCOMPARE(display.intValue(), 0);
        display.SetValue(qint64(123456789012));
        QCOMPARE(display.Value(), QStringLiteral("123456789012"));
        QCOMPARE(display.value(), 123456789012.0);
        QVERIFY(!display.checkOverflow(123456789012.0));
    }
};

QTEST_MAIN(TestDigitDisplay)
#include "tst_digitdisplay.moc"

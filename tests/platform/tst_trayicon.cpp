// The tray icon, also where no notification area exists, and its click reports.
#include "platform/TrayIcon.h"

#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

class TestTrayIcon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showAndRemoveAnywhere()
    {
        // Offscreen has no notification area; elsewhere the icon really shows.
        qInfo("notification area available: %s", TrayIcon::Available() ? "yes" : "no");
        TrayIcon tray;
        QVERIFY(!tray.IsShown());
        tray.Show();
        QVERIFY(tray.IsShown());
        QCOMPARE(tray.findChild<QSystemTrayIcon*>()->isVisible(), TrayIcon::Available());
        tray.Remove();
        QVERIFY(!tray.IsShown());
        tray.Remove();
        QCOMPARE(tray.findChild<QSystemTrayIcon*>()->toolTip(), QStringLiteral("Quayport"));
    }

    void clicksAreReportedByButton()
    {
        TrayIcon tray;
        QSignalSpy clicks(&tray, &TrayIcon::IconClick);
        QSignalSpy doubles(&tray, &TrayIcon::IconDblClick);
        auto* icon = tray.findChild<QSystemTrayIcon*>();
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
        Q_EMIT icon->activated(QSystemTrayIcon::Context);
        Q_EMIT icon->activated(QSystemTrayIcon::MiddleClick);
        Q_EMIT icon->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(clicks.at(0).at(0).toInt(), int(TrayIcon::LeftButton));
        QCOMPARE(clicks.at(1).at(0).toInt(), int(TrayIcon::RightButton));
        QCOMPARE(doubles.count(), 1);
    }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"

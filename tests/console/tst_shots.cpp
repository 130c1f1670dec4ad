// Pictures of the windows for a person to look at: the splash, the console,
// a pop-up menu and both pages of the properties dialog, as PNG files in
// $QUAYPORT_SHOTS (or ./shots).
#include "console/frmMain.h"
#include "console/frmSplash.h"
#include "dialogs/frmProperties.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/support/Shots.h"

#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

class TestShots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windows()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();

        frmSplash splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(!SaveShot(splash, QStringLiteral("splash")).isEmpty());
        splash.hide();

        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        QTest::qWait(50);
        QVERIFY(!SaveShot(console, QStringLiteral("console")).isEmpty());

        Controls(console).MainMnu->popup(console.mapToGlobal(QPoint(40, 120)));
        QTRY_VERIFY(Controls(console).MainMnu->isVisible());
        QVERIFY(!SaveShot(*Controls(console).MainMnu, QStringLiteral("menu-MainMnu")).isEmpty());
        Controls(console).MainMnu->hide();
        Controls(console).mnuEditUserOptions->popup(console.mapToGlobal(QPoint(40, 120)));
        QTRY_VERIFY(Controls(console).mnuEditUserOptions->isVisible());
        Controls(console).mnuStatsOption1->popup(console.mapToGlobal(QPoint(240, 200)));
        QVERIFY(!SaveShot(*Controls(console).mnuEditUserOptions, QStringLiteral("menu-mnuEditUserOptions")).isEmpty());
        QVERIFY(!SaveShot(*Controls(console).mnuStatsOption1, QStringLiteral("menu-mnuStatsOption1")).isEmpty());
        Controls(console).mnuStatsOption1->hide();
        Controls(console).mnuEditUserOptions->hide();
        Controls(console).mnuTray->popup(console.mapToGlobal(QPoint(40, 120)));
        QVERIFY(!SaveShot(*Controls(console).mnuTray, QStringLiteral("menu-mnuTray")).isEmpty());
        Controls(console).mnuTray->hide();

        frmProperties properties;
        properties.show();
        QVERIFY(QTest::qWaitForWindowExposed(&properties));
        QTest::qWait(500);
        QVERIFY(!SaveShot(properties, QStringLiteral("properties-server")).isEmpty());
        properties.TabStrip1->setCurrentIndex(1);
        QVERIFY(!SaveShot(properties, QStringLiteral("properties-messages")).isEmpty());
    }
};

QTEST_MAIN(TestShots)
#include "tst_shots.moc"

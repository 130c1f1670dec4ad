// Pictures of the windows for a person to look at: the splash, the console,
// a pop-up menu and both pages of the properties dialog, as PNG files in
// $QUAYPORT_SHOTS (or ./shots).
#include "console/frmMain.h"
#include "console/frmSplash.h"
#include "dialogs/frmProperties.h"
#include "platform/FolderPicker.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/platform/FolderReading.h"
#include "tests/support/Shots.h"

#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

using enum ConsolePlace;

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
        QVERIFY(!SaveShot(console, QStringLiteral("console")).isEmpty());

        console.Menu(MainMnu)->popup(console.mapToGlobal(QPoint(40, 120)));
        QTRY_VERIFY(console.Menu(MainMnu)->isVisible());
        QVERIFY(!SaveShot(*console.Menu(MainMnu), QStringLiteral("menu-MainMnu")).isEmpty());
        console.Menu(MainMnu)->hide();
        console.Menu(mnuEditUserOptions)->popup(console.mapToGlobal(QPoint(40, 120)));
        QTRY_VERIFY(console.Menu(mnuEditUserOptions)->isVisible());
        console.Menu(mnuStatsOption1)->popup(console.mapToGlobal(QPoint(240, 200)));
        QVERIFY(!SaveShot(*console.Menu(mnuEditUserOptions), QStringLiteral("menu-mnuEditUserOptions")).isEmpty());
        QVERIFY(!SaveShot(*console.Menu(mnuStatsOption1), QStringLiteral("menu-mnuStatsOption1")).isEmpty());
        console.Menu(mnuStatsOption1)->hide();
        console.Menu(mnuEditUserOptions)->hide();
        console.Menu(mnuTray)->popup(console.mapToGlobal(QPoint(40, 120)));
        QVERIFY(!SaveShot(*console.Menu(mnuTray), QStringLiteral("menu-mnuTray")).isEmpty());
        console.Menu(mnuTray)->hide();

        frmProperties properties;
        const FolderReading reading(*properties.FolderTree1);
        properties.show();
        QVERIFY(QTest::qWaitForWindowExposed(&properties));
        // The server root in view, its folders read and sorted.
        QTRY_VERIFY(reading.Settled(FolderReading::Above(properties.FolderTree1->SelectedFolder()))
                    && SelectionInView(*properties.FolderTree1));
        QVERIFY(!SaveShot(properties, QStringLiteral("properties-server")).isEmpty());
        properties.TabStrip1->setCurrentIndex(1);
        QVERIFY(!SaveShot(properties, QStringLiteral("properties-messages")).isEmpty());
    }
};

QTEST_MAIN(TestShots)
#include "tst_shots.moc"

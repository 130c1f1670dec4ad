// The about box: its texts, Enter and Esc, one box from the help menu, and
// the system information tool found through the registry file, which is only
// ever read.
#include "console/frmAbout.h"
#include "console/frmMain.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/support/Shots.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using enum ConsoleAction;

namespace {

const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

int openBoxes()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<frmAbout*>(w) && !w->testAttribute(Qt::WA_WState_Hidden) ? 1 : 0;
    return count;
}

// A tool that notes beside itself that it ran.
void writeTool(const QString& path, bool runnable)
{
    QFile tool(path);
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\necho started > \"$0.ran\"\n");
    tool.close();
    QFile::Permissions rights = QFile::ReadOwner | QFile::WriteOwner;
    if (runnable)
        rights |= QFile::ExeOwner;
    QVERIFY(tool.setPermissions(rights));
}

QStringList folderListing(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneBoxWithTitleAndVersionClosedByEnterOrEsc()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        QVERIFY(c.Action(mnuAbout)->isEnabled());
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            c.Action(mnuAbout)->trigger();
            c.Action(mnuAbout)->trigger();
            frmAbout* box = SingleInstance<frmAbout>::Open();
            QVERIFY(box);
            QCOMPARE(openBoxes(), 1);
            QVERIFY(box->isVisible() && !box->isModal());
            QCOMPARE(box->windowTitle(), QStringLiteral("About Quayport"));
            QCOMPARE(box->lblTitle->text(), QStringLiteral("Quayport"));
            QCOMPARE(box->lblVersion->text(), QStringLiteral("Version " QUAYPORT_VERSION_TEXT));
            QVERIFY(box->cmdOK->isDefault());
            QCOMPARE(box->cmdSysInfo->text(), QStringLiteral("&System Info..."));
            QCOMPARE(box->findChildren<QFrame*>(QStringLiteral("Line1")).size(), 2);
            if (key == Qt::Key_Return) {
                QVERIFY(QTest::qWaitForWindowExposed(box));
                QVERIFY(!SaveShot(*box, QStringLiteral("about")).isEmpty());
            }
            QTest::keyClick(box, key);
            QTRY_VERIFY(!SingleInstance<frmAbout>::Open());
        }
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    void getKeyValueReadsTextAndDoubleWordsOnly_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("value");
        QTest::newRow("text") << QByteArray("PATH=/opt/tools/msinfo32") << true << "/opt/tools/msinfo32";
        QTest::newRow("quoted text with a comma") << QByteArray("PATH=\"/opt/a,b\"") << true << "/opt/a,b";
        QTest::newRow("name in another case") << QByteArray("path=/x") << true << "/x";
        QTest::newRow("double word") << QByteArray("PATH=dword:0000002A") << true << "42";
        QTest::newRow("binary") << QByteArray("PATH=hex:2f,78") << false << "";
        QTest::newRow("expandable text") << QByteArray("PATH=hex(2):2f,00") << false << "";
        QTest::newRow("list") << QByteArray("PATH=/a,/b") << false << "";
        QTest::newRow("byte array") << QByteArray("PATH=@ByteArray(/x)") << false << "";
        QTest::newRow("bad double word") << QByteArray("PATH=dword:12345678x") << false << "";
        QTest::newRow("other value only") << QByteArray("PATHS=/x") << false << "";
    }

    void getKeyValueReadsTextAndDoubleWordsOnly()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, read);
        QFETCH(QString, value);
        TempAppFolder folder;
        folder.write(QStringLiteral("/registry.ini"),
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n" + line + "\r\n");
        QString got = QStringLiteral("stale");
        QCOMPARE(frmAbout::GetKeyValue(Registry::HKEY_LOCAL_MACHINE,
                                       QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                       QStringLiteral("PATH"), got),
                 read);
        QCOMPARE(got, value);
    }

    void aFifoInTheRegistryFilesPlaceIsNoRegistry()
    {
        TempAppFolder folder;
        QCOMPARE(::mkfifo(QFile::encodeName(folder.file(QStringLiteral("/registry.ini"))).constData(), 0666), 0);
        QString got = QStringLiteral("stale");
        QVERIFY(!frmAbout::GetKeyValue(Registry::HKEY_LOCAL_MACHINE,
                                       QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                       QStringLiteral("PATH"), got));
    }

    void systemInfoFoundThroughTheRegistry_data()
    {
        QTest::addColumn<QByteArray>("ini"); // "<tools>" stands for the tool's folder; empty: no file
        QTest::addColumn<QString>("tool");   // the tool's file in that folder; empty: none
        QTest::addColumn<bool>("runnable");
        QTest::addColumn<bool>("starts");
        const QByteArray first = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n";
        const QByteArray second = "[hkey_local_machine\\software\\microsoft\\SHARED TOOLS LOCATION]\r\n";
        QTest::newRow("first key") << first + "PATH=<tools>/MSINFO32.EXE\r\n" << "MSINFO32.EXE" << true << true;
        QTest::newRow("first key, file in another case")
            << first + "PATH=<tools>/MSINFO32.EXE\r\n" << "msinfo32.exe" << true << true;
        QTest::newRow("second key's folder, key and file in another case")
            << second + "msinfo=<tools>\r\n" << "msinfo32.exe" << true << true;
        QTest::newRow("first key of another type, then the second key")
            << first + "PATH=hex:2f,78\r\n" + second + "MSINFO=<tools>/\r\n" << "MSINFO32.EXE" << true << true;
        QTest::newRow("folder without the tool") << second + "MSINFO=<tools>\r\n" << "other.exe" << true << false;
        QTest::newRow("no tool at the path") << first + "PATH=<tools>/MSINFO32.EXE\r\n" << "" << true << false;
        QTest::newRow("double word path") << first + "PATH=dword:2a\r\n" << "MSINFO32.EXE" << true << false;
        QTest::newRow("no keys") << QByteArray("[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                                               "PATH=<tools>/MSINFO32.EXE\r\n")
                                 << "MSINFO32.EXE" << true << false;
        QTest::newRow("no registry file") << QByteArray() << "MSINFO32.EXE" << true << false;
        QTest::newRow("tool that will not start")
            << first + "PATH=<tools>/MSINFO32.EXE\r\n" << "MSINFO32.EXE" << false << false;
    }

    void systemInfoFoundThroughTheRegistry()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, tool);
        QFETCH(bool, runnable);
        QFETCH(bool, starts);
        ConsoleFixture f;
        const QString tools = f.folder.file(QStringLiteral("/tools"));
        QVERIFY(QDir().mkpath(tools));
        if (!tool.isEmpty())
            writeTool(tools + QLatin1Char('/') + tool, runnable);
        ini.replace("<tools>", tools.toUtf8());
        if (!ini.isEmpty())
            f.folder.write(QStringLiteral("/registry.ini"), ini);
        const QStringList before = folderListing(f.folder.path());

        frmAbout box;
        box.cmdSysInfo->click();

        if (starts) {
            QTRY_VERIFY(QFile::exists(tools + QLatin1Char('/') + tool + QStringLiteral(".ran")));
            QVERIFY(f.doubles.messages->messages.empty());
        } else {
            QCOMPARE(f.doubles.messages->texts(), QStringList{Unavailable});
            QCOMPARE(f.doubles.messages->messages.front().title, QString());
            QCOMPARE(folderListing(tools).filter(QStringLiteral(".ran")), QStringList());
        }
        // Read only: the file keeps its bytes, and none is made.
        QCOMPARE(folderListing(f.folder.path()), before);
        if (!ini.isEmpty())
            QCOMPARE(f.folder.read(QStringLiteral("/registry.ini")), ini);
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"

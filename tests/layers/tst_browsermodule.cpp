// The browser module loaded as the console loads it, into a program of its own. The module carries
// no copy of core or platform, so its window runs on this program's: the help window it opens is
// this program's one help window under this program's title, its pictures come from here, and its
// home page from this program's registry. Its first page, the maker's, comes from a proxy on
// 127.0.0.1, so nothing leaves the loopback address.
#include "core/MessageService.h"
#include "core/ProgramError.h"
#include "platform/BrowserModule.h"
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "tests/support/LoopbackHttp.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QAction>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

// The first page of a fresh engine takes a while.
constexpr int LoadMs = 60000;

// Answers every request with a page titled "Maker" and keeps its request line.
class PageProxy {
public:
    quint16 port() const { return server.port(); }
    QStringList requests;

private:
    LoopbackHttp server{[this](QTcpSocket* socket, const QByteArray& head) {
        requests.append(QString::fromLatin1(head.left(head.indexOf("\r\n"))));
        LoopbackHttp::Answer(socket, "200 OK", "<html><head><title>Maker</title></head></html>");
    }};
};

QAction* button(QWidget& browser, const char* key)
{
    auto* toolbar = browser.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    for (QAction* action : toolbar ? toolbar->actions() : QList<QAction*>()) {
        if (action->property("key").toString() == QLatin1String(key))
            return action;
    }
    return nullptr;
}

void click(QWidget& browser, const char* key)
{
    QAction* action = button(browser, key);
    QVERIFY2(action, key);
    QTest::mouseClick(browser.findChild<QToolBar*>()->widgetForAction(action), Qt::LeftButton);
}

} // namespace

class TestBrowserModule : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowRunsOnTheProgramsServices()
    {
        // The engine keeps nothing under the home folder, but keep it out of the real one.
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        TempAppFolder folder;
        InstalledDoubles doubles;
        SetProgramTitle(QStringLiteral("Layered"));
        folder.write(QStringLiteral("/registry.ini"),
                     "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\r\n"
                     "Start Page=\"data:text/html,<title>Own home</title>\"\r\n");
        PageProxy proxy;
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.port()));

        BrowserModule::ShowWindow show = nullptr;
        try {
            show = BrowserModule::Load(QStringLiteral(QUAYPORT_PROGRAM_FOLDER "/quaybrowser.so"));
        } catch (const ProgramError& e) {
            QFAIL(qPrintable(e.description()));
        }
        QWidget* browser = show();
        QVERIFY(browser && browser->isVisible());
        QCOMPARE(browser->objectName(), QStringLiteral("frmBrowser"));
        QCOMPARE(show(), browser);
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), QStringLiteral("Maker"), LoadMs);
        QCOMPARE(proxy.requests.value(0), QStringLiteral("GET http://www.corvalen.com/ HTTP/1.1"));
        QVERIFY(!button(*browser, "Help")->icon().isNull());

        click(*browser, "Home");
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), QStringLiteral("Own home"), LoadMs);

        QVERIFY(!SingleInstance<HelpViewer>::Open());
        click(*browser, "Help");
        HelpViewer* help = SingleInstance<HelpViewer>::Open();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->Anchor(), QStringLiteral("topic-90"));
        QCOMPARE(help->windowTitle(), QStringLiteral("Layered Help"));

        QCOMPARE(doubles.errors->reports, QStringList());
        QCOMPARE(doubles.messages->texts(), QStringList());
        help->close();
        browser->close();
        QNetworkProxy::setApplicationProxy(QNetworkProxy());
    }
};

QTEST_MAIN(TestBrowserModule)
#include "tst_browsermodule.moc"

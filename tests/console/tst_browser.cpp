// The browser window opened from the root menu and the main toolbar: the
// caption while a page loads, the address box, the toolbar's buttons, the
// resize rule, and one window that reopening does not reload. Pages are
// data:, file: or served on 127.0.0.1 by the test itself.
#include "console/frmBrowser.h"
#include "console/frmMain.h"
#include "platform/BrowserModule.h"
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "platform/WebBrowser.h"
#include "core/ProgramError.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/support/LoopbackHttp.h"
#include "tests/support/Shots.h"
#include "tests/support/Unprivileged.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using enum ConsoleAction;

namespace {

// The first page of a fresh engine takes a while.
constexpr int LoadMs = 60000;

// Serves "/" on 127.0.0.1 only when told to, so that a page stays loading for
// as long as a test needs; every other path is not found at once.
class HeldPage {
public:
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.port()); }
    // Answers the requests held so far with a page of that title.
    void release(const QString& title)
    {
        for (QTcpSocket* socket : std::exchange(held, {}))
            LoopbackHttp::Answer(socket, "200 OK",
                                 "<html><head><title>" + title.toUtf8() +
                                     "</title></head><body><h1>Quayport test page</h1>"
                                     "<p>Served on the loopback address.</p></body></html>");
    }
    int requests = 0;

private:
    QList<QTcpSocket*> held;
    LoopbackHttp server{[this](QTcpSocket* socket, const QByteArray& head) {
        if (head.startsWith("GET / ")) {
            ++requests;
            held.append(socket);
        } else {
            LoopbackHttp::Answer(socket, "404 Not Found", QByteArray());
        }
    }};
};

QString dataPage(const QString& title)
{
    return QStringLiteral("data:text/html,<title>%1</title><p>%1</p>").arg(title);
}

// The page's picture is drawn by the web engine's own processes after its load, which nothing
// reports: the page asks for two frames, and the second has begun once the first was drawn.
// Polled, it asks the page whether that has happened.
class PageDrawn {
public:
    explicit PageDrawn(WebBrowser& browser) : m_page(browser.View()->page())
    {
        m_page->runJavaScript(QStringLiteral("requestAnimationFrame(() => "
                                             "requestAnimationFrame(() => { window.quayportDrawn = true; }))"));
    }
    bool operator()()
    {
        if (!std::exchange(*m_asking, true))
            m_page->runJavaScript(QStringLiteral("window.quayportDrawn === true"),
                                  [drawn = m_drawn, asking = m_asking](const QVariant& answer) {
                                      *drawn = answer.toBool();
                                      *asking = false;
                                  });
        return *m_drawn;
    }

private:
    QWebEnginePage* m_page;
    // Shared with an answer that may come after this is gone.
    std::shared_ptr<bool> m_drawn = std::make_shared<bool>(false);
    std::shared_ptr<bool> m_asking = std::make_shared<bool>(false);
};

// As a person does: a click in the address box, its text replaced by typing,
// then Enter, each key to whatever has the focus.
void enterAddress(frmBrowser& b, const QString& address)
{
    QTest::mouseClick(b.cboAddress->lineEdit(), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), address);
    QCOMPARE(b.cboAddress->currentText(), address);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

QString location(const frmBrowser& b)
{
    return b.brwWebBrowser->LocationURL().toString();
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The engine must keep nothing under the home folder.
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        // Before any view: an ordinary user keeps the sandbox.
        const pid_t child = ::fork();
        if (child == 0) {
            BecomeUnprivileged();
            PrepareWebEngine();
            ::_exit(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ? 1 : 0);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        // The window is linked in here; the module beside the program has a case of its own.
        BrowserModule::ReplaceEntry([]() -> QWidget* { return &SingleInstance<frmBrowser>::Show(); });
    }

    // The console opens the browser from its module; without it, the standard
    // error box says why and the console goes on.
    void moduleBesideTheProgram()
    {
        QVERIFY(BrowserModule::Load(QStringLiteral(QUAYPORT_PROGRAM_FOLDER "/quaybrowser.so")));
        for (const QString& path : {QStringLiteral("/nonexistent/quaybrowser.so"),
                                    QStringLiteral(QUAYPORT_PROGRAM_FOLDER "/help.hlp")}) {
            try {
                BrowserModule::Load(path);
                QFAIL(qPrintable(path));
            } catch (const ProgramError& e) {
                QVERIFY2(e.description().startsWith(QStringLiteral("The browser cannot be opened: ")),
                         qPrintable(e.description()));
            }
        }
        // This test program has no module beside it.
        BrowserModule::ReplaceEntry(nullptr);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.Action(mnuHomePage)->trigger();
        c.Action(HomeButton)->trigger();
        BrowserModule::ReplaceEntry([]() -> QWidget* { return &SingleInstance<frmBrowser>::Show(); });
        QCOMPARE(f.doubles.errors->reports.size(), 2);
        QVERIFY(f.doubles.errors->reports.at(0).contains(QStringLiteral("quaybrowser.so")));
        QVERIFY(f.doubles.errors->reports.at(0).contains(QStringLiteral("Quayport.frmMain.mnuHomePage_Click")));
        QVERIFY(!SingleInstance<frmBrowser>::Open());
        QVERIFY(c.Action(mnuHomePage)->isEnabled() && c.Action(HomeButton)->isEnabled());
    }

    void sandboxOffOnlyForRoot()
    {
        WebBrowser first;
        QCOMPARE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"), ::geteuid() == 0);
    }

    void cleanupTestCase()
    {
        QCOMPARE(QDir(m_home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void cleanup()
    {
        frmBrowser::ReplaceStartingAddress(std::nullopt);
        if (frmBrowser* b = SingleInstance<frmBrowser>::Open())
            b->close();
        QTRY_VERIFY(!SingleInstance<frmBrowser>::Open());
    }

    void captionCycleAndOneWindowThatReopeningDoesNotReload()
    {
        ConsoleFixture f;
        // The fixture's reset has put the module back; this program links the window in.
        BrowserModule::ReplaceEntry([]() -> QWidget* { return &SingleInstance<frmBrowser>::Show(); });
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        HeldPage page;
        frmBrowser::ReplaceStartingAddress(page.address());
        QVERIFY(c.Action(mnuHomePage)->isEnabled() && c.Action(HomeButton)->isEnabled());

        c.Action(mnuHomePage)->trigger();
        frmBrowser* b = SingleInstance<frmBrowser>::Open();
        QVERIFY(b && b->isVisible() && !b->isModal());
        QCOMPARE(b->StartingAddress, page.address());
        QCOMPARE(b->cboAddress->currentText(), page.address());
        QCOMPARE(b->cboAddress->count(), 1);
        QCOMPARE(b->cboAddress->itemText(0), page.address());
        QTRY_COMPARE(b->windowTitle(), QStringLiteral("Working..."));
        QTRY_COMPARE_WITH_TIMEOUT(page.requests, 1, LoadMs);
        QCOMPARE(b->windowTitle(), QStringLiteral("Working..."));
        page.release(QStringLiteral("Held page"));
        QTRY_COMPARE_WITH_TIMEOUT(b->windowTitle(), QStringLiteral("Held page"), LoadMs);
        QTRY_VERIFY(!b->timTimer->isActive());

        // Showing it again from the toolbar is the same window, and loads nothing.
        c.Action(HomeButton)->trigger();
        QCOMPARE(SingleInstance<frmBrowser>::Open(), b);
        QVERIFY(!b->brwWebBrowser->Busy());
        QCOMPARE(b->windowTitle(), QStringLiteral("Held page"));

        QVERIFY(QTest::qWaitForWindowExposed(b));
        PageDrawn drawn(*b->brwWebBrowser);
        QVERIFY(QTest::qWaitFor(drawn, LoadMs));
        QVERIFY(!SaveShot(*b, QStringLiteral("browser")).isEmpty());

        // Enter goes to the typed address without adding it to the list.
        const QString typed = dataPage(QStringLiteral("Typed"));
        enterAddress(*b, typed);
        QTRY_COMPARE_WITH_TIMEOUT(b->windowTitle(), QStringLiteral("Typed"), LoadMs);
        QCOMPARE(b->cboAddress->count(), 1);
        QCOMPARE(b->cboAddress->currentText(), typed);

        // Stop while the page is held: the caption is the page's name at once.
        enterAddress(*b, page.address());
        QTRY_COMPARE_WITH_TIMEOUT(page.requests, 2, LoadMs);
        QCOMPARE(b->windowTitle(), QStringLiteral("Working..."));
        b->Button(QStringLiteral("Stop"))->trigger();
        QVERIFY(!b->timTimer->isActive());
        QVERIFY(!b->brwWebBrowser->Busy());
        QCOMPARE(b->windowTitle(), b->brwWebBrowser->LocationName());
        QVERIFY(b->windowTitle() != QStringLiteral("Working..."));

        // The stopped page never became history: Back goes to the first page, Forward to the typed one.
        b->Button(QStringLiteral("Back"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(page.requests, 3, LoadMs);
        page.release(QStringLiteral("Held again"));
        QTRY_COMPARE_WITH_TIMEOUT(b->windowTitle(), QStringLiteral("Held again"), LoadMs);
        b->Button(QStringLiteral("Forward"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(b->windowTitle(), QStringLiteral("Typed"), LoadMs);
        // Choosing the list's one entry goes to the start address.
        Q_EMIT b->cboAddress->activated(0);
        QTRY_COMPARE_WITH_TIMEOUT(page.requests, 4, LoadMs);
        QCOMPARE(b->windowTitle(), QStringLiteral("Working..."));
        page.release(QStringLiteral("Chosen"));
        QTRY_COMPARE_WITH_TIMEOUT(b->windowTitle(), QStringLiteral("Chosen"), LoadMs);

        // Closed, it is made afresh: the load step runs again.
        b->close();
        QTRY_VERIFY(!SingleInstance<frmBrowser>::Open());
        c.Action(mnuHomePage)->trigger();
        QVERIFY(SingleInstance<frmBrowser>::Open());
        QTRY_COMPARE_WITH_TIMEOUT(page.requests, 5, LoadMs);
        page.release(QStringLiteral("Reopened"));
        QTRY_COMPARE_WITH_TIMEOUT(SingleInstance<frmBrowser>::Open()->windowTitle(), QStringLiteral("Reopened"),
                                  LoadMs);
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    void homeSearchHelpAndResize()
    {
        TempAppFolder folder;
        frmBrowser::ReplaceStartingAddress(dataPage(QStringLiteral("Start")));
        frmBrowser& b = SingleInstance<frmBrowser>::Show();
        QTRY_COMPARE_WITH_TIMEOUT(b.windowTitle(), QStringLiteral("Start"), LoadMs);

        // Without pages of its own the browser goes to a blank page.
        for (const char* key : {"Home", "Search"}) {
            enterAddress(b, dataPage(QStringLiteral("Between")));
            QTRY_COMPARE_WITH_TIMEOUT(b.windowTitle(), QStringLiteral("Between"), LoadMs);
            b.Button(QLatin1String(key))->trigger();
            QTRY_COMPARE_WITH_TIMEOUT(location(b), QStringLiteral("about:blank"), LoadMs);
        }
        // Its own pages come from the registry; Home is not the starting address.
        QTemporaryDir pages;
        QFile home(pages.filePath(QStringLiteral("home.html")));
        QVERIFY(home.open(QIODevice::WriteOnly));
        home.write("<html><head><title>Own home</title></head></html>");
        home.close();
        folder.write(QStringLiteral("/Registry.INI"),
                     "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\r\n"
                     "Start Page=" + QUrl::fromLocalFile(home.fileName()).toEncoded() + "\r\n"
                     "search page=\"" + dataPage(QStringLiteral("Own search")).toUtf8() + "\"\r\n");
        b.Button(QStringLiteral("Home"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(b.windowTitle(), QStringLiteral("Own home"), LoadMs);
        b.Button(QStringLiteral("Search"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(b.windowTitle(), QStringLiteral("Own search"), LoadMs);
        b.Button(QStringLiteral("Refresh"))->trigger();
        QVERIFY(b.brwWebBrowser->Busy());
        QTRY_COMPARE_WITH_TIMEOUT(b.windowTitle(), QStringLiteral("Own search"), LoadMs);

        b.Button(QStringLiteral("Help"))->trigger();
        HelpViewer* help = SingleInstance<HelpViewer>::Open();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->Anchor(), QStringLiteral("topic-90"));
        help->close();

        QStringList keys;
        for (QAction* button : b.tbToolBar->actions())
            keys.append(button->property("key").toString());
        QCOMPARE(keys, QStringList({"Back", "Forward", "Stop", "Refresh", "Home", "Search", "Help"}));

        // Sizes follow the window, and a window too small for them leaves them as they were.
        b.resize(500, 400);
        QCOMPARE(b.cboAddress->width(), 500 - 7);
        QCOMPARE(b.brwWebBrowser->width(), 500 - 7);
        QCOMPARE(b.brwWebBrowser->geometry().bottom() + 1, 400 - 7 + 3);
        const QSize combo = b.cboAddress->size();
        const QSize page = b.brwWebBrowser->size();
        b.resize(5, 30);
        QCOMPARE(b.cboAddress->size(), combo);
        QCOMPARE(b.brwWebBrowser->size(), page);
    }

    // The last test: a window open when the program ends goes with it, the
    // page before its profile.
    void goesWithTheProgramsEnd()
    {
        frmBrowser::ReplaceStartingAddress(dataPage(QStringLiteral("Last")));
        QPointer<frmBrowser> b = &SingleInstance<frmBrowser>::Show();
        QTRY_COMPARE_WITH_TIMEOUT(b->windowTitle(), QStringLiteral("Last"), LoadMs);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!b);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"

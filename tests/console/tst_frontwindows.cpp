// Windows the administrator asks for, on a display of the test's own managed
// by openbox (tests/support/on-display), driven by real clicks and keys: each
// comes up in front with the focus, wholly on the screen and clear of its
// edges; over a modal dialog too, and when the request crosses the bus.
#include "console/LogViewerClient.h"
#include "dialogs/frmProperties.h"
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "platform/WidgetErrorReporter.h"
#include "tests/console/ConsoleFixture.h"

#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

QString x(const char* program, const QStringList& arguments)
{
    QProcess process;
    process.start(QLatin1String(program), arguments);
    process.waitForFinished(10000);
    return QString::fromLatin1(process.readAllStandardOutput());
}

QList<WId> ids(const QString& text)
{
    QList<WId> out;
    for (const QString& id : text.split(QRegularExpression(QStringLiteral("[^0-9a-fx]+")), Qt::SkipEmptyParts))
        out.append(id.toULong(nullptr, 0));
    return out;
}

QList<WId> stacking()
{
    return ids(x("xprop", {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}).section('#', 1));
}

// The active window, on top of all the others.
bool inFront(WId id)
{
    return stacking().value(stacking().size() - 1) == id && ids(x("xdotool", {QStringLiteral("getactivewindow")})).value(0) == id;
}

// Brought to the front (as from a task bar), the owner stays under the window.
bool staysAbove(WId window, WId owner)
{
    x("xdotool", {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(owner)});
    return stacking().indexOf(window) > stacking().indexOf(owner);
}

// The frame the window manager draws is wholly on the screen, none of it on the edge.
bool wellPlaced(WId id)
{
    const QString info = x("xwininfo", {QStringLiteral("-frame"), QStringLiteral("-id"), QString::number(id)});
    const auto value = [&info](const char* name) {
        return QRegularExpression(QLatin1String(name) + QStringLiteral(":\\s+(-?\\d+)")).match(info).captured(1).toInt();
    };
    const QRect frame(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
    return QGuiApplication::primaryScreen()->geometry().adjusted(1, 1, -1, -1).contains(frame);
}

// Visible windows of exactly that title.
QList<WId> titled(const QString& title)
{
    return ids(x("xdotool", {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                             QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')}));
}

void click(const QWidget& control)
{
    const QWidget* window = control.window(); // where Qt has it once the window manager has framed it
    (void)QTest::qWaitFor([window] { return window->frameGeometry() != window->geometry(); }, 5000);
    const QPoint at = control.mapToGlobal(control.rect().center());
    x("xdotool", {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                  QStringLiteral("1")});
}

void key(const QString& keys)
{
    x("xdotool", {QStringLiteral("key"), keys});
}

// The scroll position that shows the anchor's heading at the top of the help.
int anchorTop(const QTextBrowser& browser, const QString& anchor)
{
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor)) {
                const qreal top = browser.document()->documentLayout()->blockBoundingRect(block).top();
                return std::min(browser.verticalScrollBar()->maximum(), qRound(top));
            }
        }
    }
    return -1;
}

} // namespace

class TestFrontWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs Xvfb, openbox, xdotool and the X utilities (scripts/setup installs them)");
    }

    // Properties reports a stored port that fails its check as it loads; F1
    // then opens help, which is read with keys and closed while Properties
    // stays open.
    void windowsOverAModalDialog()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121x")).Stopped());
        QFile::copy(QStringLiteral(QUAYPORT_SHIPPED_HELP), fixture.folder.file(QStringLiteral("/help.hlp")));
        InstallErrorReporter(std::make_shared<WidgetErrorReporter>());
        bool used = false;
        fixture.onModalDialog(QStringLiteral("frmProperties"), [&used](QDialog& dialog) {
            const auto close = qScopeGuard([&dialog] { dialog.reject(); });
            QPointer<QMessageBox> box;
            QTRY_VERIFY2_WITH_TIMEOUT((box = qobject_cast<QMessageBox*>(QApplication::activeWindow())) && inFront(box->winId()),
                                      "the box stands behind the dialog", 10000);
            QVERIFY(wellPlaced(box->winId()));
            QVERIFY(staysAbove(box->winId(), dialog.winId()));
            click(*box->button(QMessageBox::Ok));
            QTRY_VERIFY(box.isNull() && dialog.isActiveWindow());

            key(QStringLiteral("F1"));
            QPointer<HelpViewer> help;
            QTRY_VERIFY((help = SingleInstance<HelpViewer>::Open()) && help->isVisible());
            QTRY_VERIFY2_WITH_TIMEOUT(inFront(help->winId()), "help stands behind the dialog", 10000);
            QVERIFY(wellPlaced(help->winId()));
            QScrollBar* bar = help->Browser()->verticalScrollBar();
            // At the dialog's topic, also once the window manager has given the window its size.
            QTRY_COMPARE(bar->value(), anchorTop(*help->Browser(), help->Anchor()));
            QVERIFY(bar->value() > 0);
            key(QStringLiteral("Home"));
            QTRY_COMPARE(bar->value(), 0);
            QVERIFY(staysAbove(help->winId(), dialog.winId()));
            x("xdotool", {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(help->winId())});
            key(QStringLiteral("alt+F4"));
            QTRY_VERIFY(help.isNull() && dialog.isVisible());
            used = true;
        });
        SingleInstance<frmProperties>::Get().exec();
        QVERIFY(used);
    }

    // The console asks the viewer over the bus, as a click in it did: each
    // viewer, and the error boxes of a damaged log, come up over the console.
    void viewersOverTheConsole()
    {
        QProcess::execute(QStringLiteral(SCROLLBOOK_PROGRAM), {QStringLiteral("/regserver")});
        QTemporaryDir logs;
        const QByteArray record = "12-08-2026\r\n10:00:00\r\nbob\r\nstaff\r\n127.0.0.1\r\n230 Login OK.\r\n";
        QWidget console;
        auto* view = new QPushButton(QStringLiteral("View log"), &console);
        QString path;
        connect(view, &QPushButton::clicked, &console, [&] { LogViewerClient::LoadLog(path, &console, [](bool) {}); });
        console.setGeometry(0, 0, 200, 100); // where the viewers it opens leave it to be clicked again
        console.show();
        for (const QByteArray& text : {record.repeated(12), record, record + "12-09-2026\r\n"}) {
            QFile file(path = logs.filePath(QString::number(text.size())));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
            file.close();
            QTRY_VERIFY(inFront(console.winId()));
            click(*view);
            QList<WId> viewer;
            QTRY_VERIFY_WITH_TIMEOUT((viewer = titled(path)).size() == 1, 20000);
            QVERIFY(wellPlaced(viewer.first()));
            // Fixed in size, it offers no maximize.
            QCOMPARE(ids(x("xprop", {QStringLiteral("-id"), QString::number(viewer.first()), QStringLiteral("_MOTIF_WM_HINTS")}).section('=', 1)).value(2) & 0x40, WId(0));
            QList<WId> boxes = viewer; // a damaged log's reports stand over its viewer
            if (text.count('\n') % 6 != 0)
                QTRY_VERIFY((boxes = titled(QStringLiteral("Scrollbook"))).size() == 5);
            QTRY_VERIFY2_WITH_TIMEOUT(std::any_of(boxes.begin(), boxes.end(), inFront), qPrintable(path), 10000);
            QVERIFY(std::all_of(boxes.begin(), boxes.end(), wellPlaced));
            x("xdotool", {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(console.winId())});
        }
    }
};

QTEST_MAIN(TestFrontWindows)
#include "tst_frontwindows.moc"

// The log viewer's window offscreen: rows from records, the last-row
// selection, the progress bar's steps, Refresh, New and a short last record.
#include "logviewer/frmScrollbook.h"
#include "platform/HelpViewer.h"
#include "platform/ProgramFonts.h"
#include "platform/RowList.h"
#include "platform/SingleInstance.h"
#include "platform/Twips.h"
#include "tests/support/TestDoubles.h"

#include <QApplication>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Records of six lines; record i has user "user<i>" and message "message <i>".
QByteArray records(int count, int from = 0)
{
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += "12-08-2026\r\n10:00:" + QByteArray::number(i % 60).rightJustified(2, '0') + "\r\nuser"
            + QByteArray::number(i) + "\r\npublic\r\n127.0.0.1\r\nmessage " + QByteArray::number(i) + "\r\n";
    return out;
}

// The characters of the first count records, line ends not counted.
int characters(int count)
{
    int sum = 0;
    for (const QByteArray& line : records(count).split('\n'))
        sum += int(line.size()) - (line.endsWith('\r') ? 1 : 0);
    return sum;
}

void write(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile f(path);
    QVERIFY(f.open(mode));
    f.write(bytes);
}

// A window on the path, shown, its first activation done.
struct Viewer {
    explicit Viewer(const QString& path)
        : window(path)
    {
        window.Clock = [] { return QDateTime(QDate(2002, 2, 1), QTime(9, 5, 7)); };
        window.show();
    }
    bool loaded() { return QTest::qWaitFor([this] { return window.State().LogLoaded; }, 5000); }
    frmScrollbook window;
};

} // namespace

class TestLogWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { doubles = std::make_unique<InstalledDoubles>(); }
    void cleanup() { doubles.reset(); }

    void layoutAndTexts()
    {
        Viewer v(dir.filePath(QStringLiteral("none.txt")));
        QCOMPARE(v.window.size(), QSize(TwipsToPixels(8775), TwipsToPixels(6450)));
        QCOMPARE(v.window.Log->Caption(), QStringLiteral("Information Log"));
        QCOMPARE(v.window.Log->toolTip(), QStringLiteral("View log entries"));
        const QStringList titles{"Date", "Time", "User", "Group", "IP", "Message"};
        QCOMPARE(v.window.Log->ColumnCount(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(v.window.Log->ColumnTitle(i), titles.at(i));
        QCOMPARE(v.window.cmdRefresh->text(), QStringLiteral("&Refresh"));
        QCOMPARE(v.window.cmdNew->text(), QStringLiteral("&New"));
        QCOMPARE(v.window.cmdNew->toolTip(), QStringLiteral("Click here to create a new log"));
        QCOMPARE(v.window.cmdClose->text(), QStringLiteral("&Close"));
        QCOMPARE(v.window.cmdClose->toolTip(), QStringLiteral("Click here to Exit"));
        QCOMPARE(v.window.windowTitle(), dir.filePath(QStringLiteral("none.txt")));
    }

    // Beside the widest values the logs write, the message starts inside the
    // window with a fifth of it left to read (the values fit their columns:
    // tst_navigation); scrolled fully right, the widest message ends at the edge.
    void theMessageStartsInsideTheWindow()
    {
        UseProgramFont();
        write(dir.filePath(QStringLiteral("S_wide.txt")),
              "12-31-2026\r\n23:59:59\r\nNew Connection\r\nNew Connection\r\n255.255.255.255\r\n"
              "550 /pub/a folder with a long name/report.txt: No such file.\r\n");
        Viewer v(dir.filePath(QStringLiteral("S_wide.txt")));
        QVERIFY(v.loaded());
        auto* view = v.window.Log->findChild<QTableView*>();
        QVERIFY(view->columnViewportPosition(5) <= view->viewport()->width() * 4 / 5);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QCOMPARE(view->columnViewportPosition(5) + view->columnWidth(5), view->viewport()->width());
    }

    void recordsBecomeRows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("exists");
        for (int n : {0, 1, 4, 5, 12})
            QTest::newRow(qPrintable(QString::number(n))) << n << true;
        QTest::newRow("missing") << 0 << false;
    }
    void recordsBecomeRows()
    {
        QFETCH(int, count);
        QFETCH(bool, exists);
        const QString path = dir.filePath(QStringLiteral("S_Log%1%2.txt").arg(count).arg(exists));
        if (exists)
            write(path, records(count));
        Viewer v(path);
        QVERIFY(v.loaded());
        QCOMPARE(v.window.Log->RowCount(), count);
        QCOMPARE(v.window.Log->SelectedRow(), count > 4 ? count - 1 : -1);
        // Never Qt's busy bar (a range of 0 to 0), which would run for as long
        // as the window is open; full once records were read, else empty.
        const QProgressBar& bar = *v.window.PB1;
        QVERIFY(bar.minimum() < bar.maximum());
        QCOMPARE(bar.value(), count > 0 ? bar.maximum() : bar.minimum());
        if (count > 0) {
            const QStringList first{"12-08-2026", "10:00:00", "user0", "public", "127.0.0.1", "message 0"};
            for (int c = 0; c < 6; ++c)
                QCOMPARE(v.window.Log->Cell(0, c), first.at(c));
        }
        QVERIFY(doubles->errors->reports.isEmpty());
    }

    void theBarMovesOnlyAfterTheHundredAndFirstRecord_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("steps"); // the values the bar takes; -1 stands for the file's length
        QTest::newRow("100") << 100 << QList<int>{-1};
        QTest::newRow("101") << 101 << QList<int>{characters(101), -1};
        QTest::newRow("202") << 202 << QList<int>{characters(101), characters(202), -1};
    }
    void theBarMovesOnlyAfterTheHundredAndFirstRecord()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, steps);
        const QString path = dir.filePath(QStringLiteral("bar%1.txt").arg(count));
        write(path, records(count));
        frmScrollbook window(path);
        QList<int> seen;
        connect(window.PB1, &QProgressBar::valueChanged, this, [&seen](int value) { seen.append(value); });
        window.show();
        QTRY_VERIFY(window.State().LogLoaded);
        for (int& step : steps)
            if (step < 0)
                step = int(QFileInfo(path).size());
        QCOMPARE(seen, steps);
    }

    void activationReadsOnceAndRefreshReadsAgain()
    {
        const QString path = dir.filePath(QStringLiteral("U_grow.txt"));
        write(path, records(5));
        Viewer v(path);
        QVERIFY(v.loaded());
        write(path, records(2, 5), QIODevice::Append);
        v.window.Log->SetSelectedRow(0);
        v.window.Form_Activate(); // a return to the window only selects the last row again
        QCOMPARE(v.window.Log->RowCount(), 5);
        QCOMPARE(v.window.Log->SelectedRow(), 4);
        v.window.cmdRefresh->click();
        QCOMPARE(v.window.Log->RowCount(), 7);
        QCOMPARE(v.window.Log->Cell(6, 2), QStringLiteral("user6"));
        QCOMPARE(v.window.Log->SelectedRow(), 6);
    }

    void aMissingFileIsNotRetriedByActivationButByRefresh()
    {
        const QString path = dir.filePath(QStringLiteral("U_late.txt"));
        Viewer v(path + QLatin1Char('/')); // a trailing "/" stays in the caption only
        QVERIFY(v.loaded());
        QCOMPARE(v.window.windowTitle(), path + QLatin1Char('/'));
        write(path, records(1));
        v.window.Form_Activate();
        QCOMPARE(v.window.Log->RowCount(), 0);
        v.window.cmdRefresh->click();
        QCOMPARE(v.window.Log->RowCount(), 1);
        QVERIFY(doubles->errors->reports.isEmpty());
    }

    void aShortLastRecordShowsTheLinesItHas()
    {
        const QString path = dir.filePath(QStringLiteral("G_cut.txt"));
        write(path, records(2) + "12-09-2026\r\n11:11:11\r\nlast");
        Viewer v(path);
        QVERIFY(v.loaded());
        QCOMPARE(v.window.Log->RowCount(), 3);
        const QStringList last{"12-09-2026", "11:11:11", "last", "", "", ""};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(v.window.Log->Cell(2, c), last.at(c));
        const QString report = QStringLiteral("Input past end of file\nin Scrollbook.frmScrollbook.Form_Activate at line 9");
        QCOMPARE(doubles->errors->reports, QStringList(3, report));
    }

    void newMovesTheLogAside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("movedTo");
        QTest::addColumn<bool>("targetTaken");
        QTest::newRow("log") << "U_bob.txt" << "U_bob_02-01-2002_090507.txt" << false;
        QTest::newRow("letter case") << "S_Log.TXT" << "S_Log_02-01-2002_090507.txt" << false;
        QTest::newRow("no .txt") << "S_Log" << "S_Log_02-01-2002_090507.txt" << false;
        QTest::newRow("twice in one second") << "G_ops.txt" << "G_ops_02-01-2002_090507.txt" << true;
    }
    void newMovesTheLogAside()
    {
        QFETCH(QString, name);
        QFETCH(QString, movedTo);
        QFETCH(bool, targetTaken);
        QTemporaryDir logs;
        const QString path = logs.filePath(name);
        write(path, records(3));
        if (targetTaken)
            write(logs.filePath(movedTo), "earlier\r\n");
        Viewer v(path);
        QVERIFY(v.loaded());
        v.window.cmdNew->click();
        QCOMPARE(v.window.windowTitle(), path);
        QCOMPARE(v.window.State().LogPath, path);
        if (targetTaken) {
            // Never over the earlier file; the log and the rows stay.
            QCOMPARE(QFile(logs.filePath(movedTo)).size(), qint64(9));
            QVERIFY(QFile::exists(path));
            QCOMPARE(v.window.Log->RowCount(), 3);
            QCOMPARE(doubles->errors->reports.size(), 1);
            QVERIFY(doubles->errors->reports.first().endsWith(
                QStringLiteral("\nin Scrollbook.frmScrollbook.cmdNew_Click at line 2")));
            return;
        }
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QFile(logs.filePath(movedTo)).size(), qint64(records(3).size()));
        QCOMPARE(v.window.Log->RowCount(), 0);
        QVERIFY(doubles->errors->reports.isEmpty());
        // Refresh shows the new log once the console has written one, and nothing before.
        v.window.cmdRefresh->click();
        QCOMPARE(v.window.Log->RowCount(), 0);
        write(path, records(1));
        v.window.cmdRefresh->click();
        QCOMPARE(v.window.Log->RowCount(), 1);
        // New on a missing log does nothing, not even empty the list.
        QVERIFY(QFile::remove(path));
        v.window.cmdNew->click();
        QCOMPARE(v.window.Log->RowCount(), 1);
    }

    // F1 from the focused control shows the help's contents; the window has no topic of its own.
    void f1ShowsTheHelpContents()
    {
        const QString path = dir.filePath(QStringLiteral("S_help.txt"));
        write(path, records(6));
        Viewer v(path);
        QVERIFY(v.loaded());
        v.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v.window));
        v.window.Log->findChild<QTableView*>()->setFocus();
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->window(), &v.window);
        QVERIFY(!SingleInstance<HelpViewer>::Open());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        HelpViewer* help = SingleInstance<HelpViewer>::Open();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->Anchor(), QStringLiteral("topic-0"));
        help->close();
    }

    void closeClosesTheWindow()
    {
        auto* window = new frmScrollbook(dir.filePath(QStringLiteral("x.txt")));
        const QPointer<frmScrollbook> alive(window);
        window->show();
        window->cmdClose->click();
        QTRY_VERIFY(!alive);
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<InstalledDoubles> doubles;
};

QTEST_MAIN(TestLogWindow)
#include "tst_logwindow.moc"

// The help window: topics of help.hlp by anchor, one window, a missing file.
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "tests/support/TempAppFolder.h"

#include <QFile>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <sys/stat.h>

namespace {

QByteArray helpFile()
{
    QByteArray html = "<html><head><meta charset=\"utf-8\"></head><body><h1>Quayport help</h1>";
    for (int topic : {30, 40, 50}) {
        html += "<h2><a name=\"topic-" + QByteArray::number(topic) + "\"></a>Topic " + QByteArray::number(topic) + "</h2>";
        for (int i = 0; i < 60; ++i)
            html += "<p>Line " + QByteArray::number(i) + " \xc3\xa9</p>";
    }
    return html + "</body></html>";
}

int helpWindows()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<HelpViewer*>(w) != nullptr;
    return count;
}

} // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        if (HelpViewer* open = SingleInstance<HelpViewer>::Open())
            delete open;
    }

    void topicsOpenAtTheirAnchorInOneWindow()
    {
        TempAppFolder app(false);
        app.write(QStringLiteral("/help.hlp"), helpFile());

        ShowHelpTopic(40);
        HelpViewer* viewer = SingleInstance<HelpViewer>::Open();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->Anchor(), QStringLiteral("topic-40"));
        QVERIFY(viewer->Browser()->toPlainText().contains(QStringLiteral("Line 3 \u00e9")));
        QScrollBar* bar = viewer->Browser()->verticalScrollBar();
        QTRY_VERIFY(bar->value() > 0);
        const int at40 = bar->value();

        ShowHelpTopic(50);
        QCOMPARE(SingleInstance<HelpViewer>::Open(), viewer);
        QCOMPARE(helpWindows(), 1);
        QTRY_VERIFY(bar->value() > at40);

        ShowHelpContents();
        QCOMPARE(viewer->Anchor(), QString());
        QTRY_COMPARE(bar->value(), 0);

        // Closing ends the window; the next topic opens a new one.
        QPointer<HelpViewer> closed = viewer;
        viewer->close();
        QTRY_VERIFY(closed.isNull());
        ShowHelpTopic(30);
        QVERIFY(SingleInstance<HelpViewer>::Open());
        QCOMPARE(helpWindows(), 1);
    }

    void missingFileSaysSo()
    {
        // A FIFO in the file's place is not waited on.
        for (const bool fifo : {false, true}) {
            TempAppFolder app(false);
            if (fifo)
                QCOMPARE(::mkfifo(QFile::encodeName(app.file(QStringLiteral("/help.hlp"))).constData(), 0666), 0);
            ShowHelpTopic(30);
            const QString text = SingleInstance<HelpViewer>::Open()->Browser()->toPlainText();
            QVERIFY2(text.contains(QStringLiteral("help.hlp")) && text.contains(QStringLiteral("could not")),
                     qPrintable(text));
        }
    }

    void helpShippedBesideTheProgramServesAnotherFolder()
    {
        // An application folder elsewhere ($QUAYPORT_HOME) without its own help file.
        TempAppFolder app(false);
        const QString shipped = QCoreApplication::applicationDirPath() + QStringLiteral("/help.hlp");
        QVERIFY(!QFile::exists(shipped));
        {
            QFile f(shipped);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(helpFile());
        }
        ShowHelpTopic(40);
        const QString text = SingleInstance<HelpViewer>::Open()->Browser()->toPlainText();
        QFile::remove(shipped);
        QVERIFY2(!text.contains(QStringLiteral("could not")), qPrintable(text));
        QCOMPARE(SingleInstance<HelpViewer>::Open()->Anchor(), QStringLiteral("topic-40"));
    }

    void helpKeyOpensTheFormsTopic()
    {
        TempAppFolder app(false);
        app.write(QStringLiteral("/help.hlp"), helpFile());
        QWidget form;
        BindHelpKey(form, 50);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_F1);
        QVERIFY(SingleInstance<HelpViewer>::Open());
        QCOMPARE(SingleInstance<HelpViewer>::Open()->Anchor(), QStringLiteral("topic-50"));
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"

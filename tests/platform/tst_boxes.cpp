// The error reporter's boxes and the modal message service.
#include "platform/WidgetErrorReporter.h"
#include "platform/WidgetMessageService.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <unistd.h>

namespace {

QList<QMessageBox*> openBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes.append(box);
    return boxes;
}

// Runs the check on the modal box once it is up and lets it answer; a box that
// a failed check left open is dismissed, so a failure never hangs the test.
void whenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal.data()); dialog && dialog->isVisible())
            dialog->reject();
    });
}

// Captures what the process writes to standard error while it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(fileno(stderr));
        dup2(m_file.handle(), fileno(stderr));
    }
    ~StderrCapture() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, fileno(stderr));
        close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

MessageService& Service()
{
    static WidgetMessageService service;
    return service;
}

} // namespace

class TestBoxes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        for (QMessageBox* box : openBoxes())
            delete box;
    }

    void errorBoxesDoNotBlockAndAreCapped()
    {
        WidgetErrorReporter reporter(3);
        StderrCapture capture;
        for (int i = 1; i <= 5; ++i)
            reporter.show(QStringLiteral("failure %1\nin Quayport.ModMain.Test at line %1").arg(i));
        const QString overflow = capture.text();

        const QList<QMessageBox*> boxes = openBoxes();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(reporter.OpenCount(), 3);
        for (QMessageBox* box : boxes) {
            QCOMPARE(box->windowTitle(), ProgramTitle());
            QVERIFY(!box->isModal());
        }
        QStringList shown;
        for (QMessageBox* box : boxes)
            shown.append(box->text());
        shown.sort();
        QCOMPARE(shown.first(), QStringLiteral("failure 1\nin Quayport.ModMain.Test at line 1"));
        QVERIFY(overflow.contains(QStringLiteral("failure 4")));
        QVERIFY(overflow.contains(QStringLiteral("failure 5")));
        QVERIFY(!overflow.contains(QStringLiteral("failure 3")));

        // Closing one makes room for the next report.
        QPointer<QMessageBox> first = boxes.first();
        first->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(first.isNull());
        reporter.show(QStringLiteral("failure 6"));
        QCOMPARE(reporter.OpenCount(), 3);
    }

    // Reports made while a modal dialog is open (a letter typed in a number
    // box, at each keystroke), or just before it opens: every box takes a
    // click and a key from the window system, stands clear of the others, and
    // stays when the dialog goes.
    void errorBoxesOverAModalDialogCanBeAnswered()
    {
        WidgetErrorReporter reporter;
        auto* dialog = new QDialog;
        dialog->resize(400, 300);
        QList<QPointer<QMessageBox>> boxes;
        reporter.show(QStringLiteral("Input past end of file\nin Quayport.ModMain.LoadConfig at line 4"));
        boxes.append(openBoxes().value(0));
        QTimer::singleShot(0, dialog, [&] {
            const auto leave = qScopeGuard([&] { dialog->reject(); }); // also when a check fails
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            for (int i = 1; i <= 2; ++i)
                reporter.show(QStringLiteral("Type mismatch\nin Quayport.frmProperties.txtPort_Change at line 3"));
            for (QMessageBox* box : openBoxes())
                if (!boxes.contains(box))
                    boxes.append(box);
            QCOMPARE(boxes.size(), 3);
            QSet<int> lefts, tops;
            for (const auto& box : std::as_const(boxes)) {
                QVERIFY(QTest::qWaitForWindowExposed(box));
                lefts.insert(box->frameGeometry().left());
                tops.insert(box->frameGeometry().top());
            }
            QCOMPARE(lefts.size(), 3);
            QCOMPARE(tops.size(), 3);
            // A click on Ok where the window system delivers it.
            QAbstractButton* ok = boxes.at(0)->button(QMessageBox::Ok);
            QTest::mouseClick(boxes.at(0)->windowHandle(), Qt::LeftButton, {}, ok->mapTo(boxes.at(0), ok->rect().center()));
            QTRY_VERIFY(boxes.at(0).isNull());
            // A key to the box a person has clicked into.
            QTest::keyClick(boxes.at(1)->windowHandle(), Qt::Key_Return);
            QTRY_VERIFY(boxes.at(1).isNull());
        });
        dialog->exec();
        delete dialog;
        QCOMPARE(boxes.size(), 3);
        // The last box outlives the dialog and is answered after it.
        QVERIFY(boxes.at(2) && boxes.at(2)->isVisible());
        QTest::keyClick(boxes.at(2)->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(boxes.at(2).isNull());
    }

    void reporterTakesItsBoxesAlong()
    {
        {
            WidgetErrorReporter reporter;
            reporter.show(QStringLiteral("one"));
            QCOMPARE(openBoxes().size(), 1);
        }
        QCOMPARE(openBoxes().size(), 0);
    }

    void messageShowsIconTitleAndOk_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("boxIcon");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("plain") << int(MessageIcon::None) << QString() << int(QMessageBox::NoIcon) << ProgramTitle();
        QTest::newRow("refused input") << int(MessageIcon::Critical) << QStringLiteral("Error")
                                       << int(QMessageBox::Critical) << QStringLiteral("Error");
        QTest::newRow("exclamation") << int(MessageIcon::Exclamation) << QString() << int(QMessageBox::Warning)
                                     << ProgramTitle();
        QTest::newRow("information") << int(MessageIcon::Information) << QString() << int(QMessageBox::Information)
                                     << ProgramTitle();
    }
    void messageShowsIconTitleAndOk()
    {
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(int, boxIcon);
        QFETCH(QString, shownTitle);
        WidgetMessageService service;
        bool checked = false;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            QCOMPARE(box->text(), QStringLiteral("Unable to start server."));
            QCOMPARE(box->windowTitle(), shownTitle);
            QCOMPARE(int(box->icon()), boxIcon);
            QCOMPARE(box->buttons().size(), 1);
            box->button(QMessageBox::Ok)->click();
            checked = true;
        });
        service.message(QStringLiteral("Unable to start server."), title, MessageIcon(icon));
        QVERIFY(checked);
    }

    void confirmAnswersYesOrNo()
    {
        WidgetMessageService service;
        for (auto [button, expected] : {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
            whenModal([button = button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                QVERIFY(box);
                QCOMPARE(box->windowTitle(), QStringLiteral("Delete User"));
                QCOMPARE(box->icon(), QMessageBox::NoIcon);
                QVERIFY(box->iconPixmap().isNull());
                QVERIFY(box->button(QMessageBox::Yes) && box->button(QMessageBox::No));
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
                box->button(button)->click();
            });
            QCOMPARE(service.confirm(QStringLiteral("Delete bob?"), QStringLiteral("Delete User")), expected);
        }
        // Escape answers No.
        whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(service.confirm(QStringLiteral("Delete bob?"), QString()), false);
    }

    // A short question under a longer title: the box leaves the window
    // manager room for the whole title beside the title bar's menu and three
    // buttons (some 26 pixels each with their padding, as openbox draws them),
    // where openbox showed " Log... User?".
    void boxIsWideEnoughForItsTitle()
    {
        const QString title = QStringLiteral(" Logoff User?");
        int width = 0;
        whenModal([&](QWidget* modal) {
            width = modal->width();
            qobject_cast<QDialog*>(modal)->reject();
        });
        Service().confirm(QStringLiteral(" Logoff User bob?"), title);
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        const int need = QFontMetrics(bold).horizontalAdvance(title) + 4 * 26;
        QVERIFY2(width >= need, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(need)));
    }

    void inputReturnsTextOrEmptyOnCancel()
    {
        WidgetMessageService service;
        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), ProgramTitle());
            QCOMPARE(dialog->labelText(), QStringLiteral("Name:"));
            QCOMPARE(dialog->textValue(), QStringLiteral("start"));
            dialog->setTextValue(QStringLiteral("typed"));
            dialog->accept();
        });
        QCOMPARE(service.input(QStringLiteral("Name:"), QString(), QStringLiteral("start")), QStringLiteral("typed"));

        whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        QCOMPARE(service.input(QStringLiteral("Name:"), QStringLiteral("T"), QStringLiteral("start")), QString());
    }

    void clientTextIsShownAsWritten_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"message", "confirm", "input", "error"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    // A user name typed by a client reaches boxes; it is never read as markup.
    void clientTextIsShownAsWritten()
    {
        QFETCH(QString, kind);
        const QString text = QStringLiteral("Logoff User <b>bob</b><img src=\"no-such-picture.png\">?");
        QStringList formats;
        const auto check = [&](QWidget* window) {
            for (QLabel* label : window->findChildren<QLabel*>())
                if (label->text() == text)
                    formats.append(label->textFormat() == Qt::PlainText ? QStringLiteral("plain") : QStringLiteral("guessed"));
        };
        if (kind == QLatin1String("error")) {
            WidgetErrorReporter reporter;
            reporter.show(text);
            QCOMPARE(openBoxes().size(), 1);
            check(openBoxes().first());
        } else {
            whenModal(check);
            if (kind == QLatin1String("message"))
                Service().message(text, QString(), MessageIcon::None);
            else if (kind == QLatin1String("confirm"))
                Service().confirm(text, QString());
            else
                Service().input(text, QString(), QString());
        }
        QCOMPARE(formats, QStringList({QStringLiteral("plain")}));
    }

    void boxesDoNotSitOnErrorBoxes()
    {
        // The user may close an error box first; a box over it would go with it.
        WidgetErrorReporter reporter;
        reporter.show(QStringLiteral("failure"));
        QMessageBox* errorBox = openBoxes().value(0);
        QVERIFY(errorBox);
        errorBox->activateWindow();
        QVERIFY(QTest::qWaitFor([errorBox] { return QApplication::activeWindow() == errorBox; }));
        bool checked = false;
        whenModal([&](QWidget* modal) {
            QVERIFY(modal != errorBox);
            QVERIFY(modal->parentWidget() != errorBox);
            qobject_cast<QDialog*>(modal)->reject();
            checked = true;
        });
        QCOMPARE(Service().confirm(QStringLiteral("Logoff User bob?"), QString()), false);
        QVERIFY(checked);
    }

    void boxSurvivesItsWindowClosing()
    {
        // A notification inside the box's loop may delete the window it sits on.
        WidgetMessageService service;
        auto* owner = new QWidget;
        owner->show();
        owner->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(owner));
        whenModal([owner](QWidget*) { delete owner; });
        service.message(QStringLiteral("text"), QString(), MessageIcon::None);
        QVERIFY(openBoxes().isEmpty());
    }
};

QTEST_MAIN(TestBoxes)
#include "tst_boxes.moc"

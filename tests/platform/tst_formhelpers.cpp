// The form helpers: one instance per form, activation, lost focus, the busy
// pointer and pop-up menus placed in twips.
#include "platform/ActivationFilter.h"
#include "platform/BusyCursor.h"
#include "platform/LostFocusFilter.h"
#include "platform/PopupMenu.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

class SampleForm : public QWidget {
public:
    SampleForm() { ++made; }
    static inline int made = 0;
};

// Waits for the window itself to take the focus; a box over an active form
// counts as active at once, before it really is.
bool activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}

} // namespace

class TestFormHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showingAnOpenFormRaisesIt()
    {
        SampleForm::made = 0;
        SampleForm& first = SingleInstance<SampleForm>::Show();
        QVERIFY(first.isVisible());
        first.showMinimized();
        SampleForm& again = SingleInstance<SampleForm>::Show();
        QCOMPARE(&again, &first);
        QCOMPARE(SampleForm::made, 1);
        QVERIFY(!again.isMinimized());

        QPointer<SampleForm> closed = &first;
        first.close();
        QTRY_VERIFY(closed.isNull());
        QCOMPARE(SingleInstance<SampleForm>::Open(), nullptr);
        SingleInstance<SampleForm>::Show();
        QCOMPARE(SampleForm::made, 2);
        SingleInstance<SampleForm>::Open()->close();
    }

    void activationIsFirstShowingAndReturnsFromForms()
    {
        QWidget form;
        QWidget other;
        form.resize(200, 100);
        other.resize(200, 100);
        auto* filter = new ActivationFilter(&form);
        QSignalSpy activations(filter, &ActivationFilter::Activated);

        // The first showing counts at once, whether or not the form is activated.
        form.show();
        QCOMPARE(activations.count(), 1);
        QVERIFY(activate(&form));
        QCOMPARE(activations.count(), 1);

        QVERIFY(activate(&other));
        QVERIFY(activate(&form));
        QCOMPARE(activations.count(), 2);

        // A message box over the form and back: no activation.
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("T"), QStringLiteral("text"), QMessageBox::Ok, &form);
        box.setModal(false);
        QVERIFY(activate(&box));
        box.hide();
        QVERIFY(activate(&form));
        QCOMPARE(activations.count(), 2);

        // Hidden and shown again while nothing else was active: no activation either.
        form.hide();
        QVERIFY(activate(&form));
        QCOMPARE(activations.count(), 2);
    }

    void lostFocusIgnoresBoxesAndPopups()
    {
        QWidget window;
        auto* watched = new QLineEdit(&window);
        auto* next = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(watched);
        layout->addWidget(next);
        auto* filter = new LostFocusFilter(watched);
        QSignalSpy lost(filter, &LostFocusFilter::LostFocus);
        QVERIFY(activate(&window));
        watched->setFocus();
        QTRY_VERIFY(watched->hasFocus());

        next->setFocus(Qt::TabFocusReason);
        QCOMPARE(lost.count(), 1);
        watched->setFocus();

        QMenu menu;
        menu.addAction(QStringLiteral("&Refresh"));
        menu.popup(window.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(menu.isVisible());
        menu.close();
        QTRY_VERIFY(watched->hasFocus());
        QCOMPARE(lost.count(), 1);

        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("T"), QStringLiteral("text"), QMessageBox::Ok, &window);
        box.setModal(false);
        QVERIFY(activate(&box));
        box.hide();
        QVERIFY(activate(&window));
        QCOMPARE(lost.count(), 1);

        // Another window of the program takes the focus: that is lost.
        QWidget other;
        auto* edit = new QLineEdit(&other);
        QVERIFY(activate(&other));
        QTRY_VERIFY(edit->hasFocus() || other.isActiveWindow());
        QCOMPARE(lost.count(), 2);
    }

    void busyPointerIsRestoredOnEveryPath()
    {
        QVERIFY(!QGuiApplication::overrideCursor());
        {
            BusyCursor outer;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            {
                BusyCursor inner;
            }
            QVERIFY(QGuiApplication::overrideCursor());
        }
        QVERIFY(!QGuiApplication::overrideCursor());

        try {
            BusyCursor busy;
            throw std::runtime_error("fails midway");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void menuPopsUpAtTwipsInTheWindow()
    {
        QWidget window;
        window.resize(400, 300);
        QVERIFY(activate(&window));
        QMenu menu;
        menu.addAction(QStringLiteral("&Large Icons"));
        PopupMenuAt(menu, window, 950, 700);
        QTRY_VERIFY(menu.isVisible());
        QCOMPARE(menu.pos(), window.mapToGlobal(QPoint(63, 47)));
        menu.close();
    }
};

QTEST_MAIN(TestFormHelpers)
#include "tst_formhelpers.moc"

#include "platform/WidgetErrorReporter.h"

#include "core/MessageService.h"
#include "platform/PlainTextBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <cstdio>

WidgetErrorReporter::WidgetErrorReporter(int maxOpen, QObject* parent)
    : QObject(parent)
    , m_maxOpen(maxOpen)
{
}

WidgetErrorReporter::~WidgetErrorReporter()
{
    // The boxes have no parent; take them down with the reporter.
    for (const auto& box : std::as_const(m_open))
        delete box.data();
}

void WidgetErrorReporter::show(const QString& text)
{
    forgetClosed();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || OpenCount() >= m_maxOpen) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
        std::fflush(stderr);
        return;
    }
    // Parentless and deleted on close: the box outlives whatever window failed.
    auto* box = NewPlainTextBox(QMessageBox::Critical, ProgramTitle(), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setModal(false);
    box->winId();
    standByModalWindow(*box);
    box->installEventFilter(this);
    placeBesideOpenBoxes(*box);
    m_open.append(box);
    box->show();
}

// While a modal dialog is open no other window takes a click or a key; a
// window that stands by the dialog (its transient) does, and is not closed
// with it. A parent would take the box down with the dialog.
void WidgetErrorReporter::standByModalWindow(QMessageBox& box)
{
    const QWidget* modal = QApplication::activeModalWidget();
    QWindow* window = box.windowHandle();
    if (modal && modal != &box && window && modal->windowHandle() && window->transientParent() != modal->windowHandle())
        window->setTransientParent(modal->windowHandle());
}

// A box already open when a modal dialog or box appears goes to stand by it.
bool WidgetErrorReporter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowBlocked)
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && m_open.contains(box))
            standByModalWindow(*box);
    return QObject::eventFilter(watched, event);
}

// Boxes open at once would stand on the same spot and look like one: each
// further box stands a title bar lower and to the right of the last one.
void WidgetErrorReporter::placeBesideOpenBoxes(QMessageBox& box) const
{
    const QMessageBox* last = nullptr;
    for (const auto& open : m_open)
        if (open && open->isVisible())
            last = open.data();
    if (!last)
        return; // the first is centred
    const int step = box.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
    // A window not yet shown has no frame: its position is that of its inside.
    QPoint at = last->geometry().topLeft() + QPoint(step, step);
    if (const QScreen* screen = last->screen()) {
        // Back to the screen's top left rather than past its edge.
        const QRect room = screen->availableGeometry();
        const QSize size = box.sizeHint();
        if (at.x() + size.width() > room.right() || at.y() + size.height() > room.bottom())
            at = room.topLeft() + QPoint(step, step);
    }
    box.move(at);
}

int WidgetErrorReporter::OpenCount() const
{
    int count = 0;
    for (const auto& box : m_open)
        if (box && box->isVisible())
            ++count;
    return count;
}

void WidgetErrorReporter::forgetClosed()
{
    m_open.removeIf([](const QPointer<QMessageBox>& box) { return box.isNull() || !box->isVisible(); });
}

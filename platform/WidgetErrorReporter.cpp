#include "platform/WidgetErrorReporter.h"

#include "core/MessageService.h"
#include "platform/FrontWindow.h"
#include "platform/PlainTextBox.h"

#include <QApplication>
#include <QMessageBox>
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
    box->installEventFilter(this);
    m_open.append(box);
    // Boxes open at once stand apart, each in front and taking input also
    // while a modal dialog is open; it is not closed with the dialog.
    ShowInFront(*box);
}

// A box already open when a modal dialog or box appears comes to stand by it,
// in front of it.
bool WidgetErrorReporter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowBlocked)
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && m_open.contains(box))
            ShowInFront(*box);
    return QObject::eventFilter(watched, event);
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

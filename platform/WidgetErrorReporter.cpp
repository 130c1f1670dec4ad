#include "platform/WidgetErrorReporter.h"

#include "core/MessageService.h"
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
    m_open.append(box);
    box->show();
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

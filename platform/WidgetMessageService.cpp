#include "platform/WidgetMessageService.h"

#include "platform/PlainTextBox.h"
#include "platform/TransientWindow.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace {

QString titleOrProgram(const QString& title)
{
    return title.isEmpty() ? ProgramTitle() : title;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The box sits over the active form; over an error box that the user may close
// first, it sits over that box's form instead.
QWidget* boxParent()
{
    QWidget* window = QApplication::activeWindow();
    while (window && IsTransientWindow(window))
        window = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    return window;
}

// Engine notifications run inside a box's event loop and may close the window
// it belongs to, taking the box with it; exec() tolerates that and so does this.
template <class Dialog>
int execOwned(QPointer<Dialog>& dialog)
{
    const int result = dialog->exec();
    delete dialog.data();
    return result;
}

} // namespace

void WidgetMessageService::message(const QString& text, const QString& title, MessageIcon icon)
{
    QPointer<QMessageBox> box = NewPlainTextBox(boxIcon(icon), titleOrProgram(title), text, QMessageBox::Ok, boxParent());
    execOwned(box);
}

bool WidgetMessageService::confirm(const QString& text, const QString& title)
{
    // The questions (deletions, a logoff) show no icon.
    QPointer<QMessageBox> box = NewPlainTextBox(QMessageBox::NoIcon, titleOrProgram(title), text,
                                                QMessageBox::Yes | QMessageBox::No, boxParent());
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    return execOwned(box) == QMessageBox::Yes;
}

QString WidgetMessageService::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    QPointer<QInputDialog> dialog = new QInputDialog(boxParent());
    dialog->setWindowTitle(titleOrProgram(title));
    dialog->setLabelText(prompt);
    ShowLabelsAsPlainText(dialog);
    dialog->setTextValue(defaultText);
    QString text;
    QObject::connect(dialog.data(), &QInputDialog::textValueSelected, dialog.data(), [&text](const QString& value) { text = value; });
    execOwned(dialog);
    return text;
}

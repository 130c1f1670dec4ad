#include "platform/PlainTextBox.h"

#include <QLabel>

QMessageBox* NewPlainTextBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                             QMessageBox::StandardButtons buttons, QWidget* parent)
{
    auto* box = new QMessageBox(icon, title, QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

void ShowLabelsAsPlainText(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

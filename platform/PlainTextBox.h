#pragma once
// Boxes that show their text as written, wide enough for their title. Box
// texts carry names typed by FTP clients; left to guess, Qt would read
// "<img src=...>" as rich text and load whatever it names.
#include <QMessageBox>

QMessageBox* NewPlainTextBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                             QMessageBox::StandardButtons buttons, QWidget* parent = nullptr);

// Every label inside the window shows plain text (for boxes such as
// QInputDialog that make their labels themselves).
void ShowLabelsAsPlainText(QWidget* window);

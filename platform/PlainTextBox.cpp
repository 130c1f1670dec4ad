#include "platform/PlainTextBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>

namespace {

// Room in a title bar beside its text: the window menu, three buttons and
// their padding, as common window managers draw them.
constexpr int TitleBarRoom = 128;

// A box is as wide as its text and buttons; a short question ("Logoff User
// bob?") under a longer title would have the window manager cut the title.
void makeRoomForTitle(QMessageBox& box)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true); // title bars mostly draw their text bold
    const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + TitleBarRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

} // namespace

QMessageBox* NewPlainTextBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                             QMessageBox::StandardButtons buttons, QWidget* parent)
{
    auto* box = new QMessageBox(icon, title, QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    makeRoomForTitle(*box);
    return box;
}

void ShowLabelsAsPlainText(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

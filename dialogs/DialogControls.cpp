#include "dialogs/DialogControls.h"

#include "core/AnsiCodec.h"
#include "core/MessageService.h"
#include "platform/Twips.h"

namespace DialogControls {

QString Procedure(const QString& form, const char* procedure)
{
    return QStringLiteral("Quayport.") + form + QLatin1Char('.') + QLatin1String(procedure);
}

QPushButton* Button(QWidget* owner, const char* name, const QString& caption, const QString& tip)
{
    auto* b = Named(new QPushButton(caption, owner), name, tip);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* CheckBox(QWidget* owner, const char* name, const QString& caption, const QString& tip)
{
    return Named(new QCheckBox(caption, owner), name, tip);
}

void Place(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

bool Storable(const QList<std::pair<QString, QString>>& whatAndText)
{
    for (const auto& [what, text] : whatAndText) {
        if (FitsAnsi(text))
            continue;
        // The files keep one byte per character; the rest would be lost.
        Messages().message(what + QStringLiteral(" \"") + text
                               + QStringLiteral("\" has characters that cannot be stored. Please choose another."),
                           QStringLiteral("Error"), MessageIcon::Critical);
        return false;
    }
    return true;
}

} // namespace DialogControls

#include <QDialog>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>

namespace DialogControls {

void FixedCentred(QDialog* dialog, int widthTwips, int heightTwips)
{
    // The places in twips were made for an 8-point face.
    dialog->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    dialog->setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), dialog->size());
        frame.moveCenter(screen->availableGeometry().center());
        dialog->move(frame.topLeft());
    }
}

void SetBox(QCheckBox* box, bool on, const std::function<void()>& clickProcedure)
{
    if (box->isChecked() == on && box->checkState() != Qt::PartiallyChecked)
        clickProcedure();
    else
        box->setCheckState(CheckState(on));
}

} // namespace DialogControls

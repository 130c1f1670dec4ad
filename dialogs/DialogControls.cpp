#include "dialogs/DialogControls.h"

#include "core/AnsiCodec.h"
#include "core/MessageService.h"
#include "dialogs/TextRules.h"
#include "platform/FixedSizeWindow.h"
#include "platform/Twips.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace DialogControls {

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

bool Storable(const QList<StoredText>& texts)
{
    for (const StoredText& t : texts) {
        if (FitsAnsi(t.text))
            continue;
        // The files keep one byte per character; the rest would be lost.
        const QString named = t.secret ? t.what : t.what + QStringLiteral(" \"") + t.text + QLatin1Char('"');
        Messages().message(named + QStringLiteral(" has characters that cannot be stored. Please choose another."),
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

void TabOrder(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void FixedCentred(QDialog* dialog, int widthTwips, int heightTwips)
{
    // The places in twips were made for an 8-point face.
    dialog->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    SetFixedWindowSize(*dialog, {TwipsToPixels(widthTwips), TwipsToPixels(heightTwips)});
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

void CommandBoxes(QWidget* frame, const CommandBoxTargets& targets, const QString& who, int widthTwips)
{
    struct Command {
        const char* name;
        const char* caption;
        const char* word;
    };
    static const Command commands[8] = {
        {"chkDir", "Dir", "DIR"},           {"chkChangeDir", "Change Dir", "CD"},
        {"chkMakeDir", "Make Dir", "MKDIR"}, {"chkRemoveDir", "Delete Dir", "RMDIR"},
        {"chkGetFile", "Get File", "GET"},  {"chkPutFile", "Put File", "PUT"},
        {"chkDeleteFile", "Delete File", "DEL"}, {"chkRenameFile", "Rename File", "RENAME"},
    };
    for (int i = 0; i < 8; ++i) {
        const Command& c = commands[i];
        const QString tip = QStringLiteral("Tick here to allow the ") + who + QStringLiteral(" to have access to the ")
            + QLatin1String(c.word) + QStringLiteral(" command");
        *targets.boxes[i] = CheckBox(frame, c.name, QLatin1String(c.caption), tip);
        Place(*targets.boxes[i], 240, targets.tops[i], widthTwips, 240);
    }
}


void LimitStoredLength(QPlainTextEdit* box, qsizetype limit)
{
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, limit] {
        const QString text = box->toPlainText();
        const qsizetype over = DialogText::StoredText(text).size() - limit;
        if (over <= 0)
            return;
        // The excess is cut just behind the cursor, where it was typed or pasted;
        // a text set from code (cursor at its start) loses its end.
        int end = box->textCursor().position();
        if (end == 0)
            end = int(text.size());
        qsizetype cut = 0;
        int from = end;
        while (cut < over && from > 0) {
            --from;
            cut += text.at(from) == QLatin1Char('\n') ? 2 : 1;
        }
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        box->setTextCursor(cursor);
    });
}

} // namespace DialogControls

#pragma once
// What the administration dialogs share: named controls with their tips,
// buttons that are never default, check box states, places given in twips,
// and handlers connected under the failure convention.
#include "core/ProcedureName.h"
#include "core/Trapped.h"

#include <QCheckBox>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <functional>
#include <initializer_list>

namespace DialogControls {

template <class Control>
Control* Named(Control* control, const char* name, const QString& tip = QString())
{
    control->setObjectName(QLatin1String(name));
    if (!tip.isEmpty())
        control->setToolTip(tip);
    return control;
}

QPushButton* Button(QWidget* owner, const char* name, const QString& caption, const QString& tip = QString());
QCheckBox* CheckBox(QWidget* owner, const char* name, const QString& caption, const QString& tip = QString());

inline Qt::CheckState CheckState(bool on)
{
    return on ? Qt::Checked : Qt::Unchecked;
}
// Grey counts as not set.
inline bool IsSet(const QCheckBox* box)
{
    return box->checkState() == Qt::Checked;
}

// Left, top, width and height in twips, relative to the parent.
void Place(QWidget* control, int left, int top, int width, int height);

// The eight command boxes of the account and group forms, in this order: Dir,
// Change Dir, Make Dir, Delete Dir, Get File, Put File, Delete File, Rename
// File. Each gets the tip "Tick here to allow the <who> to have access to the
// <command> command" and is placed at its own top, at left 240 and height 240.
struct CommandBoxTargets {
    QCheckBox** boxes[8];
    int tops[8];
};
void CommandBoxes(QWidget* frame, const CommandBoxTargets& targets, const QString& who, int widthTwips);

// Runs the form's procedure under its report name, trapped.
template <class Form>
void RunTrapped(Form* form, const char* procedure, void (Form::*handler)())
{
    Trapped(QuayportProcedure(form->objectName(), procedure), 0, [&] { (form->*handler)(); });
}

// Runs the form's procedure, trapped, each time the signal comes.
template <class Sender, class Signal, class Form>
void OnSignal(Sender* sender, Signal signal, Form* form, const char* procedure, void (Form::*handler)())
{
    QObject::connect(sender, signal, form, [form, procedure, handler] { RunTrapped(form, procedure, handler); });
}

// A text about to be stored, and what the box that holds it calls it ("The
// folder"). A secret text is never shown back, only named.
struct StoredText {
    QString what;
    QString text;
    bool secret = false;
};

// True when every text can be stored in the program's files; otherwise an
// "Error" box names what cannot be stored and the caller stores nothing.
bool Storable(const QList<StoredText>& texts);

} // namespace DialogControls

class QDialog;
class QPlainTextEdit;
namespace DialogControls {
// What is typed or pasted into a multi-line box past the length its stored
// text (line breaks as CR LF) may have is dropped, as a one-line box drops it.
void LimitStoredLength(QPlainTextEdit* box, qsizetype limit);
// A fixed client area given in twips, centred on the screen.
void FixedCentred(QDialog* dialog, int widthTwips, int heightTwips);
// Tab moves through the controls in the order given.
void TabOrder(std::initializer_list<QWidget*> controls);
// Sets a check box from code and runs its click procedure also when the value
// does not change (a change runs it through the box's toggled signal).
void SetBox(QCheckBox* box, bool on, const std::function<void()>& clickProcedure);
} // namespace DialogControls

#pragma once
// A control's lost focus: the focus moves from it to another control of the
// program. Focus that goes to a message box, an input box or a pop-up (and
// comes back when it closes), or to another program, is not lost.
#include <QObject>

class QWidget;

class LostFocusFilter final : public QObject {
    Q_OBJECT
public:
    // Watches the control for its life; the control owns the filter.
    explicit LostFocusFilter(QWidget* control);

Q_SIGNALS:
    void LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

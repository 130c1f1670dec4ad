#pragma once
// A form's activation: its first showing, and each return to it from another
// window of the program. Coming back from a message box, an input box or a menu,
// or from another program, is no activation.
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

class ActivationFilter final : public QObject {
    Q_OBJECT
public:
    // Watches the form for its life; the form owns the filter.
    explicit ActivationFilter(QWidget* form);

Q_SIGNALS:
    void Activated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusWindowChanged(QWindow* window);

    QWidget* m_form;
    bool m_shown = false;
    bool m_left = false;
};

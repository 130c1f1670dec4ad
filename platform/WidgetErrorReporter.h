#pragma once
// The running program's error reporter: each report opens a box that does not
// block the event loop, so the FTP engine keeps serving while it is open. Only a
// few boxes are open at once; reports beyond that go to standard error. Each
// box takes input also while a modal dialog is open, and boxes open at once
// stand apart.
#include "core/ErrorReporter.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QMessageBox;

class WidgetErrorReporter final : public QObject, public ErrorReporter {
    Q_OBJECT
public:
    static constexpr int DefaultMaxOpen = 5;

    explicit WidgetErrorReporter(int maxOpen = DefaultMaxOpen, QObject* parent = nullptr);
    ~WidgetErrorReporter() override;

    void show(const QString& text) override;

    // Boxes still open on screen.
    int OpenCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forgetClosed();

    int m_maxOpen;
    QList<QPointer<QMessageBox>> m_open;
};

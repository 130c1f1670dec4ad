#pragma once
// SIGTERM, SIGINT and SIGHUP (a session that ends, a service manager that
// stops the program, Ctrl+C) arrive as a signal on the event loop, so the
// program ends through its ordinary closing steps.
#include <QObject>

class QSocketNotifier;

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void Received(int signal);

private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
};

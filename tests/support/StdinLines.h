#pragma once
// Requests for a test host, one per line on standard input. The host ends
// when its input closes, that is when the test that started it has gone.
#include <QObject>
#include <QSocketNotifier>
#include <functional>

class StdinLines : public QObject {
public:
    // Calls onLine with every non-empty line, trimmed.
    explicit StdinLines(std::function<void(const QString&)> onLine, QObject* parent = nullptr);

private:
    void readSome();

    std::function<void(const QString&)> m_onLine;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
};

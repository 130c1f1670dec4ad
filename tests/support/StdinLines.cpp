#include "tests/support/StdinLines.h"

#include <QCoreApplication>
#include <unistd.h>

StdinLines::StdinLines(std::function<void(const QString&)> onLine, QObject* parent)
    : QObject(parent), m_onLine(std::move(onLine)), m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &StdinLines::readSome);
}

void StdinLines::readSome()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        m_notifier.setEnabled(false);
        QCoreApplication::quit();
        return;
    }
    m_pending.append(buffer, n);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!line.isEmpty())
            m_onLine(line);
    }
}

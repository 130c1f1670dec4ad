#include "LoopbackClient.h"

#include <QHostAddress>
#include <QTest>

LoopbackClient::LoopbackClient(quint16 port, const QString& from, QObject* parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        m_buffer += m_socket.readAll();
        qsizetype at;
        while ((at = m_buffer.indexOf("\r\n")) >= 0) {
            lines.append(QString::fromLatin1(m_buffer.left(at)));
            m_buffer.remove(0, at + 2);
        }
    });
    m_socket.bind(QHostAddress(from));
    m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
}

void LoopbackClient::send(const QString& line)
{
    m_socket.write(line.toLatin1() + "\r\n");
}

bool LoopbackClient::waitFor(const QString& codePrefix, int timeoutMs)
{
    auto seen = [&] {
        for (const QString& l : lines)
            if (l.startsWith(codePrefix + QLatin1Char(' ')))
                return true;
        return false;
    };
    return QTest::qWaitFor(seen, timeoutMs);
}

QString LoopbackClient::login(const QString& user, const QString& pass)
{
    waitFor(QStringLiteral("220"));
    lines.clear();
    send(QStringLiteral("USER ") + user);
    if (!QTest::qWaitFor([&] { return !lines.isEmpty() && lines.last().mid(3, 1) == QLatin1String(" "); }, 5000))
        return {};
    lines.clear();
    send(QStringLiteral("PASS ") + pass);
    const bool replied = QTest::qWaitFor([&] {
        for (const QString& l : lines)
            if (l.size() > 3 && l.at(3) == QLatin1Char(' '))
                return true;
        return false;
    }, 5000);
    if (!replied)
        return {};
    for (const QString& l : lines)
        if (l.size() > 3 && l.at(3) == QLatin1Char(' '))
            return l;
    return {};
}

#pragma once
// A minimal FTP control connection for tests that run the engine in the same
// event loop: it sends command lines and collects reply lines.
#include <QObject>
#include <QStringList>
#include <QTcpSocket>

class LoopbackClient : public QObject {
    Q_OBJECT
public:
    // from: the loopback address the connection comes from.
    explicit LoopbackClient(quint16 port, const QString& from = QStringLiteral("127.0.0.1"),
                            QObject* parent = nullptr);
    void send(const QString& line);
    // Waits (processing events, bounded) until a final reply line starting
    // with the code arrives; true when it did.
    bool waitFor(const QString& codePrefix, int timeoutMs = 5000);
    // USER, PASS and the wait for the final reply; the reply line.
    QString login(const QString& user, const QString& pass);
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    void close() { m_socket.abort(); }
    QStringList lines;

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

#pragma once
// The session's one data connection: prepared by PASV/EPSV (we listen) or
// PORT/EPRT (we connect), opened when a transfer needs it. Only the control
// connection's peer may connect to our listener; anyone else is dropped.
#include "engine/DataAddress.h"
#include "engine/UniqueFd.h"

#include <QObject>
#include <memory>

class QSocketNotifier;
class PassiveListener;

class DataChannel : public QObject {
    Q_OBJECT
public:
    DataChannel(const QHostAddress& controlPeer, QObject* parent);
    ~DataChannel() override;

    // Listens on the given local address; 0 when no port could be had.
    quint16 listen(const QHostAddress& local);
    void connectLater(const DataAddress& target, const QHostAddress& local);
    bool prepared() const { return m_mode != Mode::None; }

    // Starts (or goes on) getting the connection; connected() or failed()
    // follows, always from the event loop.
    void open();
    // The connected socket, handed over to a transfer.
    UniqueFd take();

Q_SIGNALS:
    void connected();
    void failed(const QString& reason);

private:
    enum class Mode { None, Passive, Active };
    void accepted(int fd);
    void connectFinished();
    void fail(const QString& reason);

    QHostAddress m_peer;
    Mode m_mode = Mode::None;
    bool m_opening = false;
    std::unique_ptr<PassiveListener> m_listener;
    DataAddress m_target;
    QHostAddress m_local;
    UniqueFd m_socket;
    bool m_socketReady = false;
    QSocketNotifier* m_connectWatch = nullptr;
};

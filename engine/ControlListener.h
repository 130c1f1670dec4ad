#pragma once
// The listening socket: Qt's server accepts (with its listen queue, both
// address families and its pause after an accept error), and hands each new
// connection over as a bare non-blocking descriptor, so that no per-connection
// Qt socket ever joins the event loop's poll set.
#include "engine/UniqueFd.h"

#include <QTcpServer>
#include <deque>

class ControlListener final : public QTcpServer {
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;

    // The next connection accepted and not yet taken; invalid when none waits.
    UniqueFd take();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    std::deque<UniqueFd> m_accepted;
};

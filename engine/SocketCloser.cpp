#include "engine/SocketCloser.h"

#include "engine/ControlConnection.h"

namespace {
constexpr int GraceMs = 10'000;
}

void SocketCloser::close(std::unique_ptr<ControlConnection> connection, QObject* owner)
{
    connection->setHandler({});
    connection->discardInput();
    // Reset by the client: nothing can be sent any more.
    if (connection->broken())
        return;
    if (connection->bytesToWrite() == 0 && (connection->atEnd() || connection->unread() == 0)) {
        // Nothing left either way: a plain close sends every reply.
        connection->shutdownWrite();
        return;
    }
    new SocketCloser(std::move(connection), owner);
}

SocketCloser::SocketCloser(std::unique_ptr<ControlConnection> connection, QObject* owner)
    : QObject(owner), m_connection(std::move(connection))
{
    m_connection->setHandler([this] { step(); });
    m_grace.setSingleShot(true);
    connect(&m_grace, &QTimer::timeout, this, &SocketCloser::done);
    m_grace.start(GraceMs);
    step();
}

SocketCloser::~SocketCloser() = default;

void SocketCloser::step()
{
    if (!m_connection)
        return;
    m_connection->discardInput();
    if (m_connection->broken()) {
        done();
        return;
    }
    if (!m_shut && m_connection->bytesToWrite() == 0) {
        m_shut = true;
        m_connection->shutdownWrite();
    }
    if (m_shut && m_connection->atEnd())
        done();
}

void SocketCloser::done()
{
    m_connection.reset();
    m_grace.stop();
    deleteLater();
}

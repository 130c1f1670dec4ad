#include "engine/TransferThreads.h"

#include <QThread>

#include <algorithm>

TransferThreads::TransferThreads() = default;

TransferThreads::~TransferThreads()
{
    for (QThread* t : std::as_const(m_threads)) {
        t->quit();
        t->wait(); // objects still there are deleted as the thread ends
        delete t;
    }
}

void TransferThreads::adopt(QObject* object)
{
    if (m_threads.isEmpty()) {
        const int count = std::clamp(QThread::idealThreadCount() / 2, 1, 4);
        for (int i = 0; i < count; ++i) {
            auto* t = new QThread;
            t->setObjectName(QStringLiteral("ftp-transfer-%1").arg(i));
            t->start();
            m_threads.append(t);
        }
    }
    object->moveToThread(m_threads.at(m_next));
    m_next = (m_next + 1) % int(m_threads.size());
}

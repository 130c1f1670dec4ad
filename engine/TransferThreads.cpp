#include "engine/TransferThreads.h"

#include <QThread>

#include <algorithm>

TransferThreads::TransferThreads() = default;

TransferThreads::~TransferThreads()
{
    for (const auto& t : m_threads) {
        t->quit();
        t->wait(); // objects still there are deleted as the thread ends
    }
}

void TransferThreads::adopt(QObject* object)
{
    if (m_threads.empty()) {
        const int count = std::clamp(QThread::idealThreadCount(), 1, 8);
        for (int i = 0; i < count; ++i) {
            auto t = std::make_unique<QThread>();
            t->setObjectName(QStringLiteral("ftp-transfer-%1").arg(i));
            t->start();
            m_threads.push_back(std::move(t));
        }
    }
    object->moveToThread(m_threads.at(m_next).get());
    m_next = (m_next + 1) % m_threads.size();
}

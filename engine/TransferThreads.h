#pragma once
// A few threads that move transfer bytes, so that many downloads use more
// than one core and the owner's thread (the console's windows) stays
// responsive during big transfers. Everything else, every notification
// included, stays on the owner's thread.
#include <memory>
#include <vector>

class QObject;
class QThread;

class TransferThreads {
public:
    TransferThreads();
    ~TransferThreads();

    // Moves a parentless object to the next thread in turn.
    void adopt(QObject* object);

private:
    std::vector<std::unique_ptr<QThread>> m_threads;
    size_t m_next = 0;
};

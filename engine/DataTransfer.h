#pragma once
// Moves the bytes of one transfer over a connected data socket, driven by
// socket readiness: a listing from memory, a file out (sendfile, with a
// plain copy where the kernel refuses it) or a file in. It may live on a
// transfer thread: start() runs there, lastProgress() may be read from any
// thread, and deleteLater() ends it at once.
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <memory>
#include <sys/types.h>

class QSocketNotifier;
class UploadClaim;

class DataTransfer : public QObject {
    Q_OBJECT
public:
    // Shortened: the file ended before the size the download announced.
    enum class Outcome { Done, PeerLost, LocalError, Shortened };

    explicit DataTransfer(UniqueFd socket);
    ~DataTransfer() override;

    void start();
    qint64 bytesMoved() const { return m_bytes; }
    // Monotonic milliseconds of the last progress (for the stall time-out).
    qint64 lastProgress() const { return m_lastProgress.load(std::memory_order_relaxed); }

Q_SIGNALS:
    void finished(DataTransfer::Outcome outcome);

protected:
    // Moves what it can without blocking; returns true while more is to come.
    virtual bool pump() = 0;
    virtual bool wantsRead() const { return false; }
    void progressed(qint64 bytes);
    void fail(Outcome outcome) { m_outcome = outcome; }
    int socket() const { return m_socket.get(); }

private:
    void activated();

    UniqueFd m_socket;
    QSocketNotifier* m_notifier = nullptr;
    qint64 m_bytes = 0;
    std::atomic<qint64> m_lastProgress;
    Outcome m_outcome = Outcome::Done;
    bool m_done = false;
};

// Owns a transfer that may live on another thread: its own thread deletes it.
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};
using TransferPtr = std::unique_ptr<DataTransfer, DeleteLater>;

class BufferSender : public DataTransfer {
public:
    BufferSender(UniqueFd socket, QByteArray data);

protected:
    bool pump() override;

private:
    QByteArray m_data;
    qsizetype m_sent = 0;
};

class FileSender : public DataTransfer {
public:
    // From offset to the file's end, which must lie at end or later.
    FileSender(UniqueFd socket, UniqueFd file, off_t offset, off_t end);

protected:
    bool pump() override;

private:
    bool copy();
    bool ended();
    UniqueFd m_file;
    off_t m_offset;
    off_t m_end;
    bool m_useSendfile = true;
    QByteArray m_buffer;
    qsizetype m_pending = 0; // bytes of m_buffer not yet sent (plain copy)
    qsizetype m_pendingAt = 0;
};

class FileReceiver : public DataTransfer {
public:
    // Holds the claim on the file until the file is closed.
    FileReceiver(UniqueFd socket, UniqueFd file, std::unique_ptr<UploadClaim> claim);
    ~FileReceiver() override;

protected:
    bool pump() override;
    bool wantsRead() const override { return true; }

private:
    bool copy();
    bool splice();

    std::unique_ptr<UploadClaim> m_claim; // released after m_file is closed
    UniqueFd m_file;
    QByteArray m_buffer;
    // socket -> pipe -> file inside the kernel, where the file allows it
    bool m_useSplice;
    UniqueFd m_pipeOut;
    UniqueFd m_pipeIn;
    qsizetype m_inPipe = 0;
};

#pragma once
// Moves the bytes of one transfer over a connected data socket, driven by
// socket readiness: a listing as it is made, a file out (sendfile, with a
// plain copy where the kernel refuses it) or a file in. It may live on a
// transfer thread: start() and cancel() run there, bytesMoved() and
// lastProgress() may be read from any thread, and deleteLater() ends it at
// once.
#include "engine/UniqueFd.h"
#include "engine/UploadFile.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <atomic>
#include <memory>
#include <sys/types.h>

class QSocketNotifier;

class DataTransfer : public QObject {
    Q_OBJECT
public:
    // Shortened: the file ended before the size the download announced.
    // Cancelled: ended by the session (abort, stall).
    enum class Outcome { Done, PeerLost, LocalError, Shortened, Cancelled };

    explicit DataTransfer(UniqueFd socket);
    ~DataTransfer() override;

    void start();
    // Ends the transfer now; it reports its end as any other.
    void cancel();
    // Once the end is reported: an upload's file, still claimed, for the
    // session to act on before it lets the claim go; else null.
    virtual std::unique_ptr<UploadFile> takeFile();
    qint64 bytesMoved() const { return m_bytes.load(std::memory_order_relaxed); }
    // Monotonic milliseconds of the last progress (for the stall time-out).
    qint64 lastProgress() const { return m_lastProgress.load(std::memory_order_relaxed); }

Q_SIGNALS:
    void finished(DataTransfer::Outcome outcome);

protected:
    // Moves what it can without blocking; returns true while more is to come.
    virtual bool pump() = 0;
    // While there is nothing to send, the socket is not watched.
    void pause(bool paused);
    virtual bool wantsRead() const { return false; }
    // Once, when no more bytes move, before the end is reported.
    virtual void concluded() {}
    // Once, right after the end is reported.
    virtual void reported() {}
    void progressed(qint64 bytes);
    void fail(Outcome outcome) { m_outcome = outcome; }
    Outcome outcome() const { return m_outcome; }
    int socket() const { return m_socket.get(); }
    // Sends what the socket takes of the bytes, counted as progress: how many
    // went, 0 when it takes none now, -1 when the client is lost (failed).
    qsizetype sendSome(const char* data, qsizetype size);

private:
    void activated();
    void end();

    UniqueFd m_socket;
    QSocketNotifier* m_notifier = nullptr;
    std::atomic<qint64> m_bytes = 0;
    std::atomic<qint64> m_lastProgress;
    Outcome m_outcome = Outcome::Done;
    bool m_done = false;
};

// Owns a transfer that may live on another thread: its own thread deletes it.
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};
using TransferPtr = std::unique_ptr<DataTransfer, DeleteLater>;

// A listing, sent as the session makes its lines: they come from the
// session's thread, and no more than `capacity` bytes wait here at a time.
class ListingSender : public DataTransfer {
    Q_OBJECT
public:
    ListingSender(UniqueFd socket, qsizetype capacity);

    // On the session's thread. True while there is room for more lines;
    // otherwise false, and wantsMore follows once most have gone out.
    bool hasRoom();
    void feed(QByteArray lines);
    // After the last lines: the listing ends once they are out.
    void close();

Q_SIGNALS:
    void wantsMore();

protected:
    bool pump() override;

private:
    void take(QByteArray lines);
    void closed();

    const qsizetype m_capacity;
    std::atomic<qsizetype> m_waiting = 0; // fed, not yet sent
    std::atomic<bool> m_hungry = false;   // the session waits for room
    // On the transfer's thread.
    QList<QByteArray> m_queue;
    qsizetype m_sent = 0; // of the queue's first piece
    bool m_closed = false;
};

class FileSender : public DataTransfer {
public:
    // From offset to end, no further: the bytes the download announced, of
    // the file it opened. A file that ends before end fails it.
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
    // The file is put in place when the transfer ends, whatever its outcome.
    FileReceiver(UniqueFd socket, std::unique_ptr<UploadFile> file);
    ~FileReceiver() override;

    std::unique_ptr<UploadFile> takeFile() override;

protected:
    bool pump() override;
    bool wantsRead() const override { return true; }
    void concluded() override;
    void reported() override;

private:
    int file() const;

    std::unique_ptr<UploadFile> m_file;
    RetiredFile m_retired;
    QByteArray m_buffer;
};

#pragma once
// Opening the program's own files so that nothing can block: a FIFO, a device
// or a socket found where a file belongs is refused, never waited on, and a
// folder is refused as well. One server thread serves every session; an open
// that waits for a FIFO's other end would stop them all.
#include <QByteArray>
#include <QString>
#include <sys/types.h>

// The error a refused special file gives in place of an errno value.
inline constexpr int NotRegularFile = -1;
QString NotRegularFileText();
// The description of an errno value or of NotRegularFile.
QString FileErrorText(int err);

// Opens the path with open(2)'s flags (O_NONBLOCK, O_NOCTTY and O_CLOEXEC are
// added) and returns the descriptor of a regular file. Otherwise -1, with the
// reason in err: an errno value, EISDIR for a folder, NotRegularFile for
// anything else. On a regular file O_NONBLOCK changes nothing.
int OpenRegularFile(const QByteArray& path, int flags, mode_t mode, int& err);

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    // Closes now; the close's own error (0 when fine).
    int reset(int fd = -1);

private:
    int m_fd;
};

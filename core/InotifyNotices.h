#pragma once
// Reading the notices waiting on a non-blocking inotify descriptor.
#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

// Hands every waiting notice to take, which returns false once what the
// caller keeps can no longer be trusted. False then, or when the descriptor
// failed: the caller starts again. True when every waiting notice was read.
template <class Take>
bool ReadNotices(int fd, Take&& take)
{
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return true;
        if (n <= 0)
            return false;
        for (ssize_t at = 0; at < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + ev->len);
            if (!take(*ev))
                return false;
        }
    }
}

#pragma once
// What tells one state of a file or folder from another, for the remembered
// listings and contents: device, inode, size, modification and change times.
#include <QString>
#include <ctime>
#include <functional>
#include <sys/stat.h>

struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    mode_t mode = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const FileIdentity& o) const;
};

FileIdentity IdentityOf(const struct stat& st);
// False when the path cannot be looked at.
bool IdentityOf(const QString& path, FileIdentity& id);

// The time a remembered state is dated by.
timespec RememberClockNow();
// True when the state's last change lies so far before the moment it was
// read that a later change cannot carry the same times (time stamps move in
// steps of a few milliseconds on local disks, of seconds on some others).
bool SettledBefore(const FileIdentity& id, const timespec& readAt);

// The clock the remembered states are dated by, and forgets them all; tests
// move it forward. Empty restores the real clock.
void SetRememberClock(std::function<timespec()> clock);
// Called by each cache to be told when the clock changes.
void OnRememberClockChange(std::function<void()> forget);

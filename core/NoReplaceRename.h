#pragma once
// Moving a file or folder to a new name without ever replacing what already
// holds that name, on every file system, for the core's logs and the engine's
// RNFR/RNTO alike. Native paths or names; no case resolution.
#include <QString>

// How the name is claimed. Each method is tried only where the ones before it
// are not supported by the file system.
enum class NoReplaceMethod {
    // renameat2 with RENAME_NOREPLACE: atomic.
    Flag,
    // link() to the new name, then unlink() of the old one: atomic where the
    // file system has hard links (not for folders).
    HardLink,
    // Where neither works (some FUSE and network mounts, FAT): the new name is
    // claimed by creating an empty placeholder exclusively (O_EXCL, or mkdir
    // for a folder), then the source is renamed over that placeholder. An
    // existing file or folder is never replaced; the placeholder is removed
    // when the rename fails.
    Placeholder,
};

// 0 on success, else the errno of the failure (EEXIST when the target exists).
// first is the first method tried (tests start further down the list).
int NoReplaceRename(const QString& from, const QString& to, NoReplaceMethod first = NoReplaceMethod::Flag);
// The same for names relative to open folders (or AT_FDCWD), as the *at calls take them.
int NoReplaceRenameAt(int fromFolder, const char* from, int toFolder, const char* to,
                      NoReplaceMethod first = NoReplaceMethod::Flag);

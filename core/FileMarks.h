#pragma once
// Marks for the files the program keeps open, or whose content it remembers,
// from one FTP event to the next. A file's mark moves whenever the kernel's
// change notices (inotify) name it: created, deleted or renamed, and written
// or truncated when its content was asked for. It moves too when its folder,
// or a folder above, is moved or deleted, and when notices were lost. A
// descriptor or a value kept together with a mark is good exactly while the
// mark stands. Asking for a mark first reads every notice queued so far, so a
// change made before the question is never missed (see FileInstant below for
// the one exception).
#include <QString>
#include <optional>

enum class MarkOf {
    Name,    // the file's place: created, deleted, renamed, replaced
    Content, // the above, and its bytes or attributes changed in place
};

// The mark of the file at path, its name matched without regard to letter
// case. No value when its folder cannot be watched (missing, on a network file
// system whose other hosts send no notices, no notices to be had): nothing
// may then be kept. Safe from any thread.
std::optional<quint64> FileMark(const QString& path, MarkOf kind = MarkOf::Name);

// One FTP notification takes the files as they were when it began: while a
// FileInstant lives on a thread, the notices are read at its first question
// only, not at every one. A change made behind the program's back during the
// notification is seen by the next one, as if made just after it; a client
// can only order its own changes before or after a whole notification. The
// program's own changes are seen at once (NoteOwnFileChange).
class FileInstant {
public:
    FileInstant();
    ~FileInstant();
    FileInstant(const FileInstant&) = delete;
    FileInstant& operator=(const FileInstant&) = delete;
};

// Told by every rename, removal, creation and replacement of the program's
// own: the next question reads the notices again.
void NoteOwnFileChange();

// The notification under way on this thread, a number no other one has; 0
// outside any. What holds for the whole notification (the application
// folder, the time zone) is looked up once for it.
quint64 CurrentFileInstant();

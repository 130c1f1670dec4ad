#pragma once
// The file an upload writes. A plain upload writes beside its name, in an
// unnamed file where the file system offers one (else in a hidden temporary,
// ".<name>.quayport-upload-XXXXXX"), and is put in place when it ends, whole
// or broken: a reader meanwhile gets the old file whole, a broken upload
// leaves what arrived at the name for the client to resume, and a crash
// leaves at most a hidden temporary. A resumed (REST) or appending upload
// writes in place. It holds the upload's claim on its place until it goes.
#include "engine/PathBeneath.h"
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <memory>

class OpenUploads;
class UploadClaim;

// The old file a replacing upload has put aside under a hidden name; removed
// when this goes. Removing a large file takes a while (its blocks are freed,
// perhaps discarded), so the upload's end is told first.
class RetiredFile {
public:
    RetiredFile() = default;
    RetiredFile(int folder, QByteArray name);
    RetiredFile(RetiredFile&&) = default;
    RetiredFile& operator=(RetiredFile&& other) noexcept;
    ~RetiredFile();

private:
    void remove();
    UniqueFd m_folder;
    QByteArray m_name;
};

class UploadFile {
public:
    enum class Mode {
        Replace,      // beside the name, unnamed where the file system can
        ReplaceNamed, // beside the name, always under a hidden temporary name
        Append,       // in place, at the end (created when missing)
        Resume,       // in place, cut at the offset and written from there
    };
    enum class Refusal { None, Busy, CannotCreate };

    // Null when another upload writes that place (Busy) or the file cannot be
    // opened as a regular file (CannotCreate). Never blocks on a special file.
    static std::unique_ptr<UploadFile> open(Beneath::Place place, Mode mode, qint64 offset, OpenUploads& uploads,
                                            Refusal& refusal);
    ~UploadFile(); // finishes, then gives up the claim
    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    int fd() const { return m_fd.get(); }
    // Closes the file and puts it in place; false when either failed. Only
    // the first call acts.
    bool finish();
    // After finish: removes the file this upload wrote, while its name still
    // holds that very file and it is still empty.
    bool removeIfEmpty();
    // After finish: the old file it replaced, for its caller to remove later.
    RetiredFile takeRetired() { return std::move(m_retired); }

    // A name this class gives its hidden temporaries (listings leave them out).
    static bool isTemporaryName(const QByteArray& name);

private:
    UploadFile(Beneath::Place place, std::unique_ptr<UploadClaim> claim);
    bool openInPlace(Mode mode, qint64 offset, Refusal& refusal);
    bool openBeside(bool unnamed, const struct stat* old);
    bool linkUnnamed();
    bool putInPlace(const QByteArray& temporary);

    Beneath::Place m_place;
    std::unique_ptr<UploadClaim> m_claim;
    UniqueFd m_fd;
    QByteArray m_temporary; // the hidden name written to, if any
    RetiredFile m_retired;
    bool m_unnamed = false;
    bool m_finished = false;
    bool m_ok = true;
    // The file as it was put in place: its inode, and its change time, so
    // that a new file that got the number of a removed one is not taken for it.
    struct stat m_written {};
};

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

    // A name this class gives its hidden temporaries (listings leave them out).
    static bool isTemporaryName(const QByteArray& name);

private:
    UploadFile(Beneath::Place place, std::unique_ptr<UploadClaim> claim);
    bool openInPlace(Mode mode, qint64 offset, Refusal& refusal);
    bool openBeside(bool unnamed, const struct stat* old);
    bool linkUnnamed();

    Beneath::Place m_place;
    std::unique_ptr<UploadClaim> m_claim;
    UniqueFd m_fd;
    QByteArray m_temporary; // the hidden name written to, if any
    bool m_unnamed = false;
    bool m_finished = false;
    bool m_ok = true;
    // The file as it was put in place: its inode, and its change time, so
    // that a new file that got the number of a removed one is not taken for it.
    struct stat m_written {};
};

// The anonymous log answers from its remembered addresses exactly as a full
// read of the file would, whatever happened to the file between logins.
#include "core/AnonymousAddresses.h"
#include "core/AnsiCodec.h"
#include "core/Preparation.h"
#include "core/ServerLog.h"
#include "core/TextFile.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QFile>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

// The log after a login that gave this address, as a read of the whole
// file decides it.
std::optional<QByteArray> FullScan(const std::optional<QByteArray>& before, const QString& address)
{
    if (before) {
        QList<QByteArray> lines = before->split('\n');
        if (lines.last().isEmpty())
            lines.removeLast(); // after the last line break
        for (QByteArray line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (FromAnsi(line).toUpper().trimmed() == OneLineField(address).toUpper().trimmed())
                return before;
        }
    }
    return before.value_or(QByteArray()) + ToAnsi(OneLineField(address)) + "\r\n";
}

timespec ChangeTime(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ctim;
}

// Changes the log behind the program's back: "append X", "write X" (in
// place, from its start), "rewrite X" (cut and written), "replace X" (by a
// rename), "remove", or "tick":
// waits until the file system's clock has stepped past the log's last change
// (an edit of the same size within one step cannot be told from none).
void Edit(const TempAppFolder& home, const QString& path, const QString& edit)
{
    const QByteArray text = edit.section(' ', 1).toLatin1();
    if (edit.startsWith("append") || edit.startsWith("write")) {
        QFile f(path);
        ASSERT_TRUE(f.open(edit.startsWith("append") ? QIODevice::Append : QIODevice::ReadWrite));
        f.write(text);
    } else if (edit.startsWith("rewrite")) {
        home.write("/logs/anonymous_passwords.txt", text);
    } else if (edit.startsWith("replace")) {
        home.write("/logs/new", text);
        ASSERT_EQ(::rename(QFile::encodeName(home.file("/logs/new")), QFile::encodeName(path)), 0);
    } else if (edit == "remove") {
        ASSERT_TRUE(QFile::remove(path));
    } else if (edit == "tick") {
        const timespec last = ChangeTime(path);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        for (timespec now = last; now.tv_sec == last.tv_sec && now.tv_nsec == last.tv_nsec;) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the file system clock did not move";
            std::this_thread::yield();
            home.write("/tick", "x");
            now = ChangeTime(home.file("/tick"));
        }
    }
}

} // namespace

TEST(AnonymousLog, RememberedAddressesAnswerAsAFullReadWould)
{
    const struct {
        const char* what;
        const char* start; // the log before, nullptr when there is none
        QStringList steps; // a login's address, or "!" and an edit
        qint64 reads;      // whole reads of the log over the sequence
    } sequences[] = {
        {"created here", nullptr, {"me@x.org", " ME@X.ORG  ", "you@y", "me@x.org", "", " ", "you@Y"}, 0},
        {"header only", "*** 1.0.3 Email addresses from anonymous users ***\r\n",
         {"a@b", "A@B", ModMain::AnonymousLogHeader, "c@d"}, 1},
        {"appended behind its back", "a@b\r\n", {"x@y", "!append late@z\r\n", "LATE@z", "new@z", "new@z"}, 2},
        {"edited in place, same size", "a@b\r\n", {"c@d", "!tick", "!write q@r", "a@b", "q@r"}, 2},
        {"rewritten shorter", "a@b\r\n", {"c@d", "!rewrite c@d\r\n", "a@b", "c@d"}, 2},
        // The old inode may be reused, with the same size: the clock tells them apart.
        {"replaced by a rename, same size", "a@b\r\n", {"c@d", "!tick", "!replace x@y\r\nc@d\r\n", "a@b", "X@Y"}, 2},
        {"removed", "a@b\r\n", {"a@b", "!remove", "a@b", "A@b"}, 1},
        {"an empty line matches the empty address", "x@y\r\n\r\nz\n", {"", "  ", "Z", "w"}, 1},
        {"line breaks within the address", nullptr, {"a\r\nb", "A  B", "a\nb"}, 0},
        {"no final line break", "a@b\r\nlast@c", {"LAST@C", "d@e", "last@c", "last@cd@e"}, 2},
    };
    for (const auto& s : sequences) {
        SCOPED_TRACE(s.what);
        TempAppFolder home;
        InstalledDoubles doubles;
        const QString log = home.file("/logs/anonymous_passwords.txt");
        if (s.start)
            home.write("/logs/anonymous_passwords.txt", s.start);
        const qint64 reads = AnonymousAddresses().Loads();
        for (const QString& step : s.steps) {
            SCOPED_TRACE(step.toStdString());
            if (step.startsWith('!')) {
                Edit(home, log, step.mid(1));
                continue;
            }
            const auto content = [&] {
                return QFile::exists(log) ? std::optional(home.read("/logs/anonymous_passwords.txt")) : std::nullopt;
            };
            const std::optional<QByteArray> expected = FullScan(content(), step);
            ModMain::WriteAnonymousLog(step);
            EXPECT_EQ(content(), expected);
        }
        EXPECT_EQ(AnonymousAddresses().Loads() - reads, s.reads);
        EXPECT_TRUE(doubles.errors->reports.isEmpty());
    }
}

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
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

const QString Log = QStringLiteral("/logs/anonymous_passwords.txt");

// The file after a login that gave this address, as reading the whole file
// decides it.
std::optional<QByteArray> FullScan(const std::optional<QByteArray>& before, const QString& address)
{
    const QString entry = OneLineField(address);
    if (before) {
        QList<QByteArray> lines = before->split('\n');
        if (lines.last().isEmpty())
            lines.removeLast();
        for (QByteArray line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (FromAnsi(line).toUpper().trimmed() == entry.toUpper().trimmed())
                return before;
        }
    }
    return before.value_or(QByteArray()) + ToAnsi(entry) + "\r\n";
}

std::optional<QByteArray> Content(const TempAppFolder& home, const QString& tail)
{
    if (!home.exists(tail))
        return std::nullopt;
    return home.read(tail);
}

timespec ChangeTime(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ctim;
}

// Until the file system's clock has stepped past the file's last change: an
// edit of the same size within one step cannot be told from none.
void NextTimestamp(const TempAppFolder& home)
{
    const timespec last = ChangeTime(home.file(Log));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        home.write(QStringLiteral("/tick"), "x");
        const timespec now = ChangeTime(home.file(QStringLiteral("/tick")));
        if (now.tv_sec != last.tv_sec || now.tv_nsec != last.tv_nsec)
            return;
        std::this_thread::yield();
    }
    FAIL() << "the file system clock did not move";
}

void Append(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
}

} // namespace

TEST(AnonymousLog, RememberedAddressesAnswerAsAFullReadWould)
{
    using Edit = std::function<void(const TempAppFolder&)>;
    struct Step {
        const char* address; // a login's address, or nullptr for the edit
        Edit edit = {};
    };
    struct Sequence {
        const char* what;
        std::optional<QByteArray> start;
        std::vector<Step> steps;
        qint64 reads; // whole reads of the file over the sequence
    };
    const auto write = [](const char* bytes) {
        return [=](const TempAppFolder& h) { h.write(Log, bytes); };
    };
    const auto appendBehind = [](const char* bytes) {
        return [=](const TempAppFolder& h) { Append(h.file(Log), bytes); };
    };
    const QByteArray header = QByteArray(ModMain::AnonymousLogHeader) + "\r\n";
    const Sequence sequences[] = {
        {"new and repeated, created here", std::nullopt,
         {{"me@x.org"}, {" ME@X.ORG  "}, {"you@y"}, {"me@x.org"}, {""}, {" "}, {"you@Y"}},
         0},
        {"header only", header, {{"a@b"}, {"A@B"}, {ModMain::AnonymousLogHeader}, {"c@d"}}, 1},
        {"appended behind its back", QByteArray("a@b\r\n"),
         {{"x@y"}, {nullptr, appendBehind("late@z\r\n")}, {"LATE@z"}, {"new@z"}, {"new@z"}},
         2},
        {"edited in place, same size",
         QByteArray("a@b\r\n"),
         {{"c@d"},
          {nullptr, [](const TempAppFolder& h) { NextTimestamp(h); }},
          {nullptr,
           [](const TempAppFolder& h) {
               QFile f(h.file(Log));
               ASSERT_TRUE(f.open(QIODevice::ReadWrite));
               f.write("q@r");
           }},
          {"a@b"},
          {"q@r"}},
         2},
        {"rewritten shorter", QByteArray("a@b\r\n"), {{"c@d"}, {nullptr, write("c@d\r\n")}, {"a@b"}, {"c@d"}}, 2},
        {"replaced by a rename, same size",
         QByteArray("a@b\r\n"),
         {{"c@d"},
          {nullptr, [](const TempAppFolder& h) { NextTimestamp(h); }}, // the old inode may be reused
          {nullptr,
           [](const TempAppFolder& h) {
               h.write(QStringLiteral("/logs/new"), "x@y\r\nc@d\r\n");
               ASSERT_TRUE(QFile::remove(h.file(Log)));
               ASSERT_TRUE(QFile::rename(h.file(QStringLiteral("/logs/new")), h.file(Log)));
           }},
          {"a@b"},
          {"X@Y"}},
         2},
        {"removed", QByteArray("a@b\r\n"),
         {{"a@b"}, {nullptr, [](const TempAppFolder& h) { QFile::remove(h.file(Log)); }}, {"a@b"}, {"A@b"}},
         1},
        {"an empty line matches the empty address", QByteArray("x@y\r\n\r\nz\n"), {{""}, {"  "}, {"Z"}, {"w"}}, 1},
        {"line breaks within the address", std::nullopt, {{"a\r\nb"}, {"A  B"}, {"a\nb"}}, 0},
        {"no final line break", QByteArray("a@b\r\nlast@c"), {{"LAST@C"}, {"d@e"}, {"last@c"}, {"last@cd@e"}}, 2},
    };
    for (const Sequence& s : sequences) {
        SCOPED_TRACE(s.what);
        TempAppFolder home;
        InstalledDoubles doubles;
        if (s.start)
            home.write(Log, *s.start);
        const qint64 reads = AnonymousAddresses().Loads();
        for (const Step& step : s.steps) {
            if (!step.address) {
                step.edit(home);
                continue;
            }
            SCOPED_TRACE(step.address);
            const std::optional<QByteArray> expected = FullScan(Content(home, Log), QString::fromUtf8(step.address));
            ModMain::WriteAnonymousLog(QString::fromUtf8(step.address));
            EXPECT_EQ(Content(home, Log), expected);
        }
        EXPECT_EQ(AnonymousAddresses().Loads() - reads, s.reads);
        EXPECT_TRUE(doubles.errors->reports.isEmpty());
    }
}

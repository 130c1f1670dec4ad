#pragma once
// The addresses already in the anonymous log, remembered so that an anonymous
// login does not read the whole log: loaded once, kept in step with what the
// program appends, and loaded again when the file changed behind its back.
#include "core/FileIdentity.h"

#include <QSet>
#include <QString>
#include <optional>

class RecordedAddresses {
public:
    RecordedAddresses();

    // Whether a line of the log at path, upper-cased and trimmed, equals key;
    // no value when the log cannot be read (errorText says why).
    std::optional<bool> Contains(const QString& path, const QString& key, QString& errorText);
    // After the line holding key was appended (appended bytes, the file's
    // size after the append, -1 when it failed) to the log at path, which
    // existed before or was created by the append.
    void Appended(const QString& path, const QString& key, bool existed, qint64 appended, qint64 sizeAfter);
    void Forget();
    // How many times the log was read whole; tests count the reads.
    qint64 Loads() const { return m_loads; }

private:
    size_t hashOf(const QString& key) const;

    // Only the keys' seeded hashes are kept: a million addresses in a few
    // tens of MiB. Two addresses share one only by chance, about once in
    // 10^13 look-ups at that size, and the seed differs in each run.
    const size_t m_seed;
    QSet<size_t> m_keys;
    QString m_file;
    FileIdentity m_state; // of the file the keys were taken from
    // The log as asked for, and its change mark when the keys were taken
    // (FileMarks.h): while it stands, the file needs no look at all.
    QString m_path;
    std::optional<quint64> m_mark;
    bool m_known = false;
    bool m_endsWithinALine = false; // the next append joins the last line
    qint64 m_loads = 0;
};

// The program's one memory of the anonymous log, used on its one thread.
RecordedAddresses& AnonymousAddresses();

#pragma once
// Names in byte order, as many as a folder holds, in bounded memory. Names
// gather in a chunk; a full chunk is sorted and written to an unnamed
// temporary file as one run, and the runs are merged at the end, each read
// through a small buffer (together 128 KiB, but at least 512 bytes each).
// Names that fit one chunk never touch the disk; where no temporary file can
// be written they all stay in memory.
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

class SortedNames {
public:
    static constexpr qsizetype DefaultChunk = 128 * 1024;

    // chunkBytes: the memory the chunk may take before it goes to the disk.
    explicit SortedNames(qsizetype chunkBytes = DefaultChunk);
    ~SortedNames();
    SortedNames(const SortedNames&) = delete;
    SortedNames& operator=(const SortedNames&) = delete;

    // A name (no NUL in it).
    void add(QByteArrayView name);
    // After the last add: from here on next() hands them out.
    void finish();
    // The next name in byte order; false after the last.
    bool next(QByteArray& name);
    qint64 count() const { return m_count; }
    // Runs written to the disk so far.
    int runs() const { return int(m_runs.size()); }

private:
    // A sorted run on the disk, read through its buffer.
    struct Run {
        qint64 next = 0; // the part not yet read
        qint64 end = 0;
        QByteArray buffer;
        qsizetype at = 0;   // the current name in the buffer
        qsizetype size = 0; // its length
        qsizetype filled = 0;
    };
    bool spill();
    qsizetype held() const;
    bool load(int source);
    QByteArrayView head(int source) const;

    const qsizetype m_chunkBytes;
    qint64 m_count = 0;
    // The names in memory, each followed by a NUL, and where each begins.
    QByteArray m_chunk;
    std::vector<quint32> m_starts;
    std::size_t m_memoryAt = 0; // the memory run's next name, once sorted
    qsizetype m_runBuffer = 0;
    UniqueFd m_spill;
    qint64 m_spilled = 0;
    bool m_spillFailed = false;
    std::vector<Run> m_runs;
    std::vector<int> m_heap; // sources with a name to give, smallest first (runs, then memory)
};

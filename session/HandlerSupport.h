#pragma once
// Small pieces every handler shares: its report name, the mouse pointer put
// back on every path, and the failure it reports without a session record.
#include "core/ErrorReporter.h"
#include "core/FileNameBytes.h"
#include "core/ProcedureName.h"
#include "session/ConsoleServices.h"

#include <QString>
#include <sys/stat.h>

inline void ReportStep(const char* procedure, int step, const QString& description)
{
    ReportError(description, FrmMainProcedure(procedure), step);
}

// The session has no record (no login accepted, or "kill" after a refusal).
inline QString NoSessionRecordText()
{
    return QStringLiteral("Object variable or With block variable not set");
}

// The size of the regular file at a physical path the engine gives, whose
// name may hold bytes that are not UTF-8; -1 when there is none.
inline qint64 RegularFileSize(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(FileNameBytes::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

// Puts the console's mouse pointer back to the default when a handler ends.
class PointerRestorer {
public:
    explicit PointerRestorer(ConsoleServices& console) : m_console(console) {}
    ~PointerRestorer() { m_console.RestoreMousePointer(); }
    PointerRestorer(const PointerRestorer&) = delete;
    PointerRestorer& operator=(const PointerRestorer&) = delete;

private:
    ConsoleServices& m_console;
};

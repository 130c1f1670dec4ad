#pragma once
// Small pieces every handler shares: its report name, the mouse pointer put
// back on every path, and the failure it reports without a session record.
#include "core/ErrorReporter.h"
#include "core/ProcedureName.h"
#include "session/ConsoleServices.h"

#include <QString>

inline void ReportStep(const char* procedure, int step, const QString& description)
{
    ReportError(description, FrmMainProcedure(procedure), step);
}

// The session has no record (no login accepted, or "kill" after a refusal).
inline QString NoSessionRecordText()
{
    return QStringLiteral("Object variable or With block variable not set");
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

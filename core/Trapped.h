#pragma once
// The failure convention for one handler run: an unexpected error is reported
// ("in <Program.Object.Procedure> at line <step>") and the program carries on;
// nothing escapes into the event loop.
#include "core/ErrorReporter.h"
#include "core/ProgramError.h"

#include <QString>
#include <exception>

template <class Procedure>
void Trapped(const QString& where, int step, Procedure&& procedure)
{
    try {
        procedure();
    } catch (const ProgramError& e) {
        ReportError(e.description(), where, step);
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()), where, step);
    }
}

#pragma once
// The program's one error reporter. A trapped failure is reported as
// "<description>\nin <Program.Object.Procedure> at line <step>" and the
// procedure then carries on with its next step.
#include <QString>
#include <memory>

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // text is the full report, already formatted by ReportError.
    virtual void show(const QString& text) = 0;
};

// Formats the documented report text.
QString FormatErrorReport(const QString& description, const QString& where, int line);

// Reports through the installed reporter (standard error when none is installed).
void ReportError(const QString& description, const QString& where, int line);

// Installs a reporter for the whole process (null: standard error); returns
// the one it replaces.
std::shared_ptr<ErrorReporter> InstallErrorReporter(std::shared_ptr<ErrorReporter> reporter);

#include "core/ErrorReporter.h"

#include "core/ProcessState.h"

#include <cstdio>

namespace {

class StderrReporter final : public ErrorReporter {
public:
    void show(const QString& text) override
    {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
};

ErrorReporter& stderrReporter()
{
    static StderrReporter reporter;
    return reporter;
}

} // namespace

QString FormatErrorReport(const QString& description, const QString& where, int line)
{
    return description + QLatin1Char('\n') + QStringLiteral("in ") + where + QLatin1Char(' ')
        + QStringLiteral("at line ") + QString::number(line);
}

void ReportError(const QString& description, const QString& where, int line)
{
    // Held for the call: a box may let a test install another reporter meanwhile.
    const std::shared_ptr<ErrorReporter> reporter = ModMain::Process().Reporter;
    (reporter ? *reporter : stderrReporter()).show(FormatErrorReport(description, where, line));
}

std::shared_ptr<ErrorReporter> InstallErrorReporter(std::shared_ptr<ErrorReporter> reporter)
{
    return std::exchange(ModMain::Process().Reporter, std::move(reporter));
}

#include "core/ErrorReporter.h"

#include <cstdio>

namespace {

class StderrReporter final : public ErrorReporter {
public:
    void show(const QString& text) override
    {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
};

std::shared_ptr<ErrorReporter>& slot()
{
    static std::shared_ptr<ErrorReporter> reporter = std::make_shared<StderrReporter>();
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
    auto reporter = slot();
    if (reporter)
        reporter->show(FormatErrorReport(description, where, line));
}

std::shared_ptr<ErrorReporter> InstallErrorReporter(std::shared_ptr<ErrorReporter> reporter)
{
    if (!reporter)
        reporter = std::make_shared<StderrReporter>();
    std::swap(slot(), reporter);
    return reporter;
}

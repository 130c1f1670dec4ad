#include "platform/ProgramBoxes.h"

#include "core/ErrorReporter.h"
#include "core/MessageService.h"
#include "platform/WidgetErrorReporter.h"
#include "platform/WidgetMessageService.h"

#include <QGuiApplication>

ProgramBoxes::ProgramBoxes()
{
    if (Headless())
        return;
    InstallErrorReporter(std::make_shared<WidgetErrorReporter>());
    InstallMessageService(std::make_shared<WidgetMessageService>());
}

ProgramBoxes::~ProgramBoxes()
{
    InstallErrorReporter(nullptr);
    InstallMessageService(nullptr);
}

bool ProgramBoxes::Headless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

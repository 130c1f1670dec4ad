#pragma once
// The console's handlers report as "Quayport.frmMain.<procedure>".
#include "core/Trapped.h"

#include <QString>

inline QString ConsoleProcedure(const char* procedure)
{
    return QStringLiteral("Quayport.frmMain.") + QLatin1String(procedure);
}

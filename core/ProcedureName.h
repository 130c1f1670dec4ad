#pragma once
// "<Program>.<Object>.<Procedure>": the place a trapped failure is reported
// under (the report's "in ..."). Every report name is built here.
#include <QAnyStringView>
#include <QString>

inline QString ProcedureName(QAnyStringView program, QAnyStringView object, QAnyStringView procedure)
{
    return program.toString() + QLatin1Char('.') + object.toString() + QLatin1Char('.') + procedure.toString();
}

// A procedure of one of Quayport's own forms or modules.
inline QString QuayportProcedure(QAnyStringView object, QAnyStringView procedure)
{
    return ProcedureName(u"Quayport", object, procedure);
}

// The console window's procedures, which include the answers to the engine's notifications.
inline QString FrmMainProcedure(QAnyStringView procedure)
{
    return QuayportProcedure(u"frmMain", procedure);
}

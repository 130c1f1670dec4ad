#include "core/ProcessState.h"

namespace ModMain {

ServerSettings ServerConfig;
QString VersionText;
bool FirstRun = false;
AccountWorkingCopy CurrentAccount;
GroupWorkingCopy CurrentGroup;

QString ProgramVersionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(QUAYPORT_VERSION_MAJOR)
        .arg(QUAYPORT_VERSION_MINOR)
        .arg(QUAYPORT_VERSION_PATCH);
}

void ResetProcessState()
{
    ServerConfig = {};
    VersionText = ProgramVersionText();
    FirstRun = false;
    CurrentAccount = {};
    CurrentGroup = {};
}

} // namespace ModMain

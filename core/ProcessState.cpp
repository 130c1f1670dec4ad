#include "core/ProcessState.h"

#include "core/Blowfish.h"
#include "core/FileIdentity.h"

namespace ModMain {

namespace {
// A plain global, so that the names below are bound before any code runs.
ProcessState process;
} // namespace

ProcessState& Process()
{
    return process;
}

ServerSettings& ServerConfig = process.ServerConfig;
QString& VersionText = process.VersionText;
bool& FirstRun = process.FirstRun;
AccountWorkingCopy& CurrentAccount = process.CurrentAccount;
GroupWorkingCopy& CurrentGroup = process.CurrentGroup;

QString ProgramVersionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(QUAYPORT_VERSION_MAJOR)
        .arg(QUAYPORT_VERSION_MINOR)
        .arg(QUAYPORT_VERSION_PATCH);
}

void ResetProcessState()
{
    process = ProcessState{};
    process.VersionText = ProgramVersionText();
    modBlowFish::ResetKey();
    SetRememberClock({});
}

} // namespace ModMain

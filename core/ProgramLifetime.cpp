#include "core/ProgramLifetime.h"

#include "core/ProcessState.h"

#include <QCoreApplication>

namespace ProgramLifetime {

void End(int status)
{
    ModMain::LifetimeState& s = ModMain::Process().Lifetime;
    if (s.Ending)
        return;
    s.Ending = true;
    s.Status = status;
    if (s.Terminator)
        s.Terminator(status);
    else
        QCoreApplication::exit(status);
}

bool Ending()
{
    return ModMain::Process().Lifetime.Ending;
}

int ExitStatus()
{
    return ModMain::Process().Lifetime.Status;
}

void SetTerminator(std::function<void(int)> terminator)
{
    ModMain::Process().Lifetime.Terminator = std::move(terminator);
}

} // namespace ProgramLifetime

#include "tests/support/ProgramStart.h"

#include "core/Blowfish.h"
#include "core/ProcessState.h"

void StartLikeTheProgram()
{
    ModMain::ResetProcessState();
    modBlowFish::SetKey(QString::fromLatin1(ModMain::ProgramKeyText));
}

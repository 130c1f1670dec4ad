#include "core/ProgramLifetime.h"

#include <QCoreApplication>

namespace ProgramLifetime {

namespace {

struct State {
    bool ending = false;
    int status = 0;
    std::function<void(int)> terminator;
};

void leaveEventLoops(int status)
{
    QCoreApplication::exit(status);
}

State& state()
{
    static State s{false, 0, leaveEventLoops};
    return s;
}

} // namespace

void End(int status)
{
    State& s = state();
    if (s.ending)
        return;
    s.ending = true;
    s.status = status;
    if (s.terminator)
        s.terminator(status);
}

bool Ending()
{
    return state().ending;
}

int ExitStatus()
{
    return state().status;
}

void SetTerminator(std::function<void(int)> terminator)
{
    state().terminator = std::move(terminator);
}

void Reset()
{
    state() = State{false, 0, leaveEventLoops};
}

} // namespace ProgramLifetime

#include "console/ConsoleWindow.h"

#include "console/frmMain.h"
#include "core/ConsoleLog.h"
#include "platform/RowList.h"

#include <memory>

namespace {

struct Slot {
    std::unique_ptr<frmMain> window;
    frmMain* loading = nullptr; // the console while its start-up runs
    bool destroyed = false;
};

Slot& slot()
{
    static Slot s;
    return s;
}

} // namespace

frmMain& ConsoleWindow()
{
    Slot& s = slot();
    if (s.window)
        return *s.window;
    if (s.loading)
        return *s.loading;
    auto window = std::make_unique<frmMain>();
    // Anything the start-up writes to the console reaches this window, not a second one.
    s.loading = window.get();
    window->Form_Load();
    s.loading = nullptr;
    s.window = std::move(window);
    return *s.window;
}

frmMain* ConsoleWindowIfOpen()
{
    Slot& s = slot();
    return s.window ? s.window.get() : s.loading;
}

void DestroyConsoleWindow()
{
    Slot& s = slot();
    s.destroyed = s.destroyed || s.window != nullptr;
    s.window.reset();
}

void ForgetDestroyedConsoleWindow()
{
    DestroyConsoleWindow();
    slot().destroyed = false;
}

ConsoleWindowLifetime::ConsoleWindowLifetime()
{
    InstallConsoleLogProvider([]() -> ConsoleLogList* {
        if (slot().destroyed)
            return nullptr;
        return ConsoleWindow().lstServerLog;
    });
}

ConsoleWindowLifetime::~ConsoleWindowLifetime()
{
    InstallConsoleLogProvider({});
    DestroyConsoleWindow();
}

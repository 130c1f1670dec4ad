#include "console/ConsoleWindow.h"

#include "console/ConsoleProcess.h"
#include "console/frmMain.h"
#include "core/ConsoleLog.h"
#include "platform/RowList.h"
#include "session/LiveSessions.h"

#include <memory>

namespace {

// The dialogs' deletes close sessions on the console's engine; without a
// console there are none to close.
class ConsoleSessions final : public LiveSessions {
public:
    void CloseUserSessions(const QString& userName) override
    {
        if (frmMain* window = ConsoleWindowIfOpen())
            window->CloseUserSessions(userName);
    }
};

} // namespace

frmMain& ConsoleWindow()
{
    ConsoleProcessState& s = ConsoleProcess();
    if (s.Window)
        return *s.Window;
    if (s.Loading)
        return *s.Loading;
    auto window = std::make_unique<frmMain>();
    // Anything the start-up writes to the console reaches this window, not a second one.
    s.Loading = window.get();
    window->Form_Load();
    s.Loading = nullptr;
    s.Window = std::move(window);
    return *s.Window;
}

frmMain* ConsoleWindowIfOpen()
{
    ConsoleProcessState& s = ConsoleProcess();
    return s.Window ? s.Window.get() : s.Loading;
}

void DestroyConsoleWindow()
{
    ConsoleProcessState& s = ConsoleProcess();
    s.Destroyed = s.Destroyed || s.Window != nullptr;
    s.Window.reset();
}

ConsoleWindowLifetime::ConsoleWindowLifetime()
{
    InstallLiveSessions(std::make_shared<ConsoleSessions>());
    InstallConsoleLogProvider([]() -> ConsoleLogList* {
        if (ConsoleProcess().Destroyed)
            return nullptr;
        return ConsoleWindow().ServerLog();
    });
}

ConsoleWindowLifetime::~ConsoleWindowLifetime()
{
    InstallConsoleLogProvider({});
    InstallLiveSessions(nullptr);
    DestroyConsoleWindow();
}

// Putting the engine into service and taking it out again.
#include "session/SessionHandlers.h"

#include "core/Config.h"
#include "core/ProcessState.h"
#include "session/Greetings.h"
#include "session/NumberText.h"

#include <exception>

namespace {

struct StartFailed {};

qint16 SixteenBit(const std::optional<qint16>& value)
{
    if (!value)
        throw StartFailed{};
    return *value;
}

} // namespace

SessionHandlers::SessionHandlers(FtpEngine& engine, ConsoleServices& console)
    : FtpEngine1(engine), m_console(console), m_clock(&QDateTime::currentDateTime)
{
}

bool SessionHandlers::StartServer()
{
    using ModMain::ServerConfig;
    if (!ModMain::LoadConfig())
        return false;
    try {
        FtpEngine1.StopListening();
        FtpEngine1.SetListenPort(SixteenBit(ToInt16(ServerConfig.Port)));
        FtpEngine1.SetDefaultRoot(ServerConfig.ServerRoot);
        const std::optional<double> minutes = ParseDecimal(ServerConfig.IdleTimeout);
        FtpEngine1.SetIdleSeconds(SixteenBit(minutes ? ToInt16(*minutes * 60) : std::nullopt));
        ModMain::DefineGreetings(FtpEngine1, m_clock());
        FtpEngine1.VirtualFolderList().Clear();
        if (!FtpEngine1.StartListening())
            throw StartFailed{};
    } catch (const StartFailed&) {
        return startFailed();
    } catch (const std::exception&) {
        return startFailed();
    }
    m_console.ProcessEventsOnce();
    m_console.SetCommandEnabled(ServerCommand::MenuStart, false);
    m_console.SetCommandEnabled(ServerCommand::MenuStop, true);
    m_console.SetCommandEnabled(ServerCommand::TrayStart, false);
    m_console.SetCommandEnabled(ServerCommand::TrayStop, true);
    m_console.SetCommandEnabled(ServerCommand::ToolbarStop, true);
    m_console.SetCommandEnabled(ServerCommand::ToolbarStart, false);
    m_console.SetCommandEnabled(ServerCommand::ToolbarProperties, false);
    m_console.SetCommandEnabled(ServerCommand::MenuProperties, false);
    m_console.InfoLog(QStringLiteral("Quayport Started and waiting for connections."));
    return true;
}

// The menu items keep their state; the engine stays as the failing step left it.
bool SessionHandlers::startFailed()
{
    m_console.InfoLog(QStringLiteral("Quayport unable to start server engine."));
    m_console.SetCommandEnabled(ServerCommand::ToolbarStop, false);
    m_console.SetCommandEnabled(ServerCommand::ToolbarStart, true);
    m_console.SetCommandEnabled(ServerCommand::ToolbarProperties, true);
    m_console.SetCommandEnabled(ServerCommand::MenuProperties, true);
    return false;
}

bool SessionHandlers::StopServer()
{
    try {
        FtpEngine1.StopListening();
    } catch (const std::exception&) {
        m_console.SetCommandEnabled(ServerCommand::ToolbarStop, true);
        m_console.SetCommandEnabled(ServerCommand::ToolbarStart, false);
        m_console.SetCommandEnabled(ServerCommand::ToolbarProperties, false);
        m_console.SetCommandEnabled(ServerCommand::MenuProperties, false);
        m_console.InfoLog(QStringLiteral("Quayport experienced an error while stopping."));
        return false;
    }
    m_console.SetCommandEnabled(ServerCommand::MenuStart, true);
    m_console.SetCommandEnabled(ServerCommand::MenuStop, false);
    m_console.SetCommandEnabled(ServerCommand::TrayStart, true);
    m_console.SetCommandEnabled(ServerCommand::TrayStop, false);
    m_console.SetCommandEnabled(ServerCommand::ToolbarStop, false);
    m_console.SetCommandEnabled(ServerCommand::ToolbarStart, true);
    m_console.SetCommandEnabled(ServerCommand::ToolbarProperties, true);
    m_console.SetCommandEnabled(ServerCommand::MenuProperties, true);
    m_console.InfoLog(QStringLiteral("Quayport Stopped."));
    return true;
}

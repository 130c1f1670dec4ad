// Putting the engine into service and taking it out again.
#include "session/SessionHandlers.h"

#include "core/Config.h"
#include "core/LocalClock.h"
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
    : FtpEngine1(engine), m_console(console), m_clock(&LocalNow)
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
    m_console.ServerChanged(ServerChange::Started);
    m_console.InfoLog(QStringLiteral("Quayport Started and waiting for connections."));
    return true;
}

// The engine stays as the failing step left it.
bool SessionHandlers::startFailed()
{
    m_console.InfoLog(QStringLiteral("Quayport unable to start server engine."));
    m_console.ServerChanged(ServerChange::StartFailed);
    return false;
}

bool SessionHandlers::StopServer()
{
    try {
        FtpEngine1.StopListening();
    } catch (const std::exception&) {
        m_console.ServerChanged(ServerChange::StopFailed);
        m_console.InfoLog(QStringLiteral("Quayport experienced an error while stopping."));
        return false;
    }
    m_console.ServerChanged(ServerChange::Stopped);
    m_console.InfoLog(QStringLiteral("Quayport Stopped."));
    return true;
}

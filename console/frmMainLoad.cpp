// The console's start-up: the engine's notifications, the first-run settings,
// the engine's set-up, the tree and the root list, the settings check and the
// server start.
#include "console/frmMain.h"

#include "console/ConsoleActions.h"
#include "console/FirstRunSettings.h"
#include "core/AppFolder.h"
#include "core/Config.h"
#include "core/ErrorTexts.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ProgramLifetime.h"
#include "core/ServerLog.h"
#include "core/Trapped.h"
#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TrayIcon.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "session/NumberText.h"
#include "session/SessionHandlers.h"

#include <QFrame>

namespace {

const QString LoadProcedure = FrmMainProcedure("Form_Load");

// A 16-bit number from a setting, or the report that the conversion failed.
std::optional<qint16> sixteenBit(const std::optional<double>& value, int step)
{
    if (!value) {
        ReportError(TypeMismatchText(), LoadProcedure, step);
        return std::nullopt;
    }
    const std::optional<qint16> number = ToInt16(*value);
    if (!number)
        ReportError(OverflowText(), LoadProcedure, step);
    return number;
}

} // namespace

void frmMain::Form_Load()
{
    // 1: from here on the engine's notifications reach the session handlers.
    FtpEngine1->SetNotifySink(m_handlers.get());
    // 2: the window cannot be closed from its caption; Exit ends the program.
    RemoveMenus(SystemMenuItem::Separator | SystemMenuItem::Close);
    ConsoleState::HiddenToTray = false;

    if (ModMain::FirstRun)
        Trapped(LoadProcedure, 4, [this] { applyFirstRunSettings(); });

    ModMain::LoadConfig();
    configureEngine();

    // 7: reset the console.
    lstServerLog->Clear();
    tvwDb->ClearNodes();
    FramesOff();
    TrayIcon1->Show();
    ConsoleState::DailyChart = false;
    fmeList->setVisible(true);
    ConsoleState::SelectedKey = QStringLiteral("#");

    // 8: the tree's top. Its sorting would order only this one node, so it stays off.
    tvwDb->AddNode(QString(), QStringLiteral("root"), QStringLiteral("FTP Server"), TreeImage::Server,
                   QStringLiteral("server"));

    // 9: without settings the server cannot run.
    if (!ModMain::LoadConfig()) {
        Messages().message(
            QStringLiteral("Unable to load configuration. You will now be taken to the configuration screen."),
            QString(), MessageIcon::None);
        showPropertiesDialog();
        Messages().message(QStringLiteral("The server will now close.  Please restart the application."), QString(),
                           MessageIcon::None);
        ProgramLifetime::End(1);
        return;
    }

    buildTreeAndRootList();

    // 11 to 13: an error here closes the console (the critical path).
    try {
        InfoLog(QStringLiteral("Quayport configuration loaded."));
        startAtStartUp();
    } catch (const std::exception& e) {
        const auto* programError = dynamic_cast<const ProgramError*>(&e);
        const int number = programError ? programError->number() : 51; // 51: internal error
        const QString description = programError ? programError->description() : QString::fromUtf8(e.what());
        Messages().message(QStringLiteral("Error #%1, %2").arg(number).arg(description),
                           QStringLiteral("Critical Error"), MessageIcon::Critical);
        m_closeStatus = 1;
        close();
        return;
    }
    ConsoleState::SelectedKey = QStringLiteral("root");
    tvwDb->Highlight(ConsoleState::SelectedKey); // the node whose list is shown
}

void frmMain::applyFirstRunSettings()
{
    // The line spells the settings file as the first releases wrote it.
    ModMain::WriteServerEvent(QStringLiteral("Creating ") + AppPath(QStringLiteral("/config.txt")), false);
    ModMain::ServerConfig = ModMain::FirstRunSettings(FtpEngine1->LocalAddress());
    ModMain::WriteServerEvent(QStringLiteral("Writing new configuration file."), false);
    ModMain::SaveConfig();
}

void frmMain::configureEngine()
{
    using ModMain::ServerConfig;
    const int step = 6;
    // The option number and flag are set as always; our engine gives them no meaning.
    FtpEngine1->SetOptionNumber(0);
    if (const std::optional<qint16> port = sixteenBit(ParseDecimal(ServerConfig.Port), step))
        FtpEngine1->SetListenPort(*port);
    const std::optional<double> minutes = ParseDecimal(ServerConfig.IdleTimeout);
    if (const std::optional<qint16> seconds = sixteenBit(minutes ? std::optional<double>(*minutes * 60) : std::nullopt, step))
        FtpEngine1->SetIdleSeconds(*seconds);
    FtpEngine1->SetDefaultRoot(ServerConfig.ServerRoot);
    FtpEngine1->SetOptionFlag(true);
    FtpEngine1->SetReplyText(FtpEngine::StatusReply, QStringLiteral("211 Corvalen FTP server."));
}

void frmMain::buildTreeAndRootList()
{
    using ModMain::ServerConfig;
    lvwDb->ClearColumns();
    lvwDb->ClearItems();
    tvwDb->EnsureVisible(QStringLiteral("root"));
    tvwDb->AddNode(QStringLiteral("root"), QStringLiteral("uandg"), QStringLiteral("Users and Groups"),
                   TreeImage::UsersAndGroups);
    // Showing "uandg" shows the root expanded.
    tvwDb->EnsureVisible(QStringLiteral("uandg"));
    tvwDb->AddNode(QStringLiteral("uandg"), QStringLiteral("users"), QStringLiteral("Users"), TreeImage::User);
    tvwDb->AddNode(QStringLiteral("uandg"), QStringLiteral("groups"), QStringLiteral("Groups"), TreeImage::Group);
    tvwDb->AddNode(QStringLiteral("root"), QStringLiteral(" Logs"), QStringLiteral(" Logs"), TreeImage::Logs);
    tvwDb->AddNode(QStringLiteral(" Logs"), QStringLiteral("serverlogs"), QStringLiteral("server"),
                   TreeImage::ServerLog);
    tvwDb->AddNode(QStringLiteral(" Logs"), QStringLiteral("userlogs"), QStringLiteral("Users"), TreeImage::User);
    tvwDb->AddNode(QStringLiteral(" Logs"), QStringLiteral("grouplogs"), QStringLiteral("Groups"), TreeImage::Group);
    tvwDb->AddNode(QStringLiteral("root"), QStringLiteral("Active"), QStringLiteral("Connections"),
                   TreeImage::Connections);

    lvwDb->AddColumn(QStringLiteral("IP Address"), 1700);
    lvwDb->AddColumn(QStringLiteral("Port"), 600);
    lvwDb->AddColumn(QStringLiteral("Connections"), 1200);
    lvwDb->AddColumn(QStringLiteral("Root Folder"), 5000);
    m_actions->ShowServerState(false, StateGroup::Toolbar);
    ListViewItem all;
    all.key = QStringLiteral("list");
    all.text = QStringLiteral("All");
    all.icon = ListImage::Settings;
    all.smallIcon = ListImage::Settings;
    all.subItems = {ServerConfig.Port, QStringLiteral("0"), ServerConfig.ServerRoot};
    lvwDb->InsertItem(1, all);
}

void frmMain::startAtStartUp()
{
    if (!ModMain::ServerConfig.StartServer)
        return;
    const bool started = StartServer();
    if (!started)
        Messages().message(QStringLiteral("Unable to start server."), QString(), MessageIcon::None);
    m_actions->ShowServerState(started, StateGroup::Toolbar);
}

void frmMain::RemoveMenus(SystemMenuItems items)
{
    // The window menu's Restore, Move, Size and separator have no counterpart
    // here; minimize, maximize and close follow the title bar's buttons.
    Qt::WindowFlags flags = windowFlags();
    if (items.testFlag(SystemMenuItem::Minimize))
        flags &= ~Qt::WindowMinimizeButtonHint;
    if (items.testFlag(SystemMenuItem::Maximize))
        flags &= ~Qt::WindowMaximizeButtonHint;
    if (items.testFlag(SystemMenuItem::Close))
        flags &= ~Qt::WindowCloseButtonHint;
    if (flags != windowFlags())
        setWindowFlags(flags);
}

// The console window's controls, their arrangement and its answers to the
// session handlers.
#include "console/frmMain.h"

#include "console/ConnectionPanel.h"
#include "console/ConsoleActions.h"
#include "console/ConsolePane.h"
#include "console/StatsCharts.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/Trapped.h"
#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/HelpViewer.h"
#include "platform/ListViewControl.h"
#include "platform/PaintThrottle.h"
#include "platform/RowList.h"
#include "platform/TrayIcon.h"
#include "platform/TreeViewControl.h"
#include "platform/Twips.h"
#include "session/ConsoleState.h"
#include "session/SessionHandlers.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QFrame* paneFrame(QWidget* pane, const char* name)
{
    auto* frame = new QFrame(pane);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProgramTitle());
    setWindowIcon(ProgramIcon());
    // A sizable window with a minimize button and no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    FtpEngine1 = new FtpEngine(this);
    FtpEngine1->setObjectName(QStringLiteral("FtpEngine1"));
    m_handlers = std::make_unique<SessionHandlers>(*FtpEngine1, *this);

    TrayIcon1 = new TrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));

    buildToolbars();
    buildStatusBar();
    buildPanes();
    buildCharts();
    connectControls();
    BindHelpKey(*this, HelpContext);
    new PaintThrottle(this); // however fast events arrive, the window paints at a bounded rate
    // The width is fixed; what the pane shows never widens the window.
    setFixedWidth(TwipsToPixels(10125));
    resize(TwipsToPixels(10125), TwipsToPixels(8280));
}

frmMain::~frmMain()
{
    // No notification may reach a window that is going.
    FtpEngine1->SetNotifySink(nullptr);
    FtpEngine1->StopListening();
}

void frmMain::buildPanes()
{
    tvwDb = new TreeViewControl(this);
    tvwDb->setObjectName(QStringLiteral("tvwDb"));
    tvwDb->SetImageList(TreeImages());
    tvwDb->setToolTip(QStringLiteral("Information Tree. Click on + to expand"));
    tvwDb->setFixedWidth(TwipsToPixels(3000));

    // The eight frames of the right-hand pane share one rectangle; one shows at a time.
    auto* pane = new QWidget(this);
    auto* paneLayout = new QGridLayout(pane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    fmeList = paneFrame(pane, "fmeList");
    lvwDb = new ListViewControl(fmeList);
    lvwDb->setObjectName(QStringLiteral("lvwDb"));
    lvwDb->SetImageLists(LargeListImages(), SmallListImages());
    lvwDb->setToolTip(QStringLiteral("Information Page"));
    auto* listLayout = new QVBoxLayout(fmeList);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(lvwDb);
    fmeUser = new ConnectionPanel(pane);
    fmeFileStats = paneFrame(pane, "fmeFileStats");
    fmeMegabyteStats = paneFrame(pane, "fmeMegabyteStats");
    FmeUserDayFile = paneFrame(pane, "FmeUserDayFile");
    fmeUserDayMegabytes = paneFrame(pane, "fmeUserDayMegabytes");
    FmeGroupDayFile = paneFrame(pane, "FmeGroupDayFile");
    FmeGroupDayMegabytes = paneFrame(pane, "FmeGroupDayMegabytes");
    for (QWidget* frame : {static_cast<QWidget*>(fmeList), static_cast<QWidget*>(fmeUser),
                           static_cast<QWidget*>(fmeFileStats), static_cast<QWidget*>(fmeMegabyteStats),
                           static_cast<QWidget*>(FmeUserDayFile), static_cast<QWidget*>(fmeUserDayMegabytes),
                           static_cast<QWidget*>(FmeGroupDayFile), static_cast<QWidget*>(FmeGroupDayMegabytes)})
        paneLayout->addWidget(frame, 0, 0);

    lstServerLog = new RowList(QStringLiteral("Server Log"),
                               {{QStringLiteral("Date"), 70},
                                {QStringLiteral("Time"), 60},
                                {QStringLiteral("Client Address"), 75},
                                {QStringLiteral("User name"), 75},
                                {QStringLiteral("Message"), 1000}},
                               this);
    lstServerLog->setObjectName(QStringLiteral("lstServerLog"));
    lstServerLog->setFixedHeight(TwipsToPixels(8280 - 6000));

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(2, 2, 2, 2);
    middle->addWidget(tvwDb);
    middle->addWidget(pane, 1);

    m_pane = std::make_unique<ConsolePane>(PaneControls{FtpEngine1, tvwDb, lvwDb, fmeList, fmeUser, fmeFileStats,
                                                        fmeMegabyteStats, FmeUserDayFile, fmeUserDayMegabytes,
                                                        FmeGroupDayFile, FmeGroupDayMegabytes, lstServerLog,
                                                        [this] { RestoreMousePointer(); }});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CoolBar1);
    layout->addLayout(middle, 1);
    layout->addWidget(lstServerLog);
    layout->addWidget(StatusBar1);
}

void frmMain::connectControls()
{
    connect(tvwDb, &TreeViewControl::NodeClick, this, [this](const QString& key) {
        Trapped(FrmMainProcedure("tvwDb_NodeClick"), 0, [&] { tvwDb_NodeClick(key); });
    });
    connect(tvwDb, &TreeViewControl::MouseDown, this, [this](int button) {
        Trapped(FrmMainProcedure("tvwDb_MouseDown"), 0, [&] { tvwDb_MouseDown(button); });
    });
    connect(lvwDb, &ListViewControl::Clicked, this,
            [this] { Trapped(FrmMainProcedure("lvwDb_Click"), 0, [&] { lvwDb_Click(); }); });
    connect(lvwDb, &ListViewControl::GotFocus, this,
            [this] { Trapped(FrmMainProcedure("lvwDb_GotFocus"), 0, [&] { lvwDb_GotFocus(); }); });
    connect(lvwDb, &ListViewControl::MouseDown, this, [this](int button) {
        Trapped(FrmMainProcedure("lvwDb_MouseDown"), 0, [&] { lvwDb_MouseDown(button); });
    });
    connect(TrayIcon1, &TrayIcon::IconClick, this, [this](int button) {
        Trapped(FrmMainProcedure("TrayIcon1_IconClick"), 0, [&] { TrayIcon1_IconClick(button); });
    });
    connect(TrayIcon1, &TrayIcon::IconDblClick, this, [this] {
        Trapped(FrmMainProcedure("TrayIcon1_IconDblClick"), 0, [&] { TrayIcon1_IconDblClick(); });
    });
    connect(lvwDb, &ListViewControl::DblClick, this,
            [this] { Trapped(FrmMainProcedure("lvwDb_DblClick"), 0, [&] { lvwDb_DblClick(); }); });
}

ConsoleLogList* frmMain::ServerLog() const
{
    return lstServerLog;
}

void frmMain::UseRemappedRoot(const QString& root)
{
    FtpEngine1->SetDefaultRoot(root);
    UpdateTree(ConsoleState::SelectedKey);
}

bool frmMain::StartServer()
{
    return m_handlers->StartServer();
}

bool frmMain::StopServer()
{
    return m_handlers->StopServer();
}

// The start and stop items of the main and tray menus follow a start or stop
// that succeeded and keep their state otherwise; the toolbar's start, stop and
// properties buttons and the properties item follow every attempt.
void frmMain::ServerChanged(ServerChange change)
{
    const bool running = change == ServerChange::Started || change == ServerChange::StopFailed;
    StateGroups moved = StateGroup::Toolbar | StateGroup::Properties;
    if (change == ServerChange::Started || change == ServerChange::Stopped)
        moved |= StateGroup::MainMenu | StateGroup::TrayMenu;
    m_actions->ShowServerState(running, moved);
}

void frmMain::RestoreMousePointer()
{
    // Every FTP notification ends here; a window that never had a pointer of
    // its own set has nothing to restore, and telling it so anyway costs a
    // cursor update of the whole window each time.
    if (testAttribute(Qt::WA_SetCursor))
        unsetCursor();
}

void frmMain::ProcessEventsOnce()
{
    QCoreApplication::processEvents();
}

QAction* frmMain::Action(ConsoleAction name) const
{
    return m_actions->Action(name);
}

QMenu* frmMain::Menu(ConsolePlace menu) const
{
    return m_actions->Menu(menu);
}

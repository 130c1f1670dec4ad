// The console's pop-up menus, its three toolbars in the cool bar and its
// status bar. The window has no menu bar: every menu is popped up.
#include "console/frmMain.h"

#include "core/ProcedureName.h"
#include "core/Trapped.h"
#include "platform/ConsoleImages.h"
#include "platform/Twips.h"

#include <QAction>
#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace {

QMenu* popupMenu(QWidget* owner, const char* name)
{
    auto* menu = new QMenu(owner);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QMenu* submenu(QMenu* parentMenu, const char* name, const QString& caption)
{
    QMenu* menu = parentMenu->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

// One item; "-" makes a separator. Items of an array carry their index.
QAction* item(QMenu* menu, const char* name, const QString& caption, int index = -1)
{
    QAction* action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (index >= 0)
        action->setProperty("index", index);
    return action;
}

QList<QAction*> itemArray(QMenu* menu, const char* name, const QStringList& captions)
{
    QList<QAction*> items;
    for (int i = 0; i < captions.size(); ++i)
        items.append(item(menu, name, captions.at(i), i));
    return items;
}

// The statistics items start off; the charts enable all but their separators.
void disable(const QList<QAction*>& items)
{
    for (QAction* action : items)
        action->setEnabled(false);
}

QToolBar* toolbar(QWidget* owner, const char* name, const QString& tip, int widthTwips)
{
    auto* bar = new QToolBar(owner);
    bar->setObjectName(QLatin1String(name));
    bar->setToolTip(tip);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedWidth(TwipsToPixels(widthTwips));
    return bar;
}

// A captioned button; its "&" letter works with Alt as on a menu bar.
QAction* captionButton(QToolBar* bar, const QString& caption, const QString& tip, int index)
{
    QAction* button = bar->addAction(caption);
    button->setToolTip(tip);
    button->setShortcut(QKeySequence::mnemonic(caption));
    button->setProperty("index", index);
    return button;
}

} // namespace

void frmMain::buildMenus()
{
    mnuConsole = popupMenu(this, "mnuConsole");
    mnuExit = item(mnuConsole, "mnuExit", QStringLiteral("Exit"));

    mnuHelp = popupMenu(this, "mnuHelp");
    mnuHelpDoc = item(mnuHelp, "mnuHelpDoc", QStringLiteral("&Help Topics"));
    mnuAbout = item(mnuHelp, "mnuAbout", QStringLiteral("&About FTP Server"));

    mnuView = popupMenu(this, "mnuView");
    mnuIcon = item(mnuView, "mnuIcon", QStringLiteral("&Large Icons"));
    mnuSmallIcon = item(mnuView, "mnuSmallIcon", QStringLiteral("&Small Icon"));
    mnuList = item(mnuView, "mnuList", QStringLiteral("&List"));
    mnuReport = item(mnuView, "mnuReport", QStringLiteral("&Details"));
    for (QAction* view : {mnuIcon, mnuSmallIcon, mnuList, mnuReport})
        view->setCheckable(true);
    mnuReport->setChecked(true);

    mnuLogOptions = popupMenu(this, "mnuLogOptions");
    mnuLog = itemArray(mnuLogOptions, "mnuLog",
                       {QStringLiteral("View Log"), QStringLiteral("Delete Log"), QStringLiteral("Refresh")});

    mnuGroupEditOptions = popupMenu(this, "mnuGroupEditOptions");
    mnuGroupEdit = itemArray(mnuGroupEditOptions, "mnuGroupEdit",
                             {QStringLiteral("&Edit Group"), QStringLiteral("&Refresh")});
    mnuStatsOption = submenu(mnuGroupEditOptions, "mnuStatsOption", QStringLiteral("Group &Stats"));
    mnuStats = itemArray(mnuStatsOption, "mnuStats",
                         {QStringLiteral("Group File transfer &History by day"),
                          QStringLiteral("Group &Megabyte transfer History by day")});
    disable(mnuStats);

    mnuEditOptions = popupMenu(this, "mnuEditOptions");
    mnuEdit = itemArray(mnuEditOptions, "mnuEdit", {QStringLiteral("&Edit User"), QStringLiteral("&Refresh")});
    mnuStatsOpt1 = submenu(mnuEditOptions, "mnuStatsOpt1", QStringLiteral("User &Stats"));
    mnuStats2 = itemArray(mnuStatsOpt1, "mnuStats2",
                          {QStringLiteral("User File transfer &History by session"),
                           QStringLiteral("User &Megabyte transfer History by session"), QStringLiteral("-"),
                           QStringLiteral("User F&ile transfer History by day"),
                           QStringLiteral("User M&egabyte transfer History by day")});
    disable(mnuStats2);

    mnuEditUserOptions = popupMenu(this, "mnuEditUserOptions");
    mnuEditUser = itemArray(mnuEditUserOptions, "mnuEditUser",
                            {QStringLiteral("Edit &User"), QStringLiteral("&View User Log"),
                             QStringLiteral("&Delete User Log"), QStringLiteral("&Refresh"), QStringLiteral("-"),
                             QStringLiteral("&Logoff User"), QStringLiteral("-")});
    mnuStatsOption1 = submenu(mnuEditUserOptions, "mnuStatsOption1", QStringLiteral("User &Stats"));
    // Item 4 keeps its own spelling.
    mnuStats1 = itemArray(mnuStatsOption1, "mnuStats1",
                          {QStringLiteral("User File transfer &History by session"),
                           QStringLiteral("User &Megabyte transfer History by session"), QStringLiteral("-"),
                           QStringLiteral("User F&ile transfer History by day"),
                           QStringLiteral("User M&egabtye transfer History by day")});
    disable(mnuStats1);

    mnuRefreshOptions = popupMenu(this, "mnuRefreshOptions");
    mnuRefresh = item(mnuRefreshOptions, "mnuRefresh", QStringLiteral("Refresh"));

    mnuTray = popupMenu(this, "mnuTray");
    mnuMinimize = item(mnuTray, "mnuMinimize", QStringLiteral("&Minimize"));
    mnuRestore = item(mnuTray, "mnuRestore", QStringLiteral("&Restore"));
    mnuTray->addSeparator();
    mnuTrayStart = item(mnuTray, "mnuTrayStart", QStringLiteral("&Start"));
    mnuTrayStop = item(mnuTray, "mnuTrayStop", QStringLiteral("S&top"));
    // The tray menu's own Close is never shown.
    mnuTray->addSeparator()->setVisible(false);
    item(mnuTray, "mnuClose", QStringLiteral("&Close"))->setVisible(false);
    mnuRestore->setEnabled(false);
    mnuTrayStop->setEnabled(false);

    MainMnu = popupMenu(this, "MainMnu");
    mnuStart = item(MainMnu, "mnuStart", QStringLiteral("&Start"));
    mnuStop = item(MainMnu, "mnuStop", QStringLiteral("S&top"));
    MainMnu->addSeparator();
    mnuAddUsers = item(MainMnu, "mnuAddUsers", QStringLiteral("&Add Users"));
    mnuEditUsers = item(MainMnu, "mnuEditUsers", QStringLiteral("&Edit Users"));
    mnuEditGroups = item(MainMnu, "mnuEditGroups", QStringLiteral("Edit &Groups"));
    MainMnu->addSeparator();
    mnuProperties = item(MainMnu, "mnuProperties", QStringLiteral("&Properties"));
    MainMnu->addSeparator();
    mnuVirtualFolders = item(MainMnu, "mnuVirtualFolders", QStringLiteral("&Virtual Folders"));
    MainMnu->addSeparator();
    mnuHomePage = item(MainMnu, "mnuHomePage", QStringLiteral("&Home Page"));
    mnuStop->setEnabled(false);

    const auto on = [this](QAction* action, const char* procedure, void (frmMain::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, procedure, handler] { Trapped(FrmMainProcedure(procedure), 0, [&] { (this->*handler)(); }); });
    };
    on(mnuExit, "mnuExit_Click", &frmMain::mnuExit_Click);
    on(mnuHelpDoc, "mnuHelpDoc_Click", &frmMain::mnuHelpDoc_Click);
    on(mnuIcon, "mnuIcon_Click", &frmMain::mnuIcon_Click);
    on(mnuSmallIcon, "mnuSmallIcon_Click", &frmMain::mnuSmallIcon_Click);
    on(mnuList, "mnuList_Click", &frmMain::mnuList_Click);
    on(mnuReport, "mnuReport_Click", &frmMain::mnuReport_Click);
    on(mnuRefresh, "mnuRefresh_Click", &frmMain::mnuRefresh_Click);
    on(mnuMinimize, "mnuMinimize_Click", &frmMain::mnuMinimize_Click);
    on(mnuRestore, "mnuRestore_Click", &frmMain::mnuRestore_Click);
    on(mnuTrayStart, "mnuTrayStart_Click", &frmMain::mnuTrayStart_Click);
    on(mnuTrayStop, "mnuTrayStop_Click", &frmMain::mnuTrayStop_Click);
    on(mnuStart, "mnuStart_Click", &frmMain::mnuStart_Click);
    on(mnuStop, "mnustop_Click", &frmMain::mnustop_Click);
    on(mnuProperties, "mnuProperties_Click", &frmMain::mnuProperties_Click);
    on(mnuAddUsers, "mnuAddUsers_Click", &frmMain::mnuAddUsers_Click);
    on(mnuEditUsers, "mnuEditUsers_Click", &frmMain::mnuEditUsers_Click);
    on(mnuEditGroups, "mnuEditGroups_Click", &frmMain::mnuEditGroups_Click);
    on(mnuVirtualFolders, "mnuVirtualFolders_Click", &frmMain::mnuVirtualFolders_Click);
    on(mnuAbout, "mnuAbout_Click", &frmMain::mnuAbout_Click);
    on(mnuHomePage, "mnuHomePage_Click", &frmMain::mnuHomePage_Click);
}

void frmMain::buildToolbars()
{
    CoolBar1 = new QFrame(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setFrameShape(QFrame::StyledPanel);

    Toolbar2 = toolbar(CoolBar1, "Toolbar2", QStringLiteral("Console and Help"), 9750);
    Toolbar2->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolbar2Buttons = {captionButton(Toolbar2, QStringLiteral("&Console"), QStringLiteral("Console Action"), 1),
                         captionButton(Toolbar2, QStringLiteral("&Help"), QStringLiteral("Help menu"), 2)};

    Toolbar3 = toolbar(CoolBar1, "Toolbar3", QStringLiteral("Action & View options"), 1800);
    Toolbar3->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolbar3Buttons = {captionButton(Toolbar3, QStringLiteral("&Action"), QStringLiteral("Action Menu"), 1),
                         captionButton(Toolbar3, QStringLiteral("&View"), QStringLiteral("View Menu"), 2)};
    m_toolbar3Buttons.at(0)->setProperty("key", QStringLiteral("action"));
    m_toolbar3Buttons.at(1)->setProperty("key", QStringLiteral("view"));

    Toolbar1 = toolbar(CoolBar1, "Toolbar1", QString(), 7725);
    const ImageList images = ToolbarImages();
    Toolbar1->setIconSize(images.IconSize());
    struct Button {
        const char* key;
        const char* tip;
        int image;
    };
    // Index 3, 5, 7, 11 and 13 are separators.
    const QList<Button> buttons = {
        {"start", "Start Server", ToolbarImage::Start},
        {"stop", "Stop Server", ToolbarImage::Stop},
        {nullptr, nullptr, 0},
        {"home", "Corvalen Home", ToolbarImage::Home},
        {nullptr, nullptr, 0},
        {"properties", "Properties", ToolbarImage::Properties},
        {nullptr, nullptr, 0},
        {"AddUser", "Add New User", ToolbarImage::AddUser},
        {"edituser", "Edit Users", ToolbarImage::EditUsers},
        {"editgroup", "Edit Groups", ToolbarImage::EditGroups},
        {nullptr, nullptr, 0},
        {"VirtualFolders", "Work with Virtual Folders", ToolbarImage::VirtualFolders},
        {nullptr, nullptr, 0},
        {"Refresh", "Refresh", ToolbarImage::Refresh},
    };
    for (int i = 0; i < buttons.size(); ++i) {
        const Button& b = buttons.at(i);
        QAction* button = b.key ? Toolbar1->addAction(images.Icon(b.image), QString()) : Toolbar1->addSeparator();
        button->setProperty("index", i + 1);
        if (b.key) {
            button->setProperty("key", QLatin1String(b.key));
            button->setToolTip(QLatin1String(b.tip));
        }
        m_toolbar1Buttons.append(button);
    }

    auto* rows = new QGridLayout(CoolBar1);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    rows->addWidget(Toolbar2, 0, 0, 1, 2, Qt::AlignLeft);
    rows->addWidget(Toolbar3, 1, 0, Qt::AlignLeft);
    rows->addWidget(Toolbar1, 1, 1, Qt::AlignLeft);
    rows->setColumnStretch(1, 1);

    connect(Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* button) {
        Trapped(FrmMainProcedure("Toolbar1_ButtonClick"), 0,
                [&] { Toolbar1_ButtonClick(button->property("index").toInt()); });
    });
    connect(Toolbar2, &QToolBar::actionTriggered, this, [this](QAction* button) {
        Trapped(FrmMainProcedure("Toolbar2_ButtonClick"), 0, [&] { Toolbar2_ButtonClick(button->text()); });
    });
    connect(Toolbar3, &QToolBar::actionTriggered, this, [this](QAction* button) {
        Trapped(FrmMainProcedure("Toolbar3_ButtonClick"), 0,
                [&] { Toolbar3_ButtonClick(button->property("key").toString()); });
    });
}

void frmMain::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setToolTip(QStringLiteral("Date & time bar"));
    auto* developer = new QLabel(QStringLiteral("Quayport FTP Server"), StatusBar1);
    developer->setToolTip(QStringLiteral("Application developer"));
    m_datePanel = new QLabel(StatusBar1);
    m_datePanel->setToolTip(QStringLiteral("System Date"));
    m_timePanel = new QLabel(StatusBar1);
    m_timePanel->setToolTip(QStringLiteral("System Time"));
    StatusBar1->addWidget(developer, 1);
    StatusBar1->addPermanentWidget(m_datePanel);
    StatusBar1->addPermanentWidget(m_timePanel);

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &frmMain::showDateAndTime);
    m_clock->start();
    showDateAndTime();
}

void frmMain::showDateAndTime()
{
    const QLocale locale;
    m_datePanel->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    m_timePanel->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

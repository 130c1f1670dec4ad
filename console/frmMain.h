#pragma once
// The console window: it hosts the FTP engine, shows the tree and the
// right-hand pane, the server log, the pop-up menus, the toolbars, the status
// bar and the tray icon, and answers the session handlers as their console.
#include "console/ConsoleActionList.h"
#include "session/ConsoleServices.h"

#include <QWidget>
#include <functional>
#include <memory>

class ConsoleActions;
class ConsoleLogList;
class ConnectionPanel;
class ConsolePane;
class FtpEngine;
class ListViewControl;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;
class RowList;
class SessionHandlers;
class StatsCharts;
class TrayIcon;
class TreeViewControl;

class frmMain final : public QWidget, public ConsoleServices {
    Q_OBJECT
public:
    static constexpr int HelpContext = 30;

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, run once right after the window is made (see ConsoleWindow).
    void Form_Load();
    // The positions 0 to 6 of the window menu.
    enum class SystemMenuItem {
        Restore = 0x01,
        Move = 0x02,
        Size = 0x04,
        Minimize = 0x08,
        Maximize = 0x10,
        Separator = 0x20,
        Close = 0x40,
    };
    Q_DECLARE_FLAGS(SystemMenuItems, SystemMenuItem)
    void RemoveMenus(SystemMenuItems items);

    // The menu items and toolbar buttons by name, and the pop-up menus.
    QAction* Action(ConsoleAction name) const;
    QMenu* Menu(ConsolePlace menu) const;

    bool StartServer();
    bool StopServer();

    // The server log, as core's console log writes to it.
    ConsoleLogList* ServerLog() const;
    // After a remap of the server root: the engine serves the new root at
    // once, not only after the next start, and the pane shows it.
    void UseRemappedRoot(const QString& root);

    // Opens the log in a new log viewer window (frmMainScrollbook.cpp).
    void Scrollbook(const QString& LogPath);

    // ConsoleServices
    void InfoLog(const QString& text) override;
    void UpdateUserTree() override;
    void ServerChanged(ServerChange change) override;
    void RestoreMousePointer() override;
    void ProcessEventsOnce() override;

    // The right-hand pane and the list's events (frmMainPane.cpp).
    void FramesOff();
    void UpdateTree(QString key);
    void UpdateListView();
    void tvwDb_NodeClick(const QString& key);
    void tvwDb_MouseDown(int button);
    void lvwDb_Click();
    void lvwDb_GotFocus();
    void lvwDb_MouseDown(int button);

    // Which context menu a right click on the list or the "action" button pops
    // up for the current selection; null for none.
    enum class MenuSource { ListRightClick, ActionButton };
    QMenu* ContextMenuFor(MenuSource source) const;

    // Toolbars: Toolbar1 acts by index, Toolbar2 by caption, Toolbar3 by key.
    void Toolbar1_ButtonClick(int index);
    void Toolbar2_ButtonClick(const QString& caption);
    void Toolbar3_ButtonClick(const QString& key);

    // Menu commands.
    void mnuStart_Click();
    void mnustop_Click();
    void mnuTrayStart_Click();
    void mnuTrayStop_Click();
    void mnuMinimize_Click();
    void mnuRestore_Click();
    void mnuIcon_Click();
    void mnuSmallIcon_Click();
    void mnuList_Click();
    void mnuReport_Click();
    void mnuHelpDoc_Click();
    void mnuExit_Click();
    void mnuProperties_Click();
    void mnuRefresh_Click();
    // The account, group and virtual folder dialogs (frmMainDialogs.cpp).
    void mnuAddUsers_Click();
    void mnuEditUsers_Click();
    void mnuEditGroups_Click();
    void mnuVirtualFolders_Click();
    // Closes the live sessions of that user on this window's engine (blanks
    // and letter case ignored): the dialogs' deletes reach it through the live
    // sessions that ConsoleWindowLifetime installs.
    void CloseUserSessions(const QString& userName);

    // Account, group, connection and log item commands (frmMainItemCommands.cpp).
    void mnuEdit_Click(int Index);
    void mnuGroupEdit_Click(int Index);
    void mnuEditUser_Click(int Index);
    void mnuLog_Click(int Index);
    void lvwDb_DblClick();
    // Where those commands send a log to view: Scrollbook unless a test replaces it.
    std::function<void(const QString&)> ViewLogHook;
    // Statistics charts (frmMainCharts.cpp).
    void LoadChartFile(const QString& name);
    void LoadChartMegabytes(const QString& name);
    bool UserFindFiles(const QString& folder, const QString& pattern);
    bool GroupFindFiles(const QString& folder, const QString& pattern);
    void mnuStats_Click(int index);
    void mnuStats1_Click(int index);
    void mnuStats2_Click(int index);
    // The about box and the browser window (frmMainAbout.cpp).
    void mnuAbout_Click();
    void mnuHomePage_Click();

    void TrayIcon1_IconClick(int button);
    void TrayIcon1_IconDblClick();

    void Form_Resize();
    void Form_QueryUnload();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Controls, by their documented names, which are also their objectName:
    // tests find them with findChild.
    FtpEngine* FtpEngine1 = nullptr;
    TreeViewControl* tvwDb = nullptr;
    ListViewControl* lvwDb = nullptr;
    QFrame* fmeList = nullptr;
    ConnectionPanel* fmeUser = nullptr;
    QFrame* fmeFileStats = nullptr;
    QFrame* fmeMegabyteStats = nullptr;
    QFrame* FmeUserDayFile = nullptr;
    QFrame* fmeUserDayMegabytes = nullptr;
    QFrame* FmeGroupDayFile = nullptr;
    QFrame* FmeGroupDayMegabytes = nullptr;
    RowList* lstServerLog = nullptr;
    TrayIcon* TrayIcon1 = nullptr;
    QFrame* CoolBar1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    QToolBar* Toolbar3 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    void buildPanes();
    void buildCharts();
    void buildToolbars();
    void buildStatusBar();
    void connectControls();
    void showDateAndTime();
    void applyFirstRunSettings();
    void configureEngine();
    void buildTreeAndRootList();
    void startAtStartUp();
    void showPropertiesDialog();
    void popUpAtPointer(QMenu* menu);
    bool itemChosen();
    void editItem(ConsoleAction item);
    void chooseView(ConsoleAction view);
    void viewLog(const QString& path);
    QFrame* userFrame(ConsoleAction item) const;
    void logOffUser();

    std::unique_ptr<SessionHandlers> m_handlers;
    std::unique_ptr<ConsolePane> m_pane;
    std::unique_ptr<StatsCharts> m_charts;
    std::unique_ptr<ConsoleActions> m_actions;
    QLabel* m_datePanel = nullptr;
    QLabel* m_timePanel = nullptr;
    QTimer* m_clock = nullptr;
    int m_closeStatus = 0; // the program's exit status once the window has closed
};

Q_DECLARE_OPERATORS_FOR_FLAGS(frmMain::SystemMenuItems)

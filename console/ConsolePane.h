#pragma once
// The right-hand pane and the connection subtree of the console: every refresh
// rebuilds the pane for a tree key from the files and the engine's sessions.
#include "console/CoalescedRefresh.h"

#include <QString>
#include <functional>

class ConnectionPanel;
class FtpEngine;
class ListViewControl;
class QWidget;
class TreeViewControl;

// The window's controls that the pane works on.
struct PaneControls {
    FtpEngine* FtpEngine1 = nullptr;
    TreeViewControl* tvwDb = nullptr;
    ListViewControl* lvwDb = nullptr;
    QWidget* fmeList = nullptr;
    ConnectionPanel* fmeUser = nullptr;
    QWidget* fmeFileStats = nullptr;
    QWidget* fmeMegabyteStats = nullptr;
    QWidget* FmeUserDayFile = nullptr;
    QWidget* fmeUserDayMegabytes = nullptr;
    QWidget* FmeGroupDayFile = nullptr;
    QWidget* FmeGroupDayMegabytes = nullptr;
    QWidget* lstServerLog = nullptr;
    // Puts the window's mouse pointer back to the default.
    std::function<void()> restorePointer;
};

class ConsolePane {
public:
    explicit ConsolePane(PaneControls controls);
    ~ConsolePane();

    // Hides the eight frames of the right-hand pane.
    void FramesOff();
    // Fills the pane for a tree key ("#" shows the root). A connection key
    // whose session has gone shows the connection list and moves the
    // selection to "Active". The tree then highlights the selection's node.
    void UpdateTree(QString key);
    // Rebuilds the connection subtree from the engine's sessions; a selected
    // connection follows its session to its new index. Then refreshes the
    // pane, unless it shows a chart.
    void UpdateUserTree();
    // The same, soon: however many sessions ask, the subtree and the pane are
    // brought up to date at most once per refresh period.
    void ScheduleUserTreeUpdate();
    // Brings a subtree that is waiting for its refresh up to date at once,
    // before a command or a click acts on it; a connection key, and the
    // selection, move with their sessions (to "Active" for one that ended).
    void CatchUp(QString& key);
    // The connection session a key names, by the identity its node carries,
    // with its index now; null when it has gone.
    class FtpUser* SessionOfKey(const QString& key, int* index = nullptr) const;

private:
    void fill(QString key);
    bool chartShown() const;
    // Highlights the selection's node: the one the pane shows and the
    // commands act on.
    void highlightSelection();

    PaneControls c;
    CoalescedRefresh m_refresh;
};

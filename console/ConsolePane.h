#pragma once
// The right-hand pane and the connection subtree of the console: every refresh
// rebuilds the pane for a tree key from the files and the engine's sessions.
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

    // Hides the eight frames of the right-hand pane.
    void FramesOff();
    // Fills the pane for a tree key ("#" shows the root). A connection key
    // whose session has gone shows the connection list and moves the
    // selection to "Active".
    void UpdateTree(QString key);
    // Rebuilds the connection subtree from the engine's sessions; a selected
    // connection follows its session to its new index. Then refreshes the pane.
    void UpdateUserTree();
    // The connection session a key names, by the identity its node carries;
    // null when it has gone.
    class FtpUser* SessionOfKey(const QString& key) const;

private:
    void showPanel(FtpUser& user);

    PaneControls c;
};

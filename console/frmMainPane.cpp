// The right-hand pane: its frames, the list for a tree key, the list's view,
// and the tree's and the list's mouse events.
#include "console/frmMain.h"

#include "console/ConsolePane.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QAction>
#include <QFrame>

void frmMain::FramesOff()
{
    m_pane->FramesOff();
}

void frmMain::UpdateTree(QString key)
{
    m_pane->CatchUp(key);
    m_pane->UpdateTree(std::move(key));
}

void frmMain::UpdateUserTree()
{
    // A logout has just cleared the choice. A row in sight stays chosen while
    // it is listed, as it stays highlighted (the refresh drops both when its
    // row goes): a click or a double-click on it is not lost to a logout.
    // Out of sight, the highlight goes with the choice.
    if (ConsoleState::SelectedItem.isEmpty()) {
        if (lvwDb->isVisibleTo(this))
            ConsoleState::SelectedItem = lvwDb->SelectedText();
        else
            lvwDb->ClearSelection();
    }
    // Called from the login and logout notifications: the tree and the pane
    // follow on the next refresh tick, never once per event.
    m_pane->ScheduleUserTreeUpdate();
}

void frmMain::UpdateListView()
{
    // The last checked item wins.
    using enum ConsoleAction;
    if (Action(mnuIcon)->isChecked())
        lvwDb->SetView(ListViewMode::LargeIcons);
    if (Action(mnuSmallIcon)->isChecked())
        lvwDb->SetView(ListViewMode::SmallIcons);
    if (Action(mnuReport)->isChecked())
        lvwDb->SetView(ListViewMode::Report);
    if (Action(mnuList)->isChecked())
        lvwDb->SetView(ListViewMode::List);
}

void frmMain::tvwDb_NodeClick(const QString& clicked)
{
    QString key = clicked;
    m_pane->CatchUp(key);
    FramesOff();
    lvwDb->setVisible(true);
    ConsoleState::SelectedKey = key;
    UpdateTree(key);
    // No row is chosen now, so none is highlighted.
    ConsoleState::SelectedItem.clear();
    lvwDb->ClearSelection();
}

void frmMain::tvwDb_MouseDown(int button)
{
    using ConsoleState::SelectedItem;
    using ConsoleState::SelectedKey;
    // A selected connection whose node has gone falls back to the connection list.
    if (SelectedKey.startsWith(QLatin1Char('@'))) {
        if (tvwDb->HasNode(SelectedKey)) {
            SelectedItem = tvwDb->NodeText(SelectedKey);
        } else {
            SelectedItem.clear();
            SelectedKey = QStringLiteral("Active");
            UpdateTree(QStringLiteral("Active"));
        }
    }
    if (button == TreeViewControl::RightButton) {
        using enum ConsolePlace;
        popUpAtPointer(Menu(SelectedKey == QLatin1String("root") ? MainMnu : mnuRefreshOptions));
    }
}

void frmMain::lvwDb_Click()
{
    // Empty when no row is selected.
    ConsoleState::SelectedItem = lvwDb->SelectedText();
}

void frmMain::lvwDb_GotFocus()
{
    lvwDb_Click();
}

void frmMain::lvwDb_MouseDown(int button)
{
    lvwDb_Click();
    if (button == ListViewControl::RightButton)
        popUpAtPointer(ContextMenuFor(MenuSource::ListRightClick));
}

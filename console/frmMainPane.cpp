// The right-hand pane: its frames, the list for a tree key, the list's view,
// and the tree's and the list's mouse events.
#include "console/frmMain.h"

#include "console/ConnectionPanel.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QAction>
#include <QFrame>

void frmMain::FramesOff()
{
    for (QWidget* frame : {static_cast<QWidget*>(fmeUser), static_cast<QWidget*>(fmeFileStats),
                           static_cast<QWidget*>(FmeGroupDayFile), static_cast<QWidget*>(FmeGroupDayMegabytes),
                           static_cast<QWidget*>(fmeList), static_cast<QWidget*>(fmeMegabyteStats),
                           static_cast<QWidget*>(FmeUserDayFile), static_cast<QWidget*>(fmeUserDayMegabytes)})
        frame->setVisible(false);
}

void frmMain::UpdateTree(QString key)
{
    const int sessions = FtpEngine1->Sessions().Count();
    FramesOff();
    fmeList->setVisible(true);
    lvwDb->setVisible(true);
    lvwDb->ClearColumns();
    lvwDb->ClearItems();
    lstServerLog->setVisible(true);
    if (key == QLatin1String("#"))
        key = QStringLiteral("root");

    if (key == QLatin1String("root")) {
        lvwDb->AddColumn(QStringLiteral("IP Address"), 1700);
        lvwDb->AddColumn(QStringLiteral("Port"), 600);
        lvwDb->AddColumn(QStringLiteral("Connections"), 1200);
        lvwDb->AddColumn(QStringLiteral("Root Folder"), 5000);
        if (ModMain::LoadConfig()) {
            ListViewItem all;
            all.key = QStringLiteral("list");
            all.text = QStringLiteral("All");
            all.icon = ListImage::Settings;
            all.smallIcon = ListImage::Settings;
            all.subItems = {ModMain::ServerConfig.Port, QString::number(sessions), ModMain::ServerConfig.ServerRoot};
            lvwDb->InsertItem(1, all);
        }
    }
    RestoreMousePointer();
}

void frmMain::UpdateUserTree()
{
    UpdateTree(ConsoleState::SelectedKey);
}

void frmMain::UpdateListView()
{
    // The last checked item wins.
    if (mnuIcon->isChecked())
        lvwDb->SetView(ListViewMode::LargeIcons);
    if (mnuSmallIcon->isChecked())
        lvwDb->SetView(ListViewMode::SmallIcons);
    if (mnuReport->isChecked())
        lvwDb->SetView(ListViewMode::Report);
    if (mnuList->isChecked())
        lvwDb->SetView(ListViewMode::List);
}

void frmMain::tvwDb_NodeClick(const QString& key)
{
    FramesOff();
    lvwDb->setVisible(true);
    ConsoleState::SelectedKey = key;
    UpdateTree(key);
    ConsoleState::SelectedItem.clear();
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
    if (button == TreeViewControl::RightButton)
        popUpAtPointer(SelectedKey == QLatin1String("root") ? MainMnu : mnuRefreshOptions);
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

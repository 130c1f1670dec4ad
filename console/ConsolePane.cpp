#include "console/ConsolePane.h"

#include "console/ConnectionPanel.h"
#include "console/ConnectionSubtree.h"
#include "console/ConnectionView.h"
#include "console/PaneLists.h"
#include "core/ErrorReporter.h"
#include "engine/FtpEngine.h"
#include "platform/ListViewControl.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QWidget>
#include <exception>

namespace {

const QString UpdateTreeName = QStringLiteral("Quayport.frmMain.UpdateTree");
const QString UpdateUserTreeName = QStringLiteral("Quayport.frmMain.UpdateUserTree");

// Puts the pointer back however the refresh ends.
struct PointerRestore {
    const std::function<void()>& restore;
    ~PointerRestore()
    {
        if (restore)
            restore();
    }
};

} // namespace

ConsolePane::ConsolePane(PaneControls controls) : c(std::move(controls)) {}

void ConsolePane::FramesOff()
{
    for (QWidget* frame : {static_cast<QWidget*>(c.fmeUser), c.fmeFileStats, c.FmeGroupDayFile,
                           c.FmeGroupDayMegabytes, c.fmeList, c.fmeMegabyteStats, c.FmeUserDayFile,
                           c.fmeUserDayMegabytes}) {
        if (frame)
            frame->setVisible(false);
    }
}

FtpUser* ConsolePane::SessionOfKey(const QString& key) const
{
    const QString identity = ConnectionSubtree::IdentityOf(*c.tvwDb, key);
    if (identity.isEmpty())
        return nullptr;
    const FtpSessions& sessions = c.FtpEngine1->Sessions();
    // The key's index is the session's place at the last rebuild; try it first.
    bool ok = false;
    const int index = key.mid(1).toInt(&ok);
    if (ok) {
        FtpUser* at = sessions.Item(index);
        if (at && QString::number(at->SessionId()) == identity)
            return at;
    }
    for (int i = 0; i < sessions.Count(); ++i) {
        FtpUser* user = sessions.Item(i);
        if (user && QString::number(user->SessionId()) == identity)
            return user;
    }
    return nullptr;
}

void ConsolePane::showPanel(FtpUser& user)
{
    c.fmeUser->setVisible(true);
    c.lvwDb->setVisible(false);
    ConnectionView::FillPanel(*c.fmeUser, user);
}

void ConsolePane::UpdateTree(QString key)
{
    PointerRestore pointer{c.restorePointer};
    const int sessionCount = c.FtpEngine1->Sessions().Count();
    for (;;) {
        FramesOff();
        c.fmeList->setVisible(true);
        c.lvwDb->setVisible(true);
        c.lvwDb->ClearColumns();
        c.lvwDb->ClearItems();
        c.lstServerLog->setVisible(true);
        if (key == QLatin1String("#"))
            key = QStringLiteral("root");

        try {
            ListViewControl& list = *c.lvwDb;
            if (key == QLatin1String("root"))
                PaneLists::ShowSettingsSummary(list, sessionCount);
            else if (key == QLatin1String("Active"))
                ConnectionView::ShowConnections(list, *c.FtpEngine1, false, {});
            else if (key == QLatin1String("uandg"))
                PaneLists::ShowUserAndGroupTotals(list);
            else if (key == QLatin1String("users"))
                PaneLists::ShowAccounts(list);
            else if (key == QLatin1String("groups"))
                PaneLists::ShowGroups(list);
            else if (key == QLatin1String(" Logs"))
                PaneLists::ShowLogTotals(list);
            else if (key == QLatin1String("serverlogs"))
                PaneLists::ShowLogFiles(list, PaneLists::LogKind::Server);
            else if (key == QLatin1String("userlogs"))
                PaneLists::ShowLogFiles(list, PaneLists::LogKind::User);
            else if (key == QLatin1String("grouplogs"))
                PaneLists::ShowLogFiles(list, PaneLists::LogKind::Group);

            if (key.startsWith(QLatin1String("#@")))
                ConnectionView::ShowConnections(list, *c.FtpEngine1, true, key.mid(2));
        } catch (const std::exception& e) {
            // A refresh that fails shows what it has; the server keeps running.
            ReportError(QString::fromLocal8Bit(e.what()), UpdateTreeName, 5);
            c.lvwDb->ClearItems();
        }

        if (key.startsWith(QLatin1Char('@'))) {
            FtpUser* user = SessionOfKey(key);
            if (user) {
                const FtpSessions& sessions = c.FtpEngine1->Sessions();
                for (int i = 0; i < sessions.Count(); ++i) {
                    if (sessions.Item(i) == user)
                        ConsoleState::ConnectionID = i;
                }
                showPanel(*user);
            } else {
                c.lstServerLog->setVisible(true);
                key = QStringLiteral("Active");
                ConsoleState::SelectedKey = key;
                continue; // show the connection list instead
            }
        }
        return;
    }
}

void ConsolePane::UpdateUserTree()
{
    // Remember which session the selection names before its index can move.
    const QString selected = ConsoleState::SelectedKey;
    const QString identity = ConnectionSubtree::IdentityOf(*c.tvwDb, selected);
    try {
        ConnectionSubtree::Rebuild(*c.tvwDb, *c.FtpEngine1);
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()), UpdateUserTreeName, 4);
    }
    if (!identity.isEmpty()) {
        const QString now = ConnectionSubtree::KeyOfIdentity(*c.tvwDb, identity);
        ConsoleState::SelectedKey = now.isEmpty() ? QStringLiteral("Active") : now;
    }
    UpdateTree(ConsoleState::SelectedKey);
}

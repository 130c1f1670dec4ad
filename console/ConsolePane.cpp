#include "console/ConsolePane.h"

#include "console/ConnectionPanel.h"
#include "console/ConnectionSubtree.h"
#include "console/ConnectionView.h"
#include "console/PaneLists.h"
#include "core/ErrorReporter.h"
#include "core/ProcedureName.h"
#include "engine/FtpEngine.h"
#include "platform/ListViewControl.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QHash>
#include <QWidget>
#include <exception>

namespace {

const QString UpdateTreeName = FrmMainProcedure("UpdateTree");
const QString UpdateUserTreeName = FrmMainProcedure("UpdateUserTree");

// Puts the pointer back however the refresh ends.
struct PointerRestore {
    const std::function<void()>& restore;
    ~PointerRestore()
    {
        if (restore)
            restore();
    }
};

// The list's and the frames' changes of one refresh, applied when it ends.
struct PaneUpdate {
    ListViewControl& list;
    QHash<QWidget*, bool> shown;
    explicit PaneUpdate(ListViewControl& l) : list(l) { list.BeginUpdate(); }
    ~PaneUpdate()
    {
        list.EndUpdate();
        for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
            if (it.key()->isHidden() == it.value())
                it.key()->setVisible(it.value());
        }
    }
};

} // namespace

ConsolePane::ConsolePane(PaneControls controls)
    : c(std::move(controls))
    , m_refresh([this] { UpdateUserTree(); })
{
}

ConsolePane::~ConsolePane() = default;

void ConsolePane::FramesOff()
{
    for (QWidget* frame : {static_cast<QWidget*>(c.fmeUser), c.fmeFileStats, c.FmeGroupDayFile,
                           c.FmeGroupDayMegabytes, c.fmeList, c.fmeMegabyteStats, c.FmeUserDayFile,
                           c.fmeUserDayMegabytes}) {
        if (frame)
            frame->setVisible(false);
    }
}

FtpUser* ConsolePane::SessionOfKey(const QString& key, int* index) const
{
    const QString identity = ConnectionSubtree::IdentityOf(*c.tvwDb, key);
    if (identity.isEmpty())
        return nullptr;
    const FtpSessions& sessions = c.FtpEngine1->Sessions();
    // The key's index is the session's place at the last rebuild; try it first.
    bool ok = false;
    const int at = key.mid(1).toInt(&ok);
    for (int i = ok ? -1 : 0; i < sessions.Count(); ++i) {
        FtpUser* user = sessions.Item(i < 0 ? at : i);
        if (user && QString::number(user->SessionId()) == identity) {
            if (index)
                *index = i < 0 ? at : i;
            return user;
        }
    }
    return nullptr;
}

void ConsolePane::UpdateTree(QString key)
{
    fill(std::move(key));
    highlightSelection();
    // The highlighted row is what the commands act on: a refresh that dropped
    // the highlight drops the choice, and one without a choice highlights nothing.
    if (!c.lvwDb->isHidden() && c.lvwDb->SelectedText() != ConsoleState::SelectedItem) {
        ConsoleState::SelectedItem.clear();
        c.lvwDb->ClearSelection();
    }
}

void ConsolePane::fill(QString key)
{
    PointerRestore pointer{c.restorePointer};
    // The frames and the list take their final state once, at the end: a
    // frame hidden and shown again would lay out and paint the pane anew.
    PaneUpdate update{*c.lvwDb};
    auto show = [&update](QWidget* w, bool visible) {
        if (w)
            update.shown.insert(w, visible);
    };
    const int sessionCount = c.FtpEngine1->Sessions().Count();
    for (;;) {
        for (QWidget* frame : {static_cast<QWidget*>(c.fmeUser), c.fmeFileStats, c.FmeGroupDayFile,
                               c.FmeGroupDayMegabytes, c.fmeList, c.fmeMegabyteStats, c.FmeUserDayFile,
                               c.fmeUserDayMegabytes})
            show(frame, false);
        show(c.fmeList, true);
        show(c.lvwDb, true);
        c.lvwDb->ClearColumns();
        c.lvwDb->ClearItems();
        show(c.lstServerLog, true);
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
            int index = -1;
            FtpUser* user = SessionOfKey(key, &index);
            if (user) {
                ConsoleState::ConnectionID = index;
                show(c.fmeUser, true);
                show(c.lvwDb, false);
                ConnectionView::FillPanel(*c.fmeUser, *user);
            } else {
                show(c.lstServerLog, true);
                key = QStringLiteral("Active");
                ConsoleState::SelectedKey = key;
                continue; // show the connection list instead
            }
        }
        break;
    }
}

void ConsolePane::UpdateUserTree()
{
    m_refresh.Done();
    // Remember which session the selection names before its index can move.
    const QString selected = ConsoleState::SelectedKey;
    const QString identity = ConnectionSubtree::IdentityOf(*c.tvwDb, selected);
    QString now;
    try {
        now = ConnectionSubtree::Rebuild(*c.tvwDb, *c.FtpEngine1, identity);
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()), UpdateUserTreeName, 4);
    }
    if (!identity.isEmpty())
        ConsoleState::SelectedKey = now.isEmpty() ? QStringLiteral("Active") : now;
    // A chart stays in the pane until a tree click or a list command: on a
    // busy server logins and logouts would never leave it long enough to read.
    if (chartShown()) {
        highlightSelection();
        return;
    }
    UpdateTree(ConsoleState::SelectedKey);
}

void ConsolePane::highlightSelection()
{
    const QString& key = ConsoleState::SelectedKey;
    c.tvwDb->Highlight(key == QLatin1String("#") ? QStringLiteral("root") : key);
}

bool ConsolePane::chartShown() const
{
    for (const QWidget* frame : {c.fmeFileStats, c.fmeMegabyteStats, c.FmeUserDayFile, c.fmeUserDayMegabytes,
                                 c.FmeGroupDayFile, c.FmeGroupDayMegabytes}) {
        if (frame && !frame->isHidden())
            return true;
    }
    return false;
}

void ConsolePane::ScheduleUserTreeUpdate()
{
    m_refresh.Request();
}

void ConsolePane::CatchUp(QString& key)
{
    if (!m_refresh.Pending())
        return;
    m_refresh.Done();
    // The key and the selection name nodes of the tree as it was; they follow
    // their sessions, as a refresh makes the selection do.
    const QString keyIdentity = ConnectionSubtree::IdentityOf(*c.tvwDb, key);
    const QString selectedIdentity = ConnectionSubtree::IdentityOf(*c.tvwDb, ConsoleState::SelectedKey);
    QString selected;
    try {
        selected = ConnectionSubtree::Rebuild(*c.tvwDb, *c.FtpEngine1, selectedIdentity);
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()), UpdateUserTreeName, 4);
    }
    if (!selectedIdentity.isEmpty())
        ConsoleState::SelectedKey = selected.isEmpty() ? QStringLiteral("Active") : selected;
    if (!keyIdentity.isEmpty()) {
        const QString now = keyIdentity == selectedIdentity ? selected
                                                            : ConnectionSubtree::KeyOfIdentity(*c.tvwDb, keyIdentity);
        key = now.isEmpty() ? QStringLiteral("Active") : now;
    }
}

#include "dialogs/frmEditGroups.h"

#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/FileNames.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "dialogs/DialogControls.h"
#include "session/LiveSessions.h"
#include "dialogs/TextRules.h"
#include "platform/ActivationFilter.h"
#include "platform/BusyCursor.h"
#include "platform/FolderPicker.h"
#include "platform/HelpViewer.h"
#include "session/AccountRemoval.h"
#include "session/ConsoleState.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

using namespace DialogControls;

namespace {

QString folded(const QString& text)
{
    return DialogText::TrimBlanks(text).toLower();
}

// The member's account file name, kept with the shown user id.
constexpr int AccountRole = Qt::UserRole;

} // namespace

frmEditGroups::frmEditGroups(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEditGroups"));
    setWindowTitle(QStringLiteral("Edit Groups"));

    Frame1 = Named(new QGroupBox(QStringLiteral("Group and User Information"), this), "Frame1");
    Place(Frame1, 0, 0, 3735, 2895);
    Place(Named(new QLabel(QStringLiteral("Select Group"), Frame1), "Label1"), 120, 240, 1335, 255);
    lstGroups = Named(new QListWidget(Frame1), "lstGroups", QStringLiteral("Click on a Group to retrieve its details"));
    Place(lstGroups, 120, 480, 3495, 1035);
    Place(Named(new QLabel(QStringLiteral("Users in selected Group"), Frame1), "Label2"), 120, 1560, 2415, 255);
    lstUsers = Named(new QListWidget(Frame1), "lstUsers", QStringLiteral("Here are a list of Users in the selected Group"));
    Place(lstUsers, 120, 1800, 3495, 1035);

    Frame2 = Named(new QGroupBox(QStringLiteral("Allowable Commands"), this), "Frame2");
    Place(Frame2, 3840, 0, 1815, 2895);
    CommandBoxes(Frame2,
                 {{&chkDir, &chkChangeDir, &chkMakeDir, &chkRemoveDir, &chkGetFile, &chkPutFile, &chkDeleteFile,
                   &chkRenameFile},
                  {480, 720, 960, 1200, 1680, 1920, 2160, 2400}},
                 QStringLiteral("Group"), 1455);

    Frame3 = Named(new QGroupBox(this), "Frame3");
    Place(Frame3, 0, 2880, 5655, 2535);
    FolderTree1 = Named(new FolderPicker(Frame3), "FolderTree1");
    Place(FolderTree1, 120, 240, 5415, 2175);

    cmdAddGroup = Button(this, "cmdAddGroup", QStringLiteral("&New Group"),
                         QStringLiteral("Click on this button to create a NEW Group"));
    Place(cmdAddGroup, 0, 5520, 1095, 315);
    cmdUpdate = Button(this, "cmdUpdate", QStringLiteral("&Update Group"), QStringLiteral("Click here to update the Group details"));
    Place(cmdUpdate, 1200, 5520, 1215, 315);
    cmdDelete = Button(this, "cmdDelete", QStringLiteral("&Delete Group"), QStringLiteral("Click here to Delete the Group"));
    Place(cmdDelete, 2520, 5520, 1095, 315);
    cmdOk = Button(this, "cmdOk", QStringLiteral("&Close"), QStringLiteral("Click here to Exit"));
    Place(cmdOk, 3720, 5520, 855, 315);
    cmdHelp = Button(this, "cmdHelp", QStringLiteral("&Help"));
    Place(cmdHelp, 4680, 5520, 1000, 315);
    FixedCentred(this, 5685, 5865);

    TabOrder({lstGroups, lstUsers, chkDir, chkChangeDir, chkMakeDir, chkRemoveDir, chkGetFile, chkPutFile,
              chkDeleteFile, chkRenameFile, cmdAddGroup, cmdUpdate, cmdDelete, cmdOk, cmdHelp});

    // The selection, not the current entry: a click makes the entry current
    // before it selects it.
    OnSignal(lstGroups, &QListWidget::itemSelectionChanged, this, "lstGroups_Click", &frmEditGroups::lstGroups_Click);
    OnSignal(cmdAddGroup, &QPushButton::clicked, this, "cmdAddGroup_Click", &frmEditGroups::cmdAddGroup_Click);
    OnSignal(cmdUpdate, &QPushButton::clicked, this, "cmdUpdate_Click", &frmEditGroups::cmdUpdate_Click);
    OnSignal(cmdDelete, &QPushButton::clicked, this, "cmdDelete_Click", &frmEditGroups::cmdDelete_Click);
    OnSignal(cmdOk, &QPushButton::clicked, this, "cmdOk_Click", &frmEditGroups::cmdOk_Click);
    OnSignal(cmdHelp, &QPushButton::clicked, this, "cmdHelp_Click", &frmEditGroups::cmdHelp_Click);
    OnSignal(new ActivationFilter(this), &ActivationFilter::Activated, this, "Form_Activate",
             &frmEditGroups::Form_Activate);
    BindHelpKey(*this, HelpContext);
    RunTrapped(this, "Form_Load", &frmEditGroups::Form_Load);
}

QList<QCheckBox*> frmEditGroups::boxes() const
{
    return {chkDeleteFile, chkRenameFile, chkGetFile, chkPutFile, chkDir, chkMakeDir, chkRemoveDir, chkChangeDir};
}

void frmEditGroups::Form_Load()
{
    FolderTree1->SetOption12(true);
    FolderTree1->SetHeaderCaption(QStringLiteral("GROUP ROOT FOLDER"));
    ShownGroupName.clear();
    m_shownFile.clear();
    for (QCheckBox* box : boxes())
        box->setEnabled(false);
    GetGroups();
}

void frmEditGroups::Form_Activate()
{
    FolderTree1->SetTreeRoot(ModMain::ServerConfig.ServerRoot);
    if (DialogText::TrimBlanks(ShownGroupName).isEmpty()) {
        cmdDelete->setEnabled(false);
        cmdUpdate->setEnabled(false);
    }
    lstGroups_Click();
}

void frmEditGroups::GetGroups()
{
    const QSignalBlocker quiet(lstGroups);
    lstGroups->clear();
    lstUsers->clear();
    lstGroups->addItems(GroupNames());
    lstGroups->setCurrentRow(-1);
    // With nothing selected there is no group for Update and Delete to act on.
    m_shownFile.clear();
}

void frmEditGroups::ResetOptions()
{
    for (QCheckBox* box : boxes())
        box->setCheckState(Qt::Checked);
}

void frmEditGroups::showFlags(const PermissionSet& p)
{
    const bool flags[] = {p.DeleteFile, p.RenameFile, p.GetFile, p.PutFile, p.Dir, p.MakeDir, p.RemoveDir, p.ChangeDir};
    const QList<QCheckBox*> all = boxes();
    for (int i = 0; i < all.size(); ++i)
        all.at(i)->setCheckState(CheckState(flags[i]));
}

void frmEditGroups::lstGroups_Click()
{
    BusyCursor busy;
    cmdDelete->setEnabled(true);
    QString entry; // the listed group shown, exactly as listed
    const QString handedOver = ConsoleState::EditGroupName;
    if (!DialogText::TrimBlanks(handedOver).isEmpty()) {
        // The handed-over group stays selected; one that is not listed selects nothing.
        const QList<QListWidgetItem*> found = lstGroups->findItems(handedOver, Qt::MatchExactly);
        const QSignalBlocker quiet(lstGroups);
        lstGroups->setCurrentRow(found.isEmpty() ? -1 : lstGroups->row(found.first()));
        if (found.isEmpty())
            lstGroups->clearSelection();
        else
            entry = handedOver;
    } else if (const QList<QListWidgetItem*> selected = lstGroups->selectedItems(); !selected.isEmpty()) {
        entry = selected.first()->text();
    }
    ShownGroupName = DialogText::TrimBlanks(entry);
    m_shownFile = ShownGroupName.isEmpty() ? QString() : entry;
    if (ShownGroupName.isEmpty()) {
        cmdDelete->setEnabled(false);
        cmdUpdate->setEnabled(false);
        return;
    }
    cmdDelete->setEnabled(true);
    cmdUpdate->setEnabled(true);
    for (QCheckBox* box : boxes())
        box->setEnabled(true);
    lstUsers->clear();

    const QString where = QuayportProcedure(objectName(), "lstGroups_Click");
    const GroupFileRead read = ReadGroupFile(GroupFilePath(m_shownFile), [&](int, LineFault fault) {
        ReportError(LineFaultText(fault), where, 5);
        return true;
    });
    if (!read.Opened)
        ReportError(read.ErrorText, where, 5);
    FolderTree1->SetSelectedFolder(read.Group.RootFolder);
    showFlags(read.Group.Permissions);
    showMembers(ShownGroupName);
    if (folded(ShownGroupName) == QLatin1String("public"))
        cmdDelete->setEnabled(false);
}

void frmEditGroups::showMembers(const QString& group)
{
    const QString where = QuayportProcedure(objectName(), "lstGroups_Click");
    for (const QString& account : AccountNames()) {
        // Membership is the account file's own line 14; later lines are not needed.
        const AccountFileRead read = ReadAccountFile(AccountFilePath(account), [&](int line, LineFault fault) {
            if (line > AccountLine::Group)
                return false;
            ReportError(LineFaultText(fault), where, 8);
            return fault != LineFault::PastEnd;
        });
        if (!read.lineRead(AccountLine::Group) || folded(read.Account.Group) != folded(group))
            continue;
        const QString shown = read.Account.UserId.isEmpty() ? account : read.Account.UserId;
        auto* item = new QListWidgetItem(shown, lstUsers);
        item->setData(AccountRole, account);
    }
}

void frmEditGroups::cmdAddGroup_Click()
{
    const QString typed = Messages().input(QStringLiteral("Enter New Group"), QStringLiteral("New Group"), QString());
    if (!ModMain::ValidateString(typed))
        return;
    // Blanks at either end would make a name the login never finds.
    const QString name = DialogText::TrimBlanks(typed);
    if (name.isEmpty())
        return;
    const QString path = GroupFilePath(name);
    if (FileExists(path)) {
        Messages().message(QStringLiteral("Group already exists."), QStringLiteral("Error"), MessageIcon::Critical);
        return;
    }
    GroupRecord group;
    group.Permissions = PermissionSet::all(true);
    group.RootFolder = ModMain::ServerConfig.ServerRoot;
    if (!Storable({{QStringLiteral("The folder"), group.RootFolder}}))
        return;
    // The group shown so far stays selected until the new one is written; a
    // failed write gives its values back, or Update would store the new
    // group's rights and folder over that group.
    QList<Qt::CheckState> shownStates;
    for (const QCheckBox* box : boxes())
        shownStates.append(box->checkState());
    const QString shownFolder = FolderTree1->SelectedFolder();
    ResetOptions();
    FolderTree1->SetSelectedFolder(group.RootFolder);
    if (const FileOpResult written = WriteLines(path, GroupFileLines(group, false)); !written) {
        const QList<QCheckBox*> all = boxes();
        for (int i = 0; i < all.size(); ++i)
            all.at(i)->setCheckState(shownStates.at(i));
        FolderTree1->SetSelectedFolder(shownFolder);
        ReportError(written.errorText, QuayportProcedure(objectName(), "cmdAddGroup_Click"), 6);
        return;
    }
    ModMain::WriteServerEvent(QStringLiteral("Group ") + name + QStringLiteral(" created."), true);
    ModMain::CheckUG();
    GetGroups();
    ResetOptions();
}

void frmEditGroups::cmdUpdate_Click()
{
    if (m_shownFile.isEmpty())
        return;
    GroupRecord group;
    PermissionSet& p = group.Permissions;
    p.DeleteFile = IsSet(chkDeleteFile);
    p.RenameFile = IsSet(chkRenameFile);
    p.GetFile = IsSet(chkGetFile);
    p.PutFile = IsSet(chkPutFile);
    p.Dir = IsSet(chkDir);
    p.RemoveDir = IsSet(chkRemoveDir);
    p.MakeDir = IsSet(chkMakeDir);
    p.ChangeDir = IsSet(chkChangeDir);
    group.RootFolder = FolderTree1->SelectedFolder();
    if (!Storable({{QStringLiteral("The folder"), group.RootFolder}}))
        return;
    if (const FileOpResult written = WriteLines(GroupFilePath(m_shownFile), GroupFileLines(group, true)); !written) {
        ReportError(written.errorText, QuayportProcedure(objectName(), "cmdUpdate_Click"), 4);
        return;
    }
    ModMain::WriteServerEvent(QStringLiteral("Group ") + m_shownFile + QStringLiteral(" updated."), true);
}

void frmEditGroups::cmdDelete_Click()
{
    const QString shown = m_shownFile;
    const QString g = DialogText::TrimBlanks(shown);
    if (g.isEmpty() || folded(g) == QLatin1String("public") || !FileExists(GroupFilePath(shown)))
        return;
    if (Messages().confirm(QStringLiteral("Delete group ") + shown
                               + QStringLiteral("?\r\nAll users for this group will be lost?"),
                           QStringLiteral("Delete Group"))) {
        QList<std::pair<QString, QString>> members; // shown id, account file name
        for (int i = 0; i < lstUsers->count(); ++i)
            members.append({lstUsers->item(i)->text(), lstUsers->item(i)->data(AccountRole).toString()});
        // Every session ends first: each end writes the user's and the group's logs and trends.
        for (const auto& member : members)
            CloseUserSessions(member.second);
        const QString where = QuayportProcedure(objectName(), "cmdDelete_Click");
        if (!RemoveGroupFiles(shown)) {
            ReportError(PermissionDeniedText(), where, 3);
            return;
        }
        QStringList removed;
        for (const auto& [id, account] : members) {
            if (RemoveAccountFiles(account))
                removed.append(id);
            else
                ReportError(PermissionDeniedText(), where, 3);
        }
        ModMain::WriteServerEvent(QStringLiteral("Group ") + shown + QStringLiteral(" deleted."), true);
        for (const QString& id : removed)
            ModMain::WriteServerEvent(QStringLiteral("User ") + id + QStringLiteral(" deleted."), true);
    }
    ModMain::CheckUG();
    GetGroups();
    ResetOptions();
}

void frmEditGroups::cmdOk_Click()
{
    ConsoleState::EditGroupName.clear();
    close();
}

void frmEditGroups::cmdHelp_Click()
{
    ShowHelpTopic(HelpContext);
}

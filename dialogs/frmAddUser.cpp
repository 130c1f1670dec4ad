#include "dialogs/frmAddUser.h"

#include "core/FileNames.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "dialogs/DialogControls.h"
#include "dialogs/TextRules.h"
#include "platform/ActivationFilter.h"
#include "platform/FolderPicker.h"
#include "platform/HelpViewer.h"
#include "platform/LostFocusFilter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace DialogControls;

frmAddUser::frmAddUser(QWidget* parent)
    : AccountForm({"frmAddUser", QStringLiteral("Account Information"), QString(),
                   QStringLiteral("Enter the User password"), QStringLiteral("Enter the User Email Address"),
                   QStringLiteral("Select a Group where the User will belong"),
                   QStringLiteral("Tick here to ignore User commands and User the Users Group command settings"),
                   QStringLiteral("Tick here to allow the User to use the Group home 'root' directory/folder")},
                  parent)
{
    setWindowTitle(QStringLiteral("Add User"));
    label(QStringLiteral("UserID*:"), 60, 240, 1500);
    txtUserID = Named(new QLineEdit(Frame3), "txtUserID", QStringLiteral("Enter new User name"));
    Place(txtUserID, 1620, 240, 1995, 315);

    cmdAdd = Button(this, "cmdAdd", QStringLiteral("&Add"), QStringLiteral("Click to Add User"));
    Place(cmdAdd, 2880, 5880, 1125, 315);
    Command2 = Button(this, "Command2", QStringLiteral("&Close"), QStringLiteral("Click to Exit"));
    Place(Command2, 4080, 5880, 1000, 315);
    cmdHelp = Button(this, "cmdHelp", QStringLiteral("&Help"), QStringLiteral("Click for Help"));
    Place(cmdHelp, 5160, 5880, 1000, 315);
    FixedCentred(this, 6165, 6255);

    TabOrder({txtUserID, txtPassword, txtEmail, cboSecurityGroup, chkadoptgroupcmds, txtAccountDescription, chkDir,
              chkChangeDir, chkMakeDir, chkRemoveDir, chkGetFile, chkPutFile, chkDeleteFile, chkRenameFile,
              chkUseGroup, cmdAdd, Command2, cmdHelp});

    OnSignal(new LostFocusFilter(txtUserID), &LostFocusFilter::LostFocus, this, "txtUserID_LostFocus",
             &frmAddUser::txtUserID_LostFocus);
    OnSignal(cmdAdd, &QPushButton::clicked, this, "cmdAdd_Click", &frmAddUser::cmdAdd_Click);
    OnSignal(Command2, &QPushButton::clicked, this, "Command2_Click", &frmAddUser::Command2_Click);
    OnSignal(cmdHelp, &QPushButton::clicked, this, "cmdHelp_Click", &frmAddUser::cmdHelp_Click);
    OnSignal(new ActivationFilter(this), &ActivationFilter::Activated, this, "Form_Activate",
             &frmAddUser::Form_Activate);
    BindHelpKey(*this, HelpContext);
    RunTrapped(this, "Form_Load", &frmAddUser::Form_Load);
}

void frmAddUser::Form_Load()
{
    FolderTree1->SetHeaderCaption(QStringLiteral("USER ROOT FOLDER"));
    txtUserID->clear();
    txtPassword->clear();
    txtEmail->clear();
    txtAccountDescription->clear();
    cboSecurityGroup->setEditText(QString());
    SetBox(chkadoptgroupcmds, true, [this] { chkAdoptGroupCmds_Click(); });
    checkAll(permissionBoxes(), true);
    SetBox(chkUseGroup, true, [this] { chkUseGroup_Click(); });
    chkAdoptGroupCmds_Click();
    GetGroups();
}

void frmAddUser::Form_Activate()
{
    txtUserID->setFocus();
    FolderTree1->SetTreeRoot(ModMain::ServerConfig.ServerRoot);
    txtUserID->setFocus();
}

void frmAddUser::txtUserID_LostFocus()
{
    if (!ModMain::ValidateString(txtUserID->text())) {
        txtUserID->setFocus();
        return;
    }
    txtEmail->setText(DialogText::TrimBlanks(txtUserID->text()) + QLatin1Char('@'));
}

void frmAddUser::ResetOptions()
{
    txtUserID->clear();
    txtPassword->clear();
    cboSecurityGroup->setEditText(QString());
    txtAccountDescription->clear();
    txtEmail->clear();
    SetBox(chkadoptgroupcmds, true, [this] { chkAdoptGroupCmds_Click(); });
    checkAll(permissionBoxes(), true);
    SetBox(chkUseGroup, true, [this] { chkUseGroup_Click(); });
}

void frmAddUser::cmdAdd_Click()
{
    const QString typed = txtUserID->text();
    const QString id = DialogText::TrimBlanks(typed);
    if (!passwordGiven() || !groupListed() || !groupGiven())
        return;
    // The id names a file: it is checked again as it stands now.
    if (!ModMain::ValidateString(id) || !IsSafeName(id.isEmpty() ? QStringLiteral("_") : id)) {
        txtUserID->setFocus();
        return;
    }
    if (FileExists(AccountFilePath(id))) {
        refuse(QStringLiteral("This user already exists."));
        return;
    }
    if (id.isEmpty()) {
        refuse(QStringLiteral("You must select a user name."));
        return;
    }
    const AccountRecord account
        = staged(id, DialogText::TrimBlanks(DialogText::StoredText(txtAccountDescription->toPlainText())));
    if (!writeAccount(account, "cmdAdd_Click"))
        return;
    ModMain::WriteServerEvent(QStringLiteral("User ") + typed + QStringLiteral(" created."), true);
    ModMain::CheckUG();
    ResetOptions();
    chkAdoptGroupCmds_Click();
    GetGroups();
}

void frmAddUser::Command2_Click()
{
    close();
}

void frmAddUser::cmdHelp_Click()
{
    ShowHelpTopic(HelpContext);
}

#include "dialogs/frmEditUsers.h"

#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/FileNames.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "dialogs/DialogControls.h"
#include "session/LiveSessions.h"
#include "dialogs/TextRules.h"
#include "dialogs/frmAddUser.h"
#include "platform/ActivationFilter.h"
#include "platform/BusyCursor.h"
#include "platform/FolderPicker.h"
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "session/AccountRemoval.h"
#include "session/ConsoleState.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace DialogControls;

frmEditUsers::frmEditUsers(QWidget* parent)
    : AccountForm({"frmEditUsers", QString(), QStringLiteral("User Home Folder"),
                   QStringLiteral("Set the password of the User"), QStringLiteral("Set the Email address of the user"),
                   QStringLiteral("Assign a Group to the user"), QStringLiteral("Tick here to Adopt Group Command settings"),
                   QStringLiteral("Tick here to Adopt Group home 'root' folder")},
                  parent)
{
    setWindowTitle(QStringLiteral("Edit User"));
    label(QStringLiteral("Select User:"), 60, 240, 1500);
    cboSelectUser = Named(new QComboBox(Frame3), "cboSelectUser", QStringLiteral("Select User to retrieve details"));
    cboSelectUser->setEditable(true);
    cboSelectUser->setInsertPolicy(QComboBox::NoInsert);
    Place(cboSelectUser, 1620, 240, 1995, 315);

    cmdAddUser = Button(this, "cmdAddUser", QStringLiteral("&Add User"), QStringLiteral("Click here to Add a New User"));
    Place(cmdAddUser, 0, 5880, 1125, 315);
    cmdUpdate = Button(this, "cmdUpdate", QStringLiteral("&Update User"), QStringLiteral("Click here to Update the User details"));
    Place(cmdUpdate, 1200, 5880, 1125, 315);
    cmdDelete = Button(this, "cmdDelete", QStringLiteral("&Delete User"), QStringLiteral("Click here to Delete the User"));
    Place(cmdDelete, 2400, 5880, 1125, 315);
    cmdOk = Button(this, "cmdOk", QStringLiteral("&Close"), QStringLiteral("Click Here to Exit"));
    Place(cmdOk, 4080, 5880, 1000, 315);
    cmdHelp = Button(this, "cmdHelp", QStringLiteral("&Help"));
    Place(cmdHelp, 5160, 5880, 1000, 315);
    FixedCentred(this, 6165, 6255);

    TabOrder({cboSelectUser, txtPassword, txtEmail, cboSecurityGroup, chkadoptgroupcmds, txtAccountDescription,
              chkDir, chkChangeDir, chkMakeDir, chkRemoveDir, chkGetFile, chkPutFile, chkDeleteFile, chkRenameFile,
              chkUseGroup, cmdAddUser, cmdUpdate, cmdDelete, cmdOk, cmdHelp});

    OnSignal(cboSelectUser, &QComboBox::activated, this, "cboSelectUser_Click", &frmEditUsers::cboSelectUser_Click);
    OnSignal(cmdUpdate, &QPushButton::clicked, this, "cmdUpdate_Click", &frmEditUsers::cmdUpdate_Click);
    OnSignal(cmdDelete, &QPushButton::clicked, this, "cmdDelete_Click", &frmEditUsers::cmdDelete_Click);
    OnSignal(cmdAddUser, &QPushButton::clicked, this, "cmdAddUser_Click", &frmEditUsers::cmdAddUser_Click);
    OnSignal(cmdOk, &QPushButton::clicked, this, "cmdOk_Click", &frmEditUsers::cmdOk_Click);
    OnSignal(cmdHelp, &QPushButton::clicked, this, "cmdHelp_Click", &frmEditUsers::cmdHelp_Click);
    OnSignal(new ActivationFilter(this), &ActivationFilter::Activated, this, "Form_Activate",
             &frmEditUsers::Form_Activate);
    BindHelpKey(*this, HelpContext);
    RunTrapped(this, "Form_Load", &frmEditUsers::Form_Load);
}

void frmEditUsers::Form_Load()
{
    FolderTree1->SetHeaderCaption(QStringLiteral("USER ROOT FOLDER"));
    FolderTree1->SetOption12(true);
    ResetOptions();
    GetGroups();
    GetUsers();
}

void frmEditUsers::Form_Activate()
{
    FolderTree1->SetTreeRoot(ModMain::ServerConfig.ServerRoot);
    if (!DialogText::TrimBlanks(ConsoleState::EditUserName).isEmpty())
        cboSelectUser_Click();
    cboSelectUser->setFocus();
}

void frmEditUsers::ResetOptions()
{
    txtPassword->clear();
    txtEmail->clear();
    cboSecurityGroup->setEditText(QString());
    txtAccountDescription->clear();
    SetBox(chkadoptgroupcmds, false, [this] { chkAdoptGroupCmds_Click(); });
    SetBox(chkUseGroup, false, [this] { chkUseGroup_Click(); });
    checkAll(permissionBoxes(), true);
}

void frmEditUsers::GetUsers()
{
    cboSelectUser->clear();
    cboSelectUser->addItems(AccountNames());
    cboSelectUser->setCurrentIndex(-1);
    cboSelectUser->setEditText(QString());
}

std::optional<QString> frmEditUsers::checkedName()
{
    const QString text = cboSelectUser->currentText();
    if (!ModMain::ValidateString(text)) {
        cboSelectUser->setFocus();
        return std::nullopt;
    }
    return DialogText::TrimBlanks(text);
}

bool frmEditUsers::listed(const QString& name) const
{
    for (int i = 0; i < cboSelectUser->count(); ++i) {
        if (DialogText::TrimBlanks(cboSelectUser->itemText(i)).toUpper() == name.toUpper())
            return true;
    }
    return false;
}

void frmEditUsers::cboSelectUser_Click()
{
    BusyCursor busy;
    // The handed-over account stands for any pick until Close.
    if (!DialogText::TrimBlanks(ConsoleState::EditUserName).isEmpty()) {
        cboSelectUser->setEditText(ConsoleState::EditUserName);
        QCoreApplication::processEvents();
    }
    const std::optional<QString> name = checkedName();
    if (!name)
        return;
    cmdDelete->setEnabled(true);
    if (name->isEmpty()) {
        Messages().message(QStringLiteral("Please select a user."), QString(), MessageIcon::None);
        return;
    }
    ResetOptions();
    m_loadFailed = false;
    const QString where = QuayportProcedure(objectName(), "cboSelectUser_Click");
    const AccountFileRead read = ReadAccountFile(AccountFilePath(*name), [&](int, LineFault fault) {
        ReportError(LineFaultText(fault), where, 6);
        return true;
    });
    if (!read.Opened || read.Damaged) {
        // Nothing of another account, nor half of a damaged one, may stay in
        // the controls to be written back.
        m_loadFailed = true;
        FolderTree1->SetSelectedFolder(QString());
        if (!read.Opened)
            ReportError(read.ErrorText, where, 6);
        return;
    }
    const AccountRecord& a = read.Account;
    // A blank root shows no folder, so none of an earlier account is written back.
    FolderTree1->SetSelectedFolder(DialogText::TrimBlanks(a.RootFolder).isEmpty() ? QString() : a.RootFolder);
    txtPassword->setText(a.Password);
    txtEmail->setText(a.Email);
    txtAccountDescription->setPlainText(DialogText::BoxText(a.Description));
    cboSecurityGroup->setEditText(a.Group);
    SetBox(chkUseGroup, a.UseGroupHomeDirectory, [this] { chkUseGroup_Click(); });
    SetBox(chkadoptgroupcmds, a.AdoptGroupCMDs, [this] { chkAdoptGroupCmds_Click(); });
    showPermissions(a.Permissions);
    if (name->toLower() == QLatin1String("anonymous"))
        cmdDelete->setEnabled(false);
}

void frmEditUsers::cmdUpdate_Click()
{
    BusyCursor busy;
    if (!passwordGiven() || !groupListed())
        return;
    const QString name = DialogText::TrimBlanks(cboSelectUser->currentText());
    if (!listed(name) || m_loadFailed) {
        refuse(QStringLiteral("You must select a valid user!. If you want to create a new user then click on the Add "
                              "User button."));
        return;
    }
    if (!groupGiven())
        return;
    if (name.isEmpty()) {
        refuse(QStringLiteral("You must select a user name."));
        return;
    }
    if (!checkedName() || !IsSafeName(name))
        return;
    const AccountRecord account = staged(name, DialogText::StoredText(txtAccountDescription->toPlainText()));
    if (!writeAccount(account, "cmdUpdate_Click"))
        return;
    ModMain::WriteServerEvent(QStringLiteral("User ") + name + QStringLiteral(" updated."), true);
}

void frmEditUsers::cmdDelete_Click()
{
    const QString text = cboSelectUser->currentText();
    const QString name = DialogText::TrimBlanks(text);
    // Only a listed account whose file is there; a name never acts as a pattern.
    if (name.isEmpty() || !IsSafeName(name) || !listed(name) || !FileExists(AccountFilePath(name)))
        return;
    if (Messages().confirm(QStringLiteral("Delete User ") + text + QLatin1Char('?'), QStringLiteral("Delete User"))) {
        // Closed first: each session's end writes the user's log and trends.
        CloseUserSessions(name);
        if (!RemoveAccountFiles(name)) {
            ReportError(PermissionDeniedText(), QuayportProcedure(objectName(), "cmdDelete_Click"), 4);
            return;
        }
        ModMain::WriteServerEvent(QStringLiteral("User ") + text + QStringLiteral(" deleted."), true);
    }
    ModMain::CheckUG();
    GetUsers();
    GetGroups();
    ResetOptions();
}

void frmEditUsers::cmdAddUser_Click()
{
    if (frmAddUser* open = SingleInstance<frmAddUser>::Open(); open && open->isVisible())
        ReportError(QStringLiteral("Form already displayed; can't show modally"),
                    QuayportProcedure(objectName(), "cmdAddUser_Click"), 1);
    else
        SingleInstance<frmAddUser>::Get().exec();
    ModMain::CheckUG();
    GetGroups();
    GetUsers();
    ResetOptions();
}

void frmEditUsers::cmdOk_Click()
{
    ModMain::CheckUG();
    ConsoleState::EditUserName.clear();
    close();
}

void frmEditUsers::cmdHelp_Click()
{
    ShowHelpTopic(HelpContext);
}

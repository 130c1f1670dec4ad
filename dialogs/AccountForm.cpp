#include "dialogs/AccountForm.h"

#include "core/ErrorReporter.h"
#include "core/LineLimits.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/TextFile.h"
#include "dialogs/DialogControls.h"
#include "dialogs/GroupHomePicture.h"
#include "dialogs/TextRules.h"
#include "platform/FolderPicker.h"
#include "platform/PasswordBox.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace DialogControls;

namespace {

bool sameText(const QString& a, const QString& b)
{
    return DialogText::TrimBlanks(a).toUpper() == DialogText::TrimBlanks(b).toUpper();
}

} // namespace

AccountForm::AccountForm(const Texts& t, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QLatin1String(t.form));
    Frame3 = Named(new QGroupBox(t.accountFrame, this), "Frame3");
    Place(Frame3, 0, 0, 3735, 5775);
    label(QStringLiteral("Password*:"), 60, 720, 1500);
    txtPassword = Named(new QLineEdit(Frame3), "txtPassword", t.passwordTip);
    MaskWithAsterisks(*txtPassword);
    Place(txtPassword, 1620, 720, 1995, 315);
    label(QStringLiteral("Email Address:"), 60, 1080, 1500);
    txtEmail = Named(new QLineEdit(Frame3), "txtEmail", t.emailTip);
    Place(txtEmail, 1620, 1080, 1995, 315);
    label(QStringLiteral("Security Group*:"), 60, 1560, 1500);
    cboSecurityGroup = Named(new QComboBox(Frame3), "cboSecurityGroup", t.groupTip);
    cboSecurityGroup->setEditable(true);
    cboSecurityGroup->setInsertPolicy(QComboBox::NoInsert);
    Place(cboSecurityGroup, 1620, 1560, 1995, 315);
    chkadoptgroupcmds = CheckBox(Frame3, "chkadoptgroupcmds", QStringLiteral("Adopt Group Commands"), t.adoptTip);
    Place(chkadoptgroupcmds, 1320, 2000, 2340, 255);
    auto* description = label(QStringLiteral("Account Description"), 120, 2400, 3255);
    description->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    txtAccountDescription = Named(new QPlainTextEdit(Frame3), "txtAccountDescription",
                                  QStringLiteral("Enter information on the User here"));
    txtAccountDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtAccountDescription->setTabChangesFocus(true);
    // The account file keeps it on one line, which may be no longer than that of a one-line box.
    LimitStoredLength(txtAccountDescription, LineLimit::PlainField);
    Place(txtAccountDescription, 120, 2640, 3495, 2655);
    auto* required = label(QStringLiteral("* An entry is required"), 120, 5400, 3000);
    required->setObjectName(QStringLiteral("Label7"));
    required->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Frame1 = Named(new QGroupBox(QStringLiteral("Allowable Commands"), this), "Frame1");
    Place(Frame1, 3840, 0, 2295, 2535);
    CommandBoxes(Frame1,
                 {{&chkDir, &chkChangeDir, &chkMakeDir, &chkRemoveDir, &chkGetFile, &chkPutFile, &chkDeleteFile,
                   &chkRenameFile},
                  {360, 600, 840, 1080, 1440, 1680, 1920, 2160}},
                 QStringLiteral("User"), 1575);

    Frame2 = Named(new QGroupBox(t.homeFrame, this), "Frame2");
    Place(Frame2, 3840, 2520, 2295, 3255);
    chkUseGroup = CheckBox(Frame2, "chkUseGroup", QStringLiteral("Use Group Home"), t.useGroupTip);
    Place(chkUseGroup, 120, 210, 2055, 270);
    FolderTree1 = Named(new FolderPicker(Frame2), "FolderTree1");
    Place(FolderTree1, 120, 480, 2055, 2655);
    Image1 = Named(new QLabel(Frame2), "Image1");
    Place(Image1, 120, 480, 2055, 2655);
    Image1->setPixmap(GroupHomePicture(Image1->size()));

    OnSignal(chkadoptgroupcmds, &QCheckBox::toggled, this, "chkAdoptGroupCmds_Click", &AccountForm::chkAdoptGroupCmds_Click);
    OnSignal(chkUseGroup, &QCheckBox::toggled, this, "chkUseGroup_Click", &AccountForm::chkUseGroup_Click);
}

QLabel* AccountForm::label(const QString& text, int left, int top, int width)
{
    auto* l = new QLabel(text, Frame3);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(l, left, top, width, 255);
    return l;
}

void AccountForm::chkAdoptGroupCmds_Click()
{
    const bool adopt = IsSet(chkadoptgroupcmds);
    for (QCheckBox* box : permissionBoxes())
        box->setEnabled(!adopt);
}

void AccountForm::chkUseGroup_Click()
{
    const bool useGroup = IsSet(chkUseGroup);
    Image1->setVisible(useGroup);
    FolderTree1->setVisible(!useGroup);
}

void AccountForm::GetGroups()
{
    cboSecurityGroup->clear();
    cboSecurityGroup->addItems(GroupNames());
    cboSecurityGroup->setCurrentIndex(-1);
    cboSecurityGroup->setEditText(QString());
}

QList<QCheckBox*> AccountForm::permissionBoxes() const
{
    return {chkDir, chkChangeDir, chkMakeDir, chkRemoveDir, chkGetFile, chkPutFile, chkDeleteFile, chkRenameFile};
}

PermissionSet AccountForm::permissions() const
{
    PermissionSet p;
    p.ChangeDir = IsSet(chkChangeDir);
    p.DeleteFile = IsSet(chkDeleteFile);
    p.Dir = IsSet(chkDir);
    p.GetFile = IsSet(chkGetFile);
    p.MakeDir = IsSet(chkMakeDir);
    p.PutFile = IsSet(chkPutFile);
    p.RemoveDir = IsSet(chkRemoveDir);
    p.RenameFile = IsSet(chkRenameFile);
    return p;
}

void AccountForm::showPermissions(const PermissionSet& p)
{
    const std::pair<QCheckBox*, bool> boxes[] = {{chkDeleteFile, p.DeleteFile}, {chkRenameFile, p.RenameFile},
                                                 {chkGetFile, p.GetFile},       {chkPutFile, p.PutFile},
                                                 {chkDir, p.Dir},               {chkRemoveDir, p.RemoveDir},
                                                 {chkMakeDir, p.MakeDir},       {chkChangeDir, p.ChangeDir}};
    for (const auto& [box, on] : boxes)
        box->setCheckState(CheckState(on));
}

void AccountForm::checkAll(const QList<QCheckBox*>& boxes, bool on)
{
    for (QCheckBox* box : boxes)
        box->setCheckState(CheckState(on));
}

bool AccountForm::refuse(const QString& text)
{
    Messages().message(text, QStringLiteral("Error"), MessageIcon::Critical);
    return false;
}

bool AccountForm::passwordGiven()
{
    if (!DialogText::TrimBlanks(txtPassword->text()).isEmpty())
        return true;
    refuse(QStringLiteral("You must enter a user password."));
    txtPassword->setFocus();
    return false;
}

bool AccountForm::groupListed()
{
    for (int i = 0; i < cboSecurityGroup->count(); ++i) {
        if (sameText(cboSecurityGroup->itemText(i), cboSecurityGroup->currentText()))
            return true;
    }
    return refuse(QStringLiteral("You must select a valid security group."));
}

bool AccountForm::groupGiven()
{
    return !DialogText::TrimBlanks(cboSecurityGroup->currentText()).isEmpty()
        || refuse(QStringLiteral("You must select a security group."));
}

AccountRecord AccountForm::staged(const QString& name, const QString& description) const
{
    AccountRecord a;
    a.AdoptGroupCMDs = IsSet(chkadoptgroupcmds);
    a.Permissions = permissions();
    a.UserId = name;
    a.Password = DialogText::TrimBlanks(txtPassword->text());
    a.Description = description;
    a.Email = txtEmail->text();
    // The login looks the group up by its trimmed name.
    a.Group = DialogText::TrimBlanks(cboSecurityGroup->currentText());
    a.RootFolder = FolderTree1->SelectedFolder();
    a.UseGroupHomeDirectory = IsSet(chkUseGroup);
    return a;
}

bool AccountForm::writeAccount(const AccountRecord& a, const char* procedure)
{
    if (!Storable({{QStringLiteral("The password"), a.Password, true},
                   {QStringLiteral("The e-mail address"), a.Email},
                   {QStringLiteral("The description"), a.Description},
                   {QStringLiteral("The folder"), a.RootFolder}}))
        return false;
    const FileOpResult written = WriteLines(AccountFilePath(a.UserId), AccountFileLines(a));
    if (!written)
        ReportError(written.errorText, QuayportProcedure(objectName(), procedure), 7);
    return bool(written);
}

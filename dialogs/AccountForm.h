#pragma once
// What the add user and edit users dialogs share: the account's controls in
// their places, the two check-box procedures, the group list, the checks both
// make before writing, and the writing of the account file.
#include "core/Accounts.h"

#include <QDialog>

class FolderPicker;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class AccountForm : public QDialog {
    Q_OBJECT
public:
    // "Adopt Group Commands" checked: the eight permission boxes are disabled.
    void chkAdoptGroupCmds_Click();
    // "Use Group Home" checked: the picture stands where the picker was.
    void chkUseGroup_Click();
    // Refills the group list from the group files.
    void GetGroups();

    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtEmail = nullptr;
    QComboBox* cboSecurityGroup = nullptr;
    QCheckBox* chkadoptgroupcmds = nullptr;
    QPlainTextEdit* txtAccountDescription = nullptr;
    QCheckBox* chkDir = nullptr;
    QCheckBox* chkChangeDir = nullptr;
    QCheckBox* chkMakeDir = nullptr;
    QCheckBox* chkRemoveDir = nullptr;
    QCheckBox* chkGetFile = nullptr;
    QCheckBox* chkPutFile = nullptr;
    QCheckBox* chkDeleteFile = nullptr;
    QCheckBox* chkRenameFile = nullptr;
    QCheckBox* chkUseGroup = nullptr;
    FolderPicker* FolderTree1 = nullptr;
    QLabel* Image1 = nullptr;

protected:
    struct Texts {
        const char* form;
        QString accountFrame;    // caption of the left frame
        QString homeFrame;       // caption of the frame of "Use Group Home"
        QString passwordTip;
        QString emailTip;
        QString groupTip;
        QString adoptTip;
        QString useGroupTip;
    };
    AccountForm(const Texts& texts, QWidget* parent);

    // A label of the left frame, right-aligned, at its place in twips.
    QLabel* label(const QString& text, int left, int top, int width);
    // The box values, a grey box counting as not set.
    PermissionSet permissions() const;
    void showPermissions(const PermissionSet& p);
    void checkAll(const QList<QCheckBox*>& boxes, bool on);
    QList<QCheckBox*> permissionBoxes() const;

    // The checks before writing: the password, then the group against its list.
    bool passwordGiven();
    bool groupListed();
    bool groupGiven();
    // Shows a check's message (critical, "Error") and stops the procedure's write.
    bool refuse(const QString& text);
    // Writes the account file; false, after one report, when it was not written.
    bool writeAccount(const AccountRecord& account, const char* procedure);
    // The account the controls hold, under that name.
    AccountRecord staged(const QString& name, const QString& description) const;
};

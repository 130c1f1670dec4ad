#pragma once
// The edit groups dialog: lists the group files, shows one group's flags,
// root folder and member accounts, creates and rewrites groups, and deletes a
// group with its members after closing the members' live sessions.
#include "core/Accounts.h"

#include <QDialog>

class FolderPicker;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;

class frmEditGroups final : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 60;

    explicit frmEditGroups(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void lstGroups_Click();
    void cmdAddGroup_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    void cmdOk_Click();
    void cmdHelp_Click();
    void GetGroups();
    void ResetOptions();

    // The group whose flags and folder the window shows; empty for none.
    QString ShownGroupName;

    QGroupBox* Frame1 = nullptr;
    QListWidget* lstGroups = nullptr;
    QListWidget* lstUsers = nullptr;
    QGroupBox* Frame2 = nullptr;
    QCheckBox* chkDir = nullptr;
    QCheckBox* chkChangeDir = nullptr;
    QCheckBox* chkMakeDir = nullptr;
    QCheckBox* chkRemoveDir = nullptr;
    QCheckBox* chkGetFile = nullptr;
    QCheckBox* chkPutFile = nullptr;
    QCheckBox* chkDeleteFile = nullptr;
    QCheckBox* chkRenameFile = nullptr;
    QGroupBox* Frame3 = nullptr;
    FolderPicker* FolderTree1 = nullptr;
    QPushButton* cmdAddGroup = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdHelp = nullptr;

private:
    QList<QCheckBox*> boxes() const;
    void showFlags(const PermissionSet& p);
    void showMembers(const QString& group);
    // The listed group that Update and Delete act on; empty when none is shown.
    QString m_shownFile;
};

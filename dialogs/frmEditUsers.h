#pragma once
// The edit users dialog: lists the account files, loads one into its
// controls, rewrites it, deletes it with its logs and statistics after
// closing the user's live sessions, and opens the add user dialog.
#include "dialogs/AccountForm.h"

class QPushButton;

class frmEditUsers final : public AccountForm {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50;

    explicit frmEditUsers(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void ResetOptions();
    void GetUsers();
    void cboSelectUser_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    void cmdAddUser_Click();
    void cmdOk_Click();
    void cmdHelp_Click();

    QComboBox* cboSelectUser = nullptr;
    QPushButton* cmdAddUser = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdHelp = nullptr;

private:
    // The selector's text as it stands, checked as a name; no value (after
    // the check's own message) when it cannot name an account file.
    std::optional<QString> checkedName();
    // The listed account of that name (letter case and blanks ignored).
    bool listed(const QString& name) const;

    bool m_loadFailed = false; // the last load found no account file
};

#pragma once
// The add user dialog: each Add writes one new account file, logs it and
// clears the form for the next account; it stays open until Close.
#include "dialogs/AccountForm.h"

class QPushButton;

class frmAddUser final : public AccountForm {
    Q_OBJECT
public:
    static constexpr int HelpContext = 40;

    explicit frmAddUser(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void txtUserID_LostFocus();
    void cmdAdd_Click();
    void Command2_Click();
    void cmdHelp_Click();
    void ResetOptions();

    QLineEdit* txtUserID = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* cmdHelp = nullptr;
};

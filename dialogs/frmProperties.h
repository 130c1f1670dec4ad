#pragma once
// The server properties dialog: the nine settings of Config.txt on a "Server"
// tab (address, port, idle time-out, three switches, the server root folder)
// and a "Messages" tab (the greeting and the logged-on message).
#include <QDialog>

class FolderPicker;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

class frmProperties final : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 70;
    // The longest greeting or logged-on message, a line break counting as two.
    static constexpr int MessageLimit = 700;

    explicit frmProperties(QWidget* parent = nullptr);

    // Fills the controls from Config.txt; runs at each showing (the dialog is
    // made afresh each time).
    void Form_Load();
    void TabStrip1_Click();
    void txtIDLE_Change();
    void txtPort_Change();
    void txtGreeting_LostFocus();
    void txtLoggedOn_LostFocus();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    QTabBar* TabStrip1 = nullptr;
    QGroupBox* FmeServer = nullptr;
    QFrame* FmeMessages = nullptr;
    QLineEdit* txtIP = nullptr;
    QLineEdit* txtPort = nullptr;
    QLineEdit* txtIDLE = nullptr;
    QCheckBox* chkPut0Byte = nullptr;
    QCheckBox* chkAllowAnonymous = nullptr;
    QCheckBox* chkStartServer = nullptr;
    FolderPicker* FolderTree1 = nullptr;
    QPlainTextEdit* txtGreeting = nullptr;
    QPlainTextEdit* txtLoggedOn = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

private:
    void buildServerFrame();
    void buildMessagesFrame();
    void numberCheck(QLineEdit* box, const QString& whenEmpty, double low, double high, const QString& outOfRange,
                     const char* procedure);
    void lengthLimit(QPlainTextEdit* box);
};

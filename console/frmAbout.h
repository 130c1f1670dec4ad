#pragma once
// The about box: the program's title and version, and a button that starts
// the system information tool named in the registry.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void Form_Load();
    void cmdOk_Click();
    void cmdSysInfo_Click();
    // Finds the tool through the registry and starts it without waiting; any
    // failure on the way shows one message.
    void StartSysInfo();
    // Reads a text or double word value into KeyVal. Any other type, like a
    // missing key or value, is a failed read: KeyVal is emptied and false returned.
    static bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QFrame* Line1[2] = {nullptr, nullptr};

protected:
    // Esc presses OK, the box's cancel button.
    void keyPressEvent(QKeyEvent* event) override;
};

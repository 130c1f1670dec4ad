#pragma once
// The virtual folder editor: the rows of VirtMap.dat edited in memory, the
// whole file written back at Ok; Cancel drops every edit.
#include "core/VirtualFolderMap.h"

#include <QDialog>

class FolderPicker;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmVirtualFolders final : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 80;

    explicit frmVirtualFolders(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void List1_Click();
    void cmdAdd_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    // The rows in their order; List1 shows their names.
    const QList<VirtualFolderRecord>& Rows() const { return m_rows; }

    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    FolderPicker* FolderTree1 = nullptr;
    FolderPicker* FolderTree2 = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

private:
    // The row the controls hold; no value, after a box, when it cannot be one.
    std::optional<VirtualFolderRecord> rowFromControls();
    // The selected row; -1 when none.
    int selectedRow() const;
    void append(const VirtualFolderRecord& row);
    void removeRow(int row);
    void backToStart();

    QList<VirtualFolderRecord> m_rows;
};

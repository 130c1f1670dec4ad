#include "dialogs/frmVirtualFolders.h"

#include "core/Config.h"
#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "dialogs/DialogControls.h"
#include "dialogs/TextRules.h"
#include "platform/ActivationFilter.h"
#include "platform/FolderPicker.h"
#include "platform/HelpViewer.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

using namespace DialogControls;

namespace {

void refuse(const QString& text)
{
    Messages().message(text, QStringLiteral("Error"), MessageIcon::Critical);
}

// A name the engine can mount: one folder name, never "." or "..".
bool mountable(const QString& name)
{
    const QString trimmed = name.trimmed();
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0))
        && trimmed != QLatin1String(".") && trimmed != QLatin1String("..");
}

} // namespace

frmVirtualFolders::frmVirtualFolders(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVirtualFolders"));
    setWindowTitle(QStringLiteral("Work with Virtual Folders"));
    Frame1 = Named(new QGroupBox(QStringLiteral("Virtual Folders"), this), "Frame1");
    Place(Frame1, 0, 120, 8415, 3255);
    auto* defineLabel = Named(new QLabel(QStringLiteral("Define Virtual Folder"), Frame1), "Label1");
    defineLabel->setProperty("index", 0);
    Place(defineLabel, 120, 360, 3135, 255);
    Text1 = Named(new QLineEdit(Frame1), "Text1");
    Place(Text1, 120, 600, 3015, 285);
    auto* listLabel = Named(new QLabel(QStringLiteral("Virtual Folder list"), Frame1), "Label1");
    listLabel->setProperty("index", 1);
    Place(listLabel, 120, 900, 3135, 255);
    List1 = Named(new QListWidget(Frame1), "List1");
    Place(List1, 120, 1120, 3015, 2010);
    FolderTree1 = Named(new FolderPicker(Frame1), "FolderTree1");
    Place(FolderTree1, 3240, 360, 2475, 2775);
    FolderTree2 = Named(new FolderPicker(Frame1), "FolderTree2");
    Place(FolderTree2, 5760, 360, 2535, 2775);

    cmdAdd = Button(this, "cmdAdd", QStringLiteral("&Add"));
    Place(cmdAdd, 120, 3480, 1215, 315);
    cmdUpdate = Button(this, "cmdUpdate", QStringLiteral("&Update"));
    Place(cmdUpdate, 1440, 3480, 1215, 315);
    cmdDelete = Button(this, "cmdDelete", QStringLiteral("&Delete"));
    Place(cmdDelete, 2760, 3480, 1215, 315);
    cmdOk = Button(this, "cmdOk", QStringLiteral("&Ok"));
    Place(cmdOk, 4800, 3480, 1215, 315);
    cmdCancel = Button(this, "cmdCancel", QStringLiteral("&Cancel"));
    Place(cmdCancel, 6120, 3480, 1215, 315);
    cmdHelp = Button(this, "cmdHelp", QStringLiteral("&Help"));
    Place(cmdHelp, 7440, 3480, 1000, 315);
    FixedCentred(this, 8460, 3855);

    TabOrder({Text1, List1, cmdAdd, cmdUpdate, cmdDelete, cmdOk, cmdCancel, cmdHelp});

    // The selection, not the current row: focus arriving by Tab makes the
    // first row current without selecting it, and a click selects after.
    OnSignal(List1, &QListWidget::itemSelectionChanged, this, "List1_Click", &frmVirtualFolders::List1_Click);
    OnSignal(cmdAdd, &QPushButton::clicked, this, "cmdAdd_Click", &frmVirtualFolders::cmdAdd_Click);
    OnSignal(cmdUpdate, &QPushButton::clicked, this, "cmdUpdate_Click", &frmVirtualFolders::cmdUpdate_Click);
    OnSignal(cmdDelete, &QPushButton::clicked, this, "cmdDelete_Click", &frmVirtualFolders::cmdDelete_Click);
    OnSignal(cmdOk, &QPushButton::clicked, this, "cmdOk_Click", &frmVirtualFolders::cmdOk_Click);
    OnSignal(cmdCancel, &QPushButton::clicked, this, "cmdCancel_Click", &frmVirtualFolders::cmdCancel_Click);
    OnSignal(cmdHelp, &QPushButton::clicked, this, "cmdHelp_Click", &frmVirtualFolders::cmdHelp_Click);
    OnSignal(new ActivationFilter(this), &ActivationFilter::Activated, this, "Form_Activate",
             &frmVirtualFolders::Form_Activate);
    BindHelpKey(*this, HelpContext);
    RunTrapped(this, "Form_Load", &frmVirtualFolders::Form_Load);
}

void frmVirtualFolders::Form_Load()
{
    FolderTree1->SetHeaderCaption(QStringLiteral("Place Virtual Folder here (Source)"));
    FolderTree1->SetOption12(true);
    FolderTree2->SetHeaderCaption(QStringLiteral("Map to this Folder (Destination)"));
    FolderTree2->SetOption12(true);
    cmdDelete->setEnabled(false);
    cmdUpdate->setEnabled(false);
    ModMain::LoadConfig();
    FolderTree1->SetTreeRoot(ModMain::ServerConfig.ServerRoot);
    {
        const QSignalBlocker quiet(List1);
        List1->clear();
    }
    m_rows.clear();
    Text1->clear();
    FolderTree2->SetTreeRoot(FolderPicker::MyComputer);
    const QString where = QuayportProcedure(objectName(), "Form_Load");
    for (const VirtualFolderRecord& row : ReadVirtualFolderMap([&](const QString& text) { ReportError(text, where, 7); }))
        append(row);
}

void frmVirtualFolders::Form_Activate()
{
    Text1->setFocus();
}

void frmVirtualFolders::append(const VirtualFolderRecord& row)
{
    const QSignalBlocker quiet(List1);
    m_rows.append(row);
    List1->addItem(row.Name);
}

void frmVirtualFolders::removeRow(int row)
{
    const QSignalBlocker quiet(List1);
    m_rows.removeAt(row);
    delete List1->takeItem(row);
}

void frmVirtualFolders::backToStart()
{
    cmdDelete->setEnabled(false);
    cmdUpdate->setEnabled(false);
    cmdAdd->setEnabled(true);
    Text1->clear();
    const QSignalBlocker quiet(List1);
    List1->setCurrentRow(-1);
    List1->clearSelection();
}

int frmVirtualFolders::selectedRow() const
{
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    const int row = selected.isEmpty() ? -1 : List1->row(selected.first());
    return row < m_rows.size() ? row : -1;
}

void frmVirtualFolders::List1_Click()
{
    const int row = selectedRow();
    if (row < 0) {
        // Update and Delete act on the selected row only.
        cmdDelete->setEnabled(false);
        cmdUpdate->setEnabled(false);
        cmdAdd->setEnabled(true);
        return;
    }
    const VirtualFolderRecord& r = m_rows.at(row);
    Text1->setText(r.Name);
    FolderTree1->SetSelectedFolder(r.SourceFolder);
    FolderTree2->SetSelectedFolder(r.RealFolder);
    cmdDelete->setEnabled(true);
    cmdUpdate->setEnabled(true);
    cmdAdd->setEnabled(false);
}

std::optional<VirtualFolderRecord> frmVirtualFolders::rowFromControls()
{
    VirtualFolderRecord r;
    r.Name = Text1->text();
    if (!mountable(r.Name)) {
        refuse(QStringLiteral("A virtual folder name cannot hold \"/\" or \"\\\", nor be \".\" or \"..\"."));
        return std::nullopt;
    }
    QString root = ModMain::ServerConfig.ServerRoot;
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    r.SourceFolder = FolderTree1->SelectedFolder();
    r.RealFolder = FolderTree2->SelectedFolder();
    r.VirtualPath = r.SourceFolder.mid(root.size() - 1).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (r.VirtualPath.trimmed().isEmpty())
        r.VirtualPath = QStringLiteral("/");
    if (!Storable({{QStringLiteral("The name"), r.Name},
                   {QStringLiteral("The folder"), r.SourceFolder},
                   {QStringLiteral("The folder"), r.RealFolder}}))
        return std::nullopt;
    return r;
}

void frmVirtualFolders::cmdAdd_Click()
{
    if (DialogText::TrimBlanks(Text1->text()).isEmpty()) {
        refuse(QStringLiteral("You must enter a Virtual name!"));
        return;
    }
    const std::optional<VirtualFolderRecord> row = rowFromControls();
    if (!row)
        return;
    append(*row);
    ModMain::WriteServerEvent(QStringLiteral("Virtual folder ") + row->Name
                              + QStringLiteral(" added. Click Ok to save."),
                              true);
}

void frmVirtualFolders::cmdUpdate_Click()
{
    const int selected = selectedRow();
    if (selected < 0)
        return;
    if (!DialogText::TrimBlanks(Text1->text()).isEmpty()) {
        const std::optional<VirtualFolderRecord> row = rowFromControls();
        if (!row)
            return;
        removeRow(selected);
        append(*row);
        ModMain::WriteServerEvent(QStringLiteral("Virtual folder ") + row->Name
                                  + QStringLiteral(" updated. Click Ok to save."),
                                  true);
    }
    backToStart();
}

void frmVirtualFolders::cmdDelete_Click()
{
    const int selected = selectedRow();
    if (selected < 0)
        return;
    // The row removed is the one named in the log, whatever the box holds now.
    ModMain::WriteServerEvent(QStringLiteral("Virtual folder ") + m_rows.at(selected).Name
                              + QStringLiteral(" deleted. Click Ok to save."),
                              true);
    removeRow(selected);
    backToStart();
}

void frmVirtualFolders::cmdOk_Click()
{
    // The old file stays whole when the new one cannot be written; the edits stay here.
    if (const FileOpResult written = WriteVirtualFolderMap(m_rows); !written) {
        ReportError(written.errorText, QuayportProcedure(objectName(), "cmdOk_Click"), 1);
        return;
    }
    accept();
}

void frmVirtualFolders::cmdCancel_Click()
{
    reject();
}

void frmVirtualFolders::cmdHelp_Click()
{
    ShowHelpTopic(HelpContext);
}

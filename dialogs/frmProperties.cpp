#include "dialogs/frmProperties.h"

#include "core/Config.h"
#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "dialogs/DialogControls.h"
#include "dialogs/TextRules.h"
#include "platform/FolderPicker.h"
#include "platform/HelpViewer.h"
#include "platform/LostFocusFilter.h"
#include "platform/ProgramFonts.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

using namespace DialogControls;

namespace {

QPlainTextEdit* messageBox(QWidget* owner, const char* name, const QString& tip)
{
    auto* box = Named(new QPlainTextEdit(owner), name, tip);
    box->setFont(FixedPitchFont());
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

frmProperties::frmProperties(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Properties"));
    setSizeGripEnabled(true);

    TabStrip1 = Named(new QTabBar(this), "TabStrip1");
    TabStrip1->setExpanding(false);
    TabStrip1->addTab(QStringLiteral("Server"));
    TabStrip1->setTabData(0, QStringLiteral("server"));
    TabStrip1->setTabToolTip(0, QStringLiteral("Server default settings"));
    TabStrip1->addTab(QStringLiteral("Messages"));
    TabStrip1->setTabData(1, QStringLiteral("messages"));
    TabStrip1->setTabToolTip(1, QStringLiteral("Define Messages"));

    buildServerFrame();
    buildMessagesFrame();
    auto* frames = new QGridLayout;
    frames->addWidget(FmeServer, 0, 0);
    frames->addWidget(FmeMessages, 0, 0);

    cmdOk = Button(this, "cmdOk", QStringLiteral("&Ok"), QStringLiteral("Click Ok to save configuration and Exit"));
    cmdCancel = Button(this, "cmdCancel", QStringLiteral("&Cancel"), QStringLiteral("Click Cancel to Exit"));
    cmdHelp = Button(this, "cmdHelp", QStringLiteral("&Help"), QStringLiteral("Click here for Help"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1);
    layout->addLayout(frames, 1);
    layout->addLayout(buttons);
    resize(620, 430);

    OnSignal(TabStrip1, &QTabBar::currentChanged, this, "TabStrip1_Click", &frmProperties::TabStrip1_Click);
    OnSignal(txtIDLE, &QLineEdit::textChanged, this, "txtIDLE_Change", &frmProperties::txtIDLE_Change);
    OnSignal(txtPort, &QLineEdit::textChanged, this, "txtPort_Change", &frmProperties::txtPort_Change);
    OnSignal(new LostFocusFilter(txtGreeting), &LostFocusFilter::LostFocus, this, "txtGreeting_LostFocus",
             &frmProperties::txtGreeting_LostFocus);
    OnSignal(new LostFocusFilter(txtLoggedOn), &LostFocusFilter::LostFocus, this, "txtLoggedOn_LostFocus",
             &frmProperties::txtLoggedOn_LostFocus);
    OnSignal(cmdOk, &QPushButton::clicked, this, "cmdOk_Click", &frmProperties::cmdOk_Click);
    OnSignal(cmdCancel, &QPushButton::clicked, this, "cmdCancel_Click", &frmProperties::cmdCancel_Click);
    OnSignal(cmdHelp, &QPushButton::clicked, this, "cmdHelp_Click", &frmProperties::cmdHelp_Click);
    BindHelpKey(*this, HelpContext);

    RunTrapped(this, "Form_Load", &frmProperties::Form_Load);
}

void frmProperties::buildServerFrame()
{
    FmeServer = Named(new QGroupBox(QStringLiteral("Server Configuration"), this), "FmeServer");

    txtIP = Named(new QLineEdit(QStringLiteral("All Network Cards"), FmeServer), "txtIP",
                  QStringLiteral("The Server Automatically Binds to ALL Network Cards running TCP/IP"));
    txtPort = Named(new QLineEdit(QStringLiteral("21"), FmeServer), "txtPort", QStringLiteral("Listening Port 1-32767"));
    txtIDLE = Named(new QLineEdit(QStringLiteral("5"), FmeServer), "txtIDLE",
                    QStringLiteral("User Idle time out in minutes 0-500"));
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("IP Address:"), FmeServer), 0, 0);
    fields->addWidget(txtIP, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("TCP/IP Listining Port:"), FmeServer), 1, 0);
    fields->addWidget(txtPort, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Logoff user when idle for:"), FmeServer), 2, 0);
    fields->addWidget(txtIDLE, 2, 1);

    chkPut0Byte = Named(new QCheckBox(QStringLiteral("Remove PUT 0 Byte files:"), FmeServer), "chkPut0Byte",
                        QStringLiteral("Automatically remove received files with length of 0 bytes"));
    chkAllowAnonymous = Named(new QCheckBox(QStringLiteral("Allow Anonymous Users:"), FmeServer), "chkAllowAnonymous",
                              QStringLiteral("Allow Guest Account"));
    chkStartServer = Named(new QCheckBox(QStringLiteral("Start Server on start-up:"), FmeServer), "chkStartServer",
                           QStringLiteral("Start the Server automatically when application starts"));

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addSpacing(12);
    left->addWidget(chkPut0Byte);
    left->addWidget(chkAllowAnonymous);
    left->addWidget(chkStartServer);
    left->addStretch(1);

    FolderTree1 = Named(new FolderPicker(FmeServer), "FolderTree1");
    auto* layout = new QHBoxLayout(FmeServer);
    layout->addLayout(left);
    layout->addWidget(FolderTree1, 1);
}

void frmProperties::buildMessagesFrame()
{
    FmeMessages = Named(new QFrame(this), "FmeMessages");
    txtGreeting = messageBox(FmeMessages, "txtGreeting", QStringLiteral("Define Message to send client before they logon"));
    txtLoggedOn = messageBox(FmeMessages, "txtLoggedOn", QStringLiteral("Define Message to send Client after they logon"));
    auto* greetingLabel = new QLabel(QStringLiteral("Enter a greeting message not more than 700 characters. The client "
                                                    "will see this before they logon"),
                                     FmeMessages);
    auto* loggedOnLabel = new QLabel(
        QStringLiteral("Enter a message not more than 700 characters. The client will see this after they logon."),
        FmeMessages);
    for (QLabel* l : {greetingLabel, loggedOnLabel})
        l->setWordWrap(true);
    auto* layout = new QVBoxLayout(FmeMessages);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->addWidget(greetingLabel);
    layout->addWidget(txtGreeting, 1);
    layout->addWidget(loggedOnLabel);
    layout->addWidget(txtLoggedOn, 1);
}

void frmProperties::Form_Load()
{
    using ModMain::ServerConfig;
    FolderTree1->SetOption12(true);
    FolderTree1->SetHeaderCaption(QStringLiteral("SERVER ROOT FOLDER"));

    // The dialog shows what the file holds.
    ModMain::LoadConfig();

    // Only a text that differs runs the box's check, as typing would.
    if (txtPort->text() != ServerConfig.Port)
        txtPort->setText(ServerConfig.Port);
    if (txtIDLE->text() != ServerConfig.IdleTimeout)
        txtIDLE->setText(ServerConfig.IdleTimeout);
    txtGreeting->setPlainText(DialogText::BoxText(ServerConfig.Greeting));
    txtLoggedOn->setPlainText(DialogText::BoxText(ServerConfig.LoggedOnMessage));

    chkPut0Byte->setCheckState(CheckState(ServerConfig.Put0Byte));
    chkAllowAnonymous->setCheckState(CheckState(ServerConfig.AllowAnonymous));
    chkStartServer->setCheckState(CheckState(ServerConfig.StartServer));

    if (!DialogText::TrimBlanks(ServerConfig.ServerRoot).isEmpty()) {
        FolderTree1->SetSelectedFolder(ServerConfig.ServerRoot);
        FolderTree1->Method13();
    }

    // The address box keeps its own text: the server listens on every address.
    TabStrip1->setCurrentIndex(0);
    FmeServer->setVisible(true);
    FmeMessages->setVisible(false);
}

void frmProperties::TabStrip1_Click()
{
    const QString key = TabStrip1->tabData(TabStrip1->currentIndex()).toString();
    if (key == QLatin1String("messages")) {
        FmeMessages->setVisible(true);
        FmeServer->setVisible(false);
    } else if (key == QLatin1String("server")) {
        FmeServer->setVisible(true);
        FmeMessages->setVisible(false);
    }
}

void frmProperties::numberCheck(QLineEdit* box, const QString& whenEmpty, double low, double high,
                                const QString& outOfRange, const char* procedure)
{
    const QString text = box->text();
    if (text.isEmpty()) {
        box->setText(whenEmpty); // runs the check again
        return;
    }
    if (!ModMain::ValidateString(text)) {
        box->setFocus();
        return;
    }
    const std::optional<double> value = DialogText::NumericValue(text);
    if (!value) {
        // The text stays as typed; Ok stores it unchecked.
        ReportError(TypeMismatchText(), QuayportProcedure(objectName(), procedure), 3);
        return;
    }
    if (*value < low || *value > high)
        Messages().message(outOfRange, QStringLiteral("Error"), MessageIcon::Critical);
}

void frmProperties::txtIDLE_Change()
{
    numberCheck(txtIDLE, QStringLiteral("0"), 0, 500, QStringLiteral("Please use a value between 0 and 500 minutes"),
                "txtIDLE_Change");
}

void frmProperties::txtPort_Change()
{
    numberCheck(txtPort, QStringLiteral("1"), 1, 32767, QStringLiteral("Please use a value between 1 and 32767"),
                "txtPort_Change");
}

void frmProperties::lengthLimit(QPlainTextEdit* box)
{
    const QString text = DialogText::StoredText(box->toPlainText());
    if (text.size() <= MessageLimit)
        return;
    Messages().message(QStringLiteral("You have entered %1 characters. You are unable to exceed %2 characters.")
                           .arg(text.size())
                           .arg(MessageLimit),
                       QString(), MessageIcon::None);
    QString cut = text.left(MessageLimit);
    // A cut through a line break keeps no half of it.
    if (cut.endsWith(QLatin1Char('\r')))
        cut.chop(1);
    box->setPlainText(DialogText::BoxText(cut));
    box->setFocus();
}

void frmProperties::txtGreeting_LostFocus()
{
    lengthLimit(txtGreeting);
}

void frmProperties::txtLoggedOn_LostFocus()
{
    lengthLimit(txtLoggedOn);
}

void frmProperties::cmdOk_Click()
{
    using ModMain::ServerConfig;
    // The settings file keeps one byte per character: any other would come back
    // as "?" (a root so changed is missing at the next start, and remapped).
    // Nothing is taken from the dialog until every text can be kept.
    if (!Storable({{QStringLiteral("The folder"), FolderTree1->SelectedFolder()},
                   {QStringLiteral("The greeting"), txtGreeting->toPlainText()},
                   {QStringLiteral("The message"), txtLoggedOn->toPlainText()},
                   {QStringLiteral("The port"), txtPort->text()},
                   {QStringLiteral("The idle time"), txtIDLE->text()},
                   {QStringLiteral("The address"), txtIP->text()}}))
        return;
    // Stored as entered: the change checks have said what they had to say.
    ServerConfig.IdleTimeout = txtIDLE->text();
    ServerConfig.StartServer = IsSet(chkStartServer);
    ServerConfig.Put0Byte = IsSet(chkPut0Byte);
    ServerConfig.AllowAnonymous = IsSet(chkAllowAnonymous);
    ServerConfig.ServerRoot = FolderTree1->SelectedFolder();
    ServerConfig.Port = DialogText::TrimBlanks(txtPort->text());
    ServerConfig.Greeting = DialogText::TrimBlanks(DialogText::StoredText(txtGreeting->toPlainText())) + QLatin1Char(' ');
    ServerConfig.LoggedOnMessage
        = DialogText::TrimBlanks(DialogText::StoredText(txtLoggedOn->toPlainText())) + QLatin1Char(' ');
    ServerConfig.IP = DialogText::TrimBlanks(txtIP->text());
    if (ServerConfig.IP.isEmpty())
        ServerConfig.IP = QStringLiteral("127.0.0.1");

    if (!ModMain::SaveConfig()) {
        // SaveConfig has shown the error itself.
        Messages().message(QStringLiteral("Unable to write configuration information to disk. Err = "), QString(),
                           MessageIcon::None);
        return;
    }
    ModMain::LoadConfig();
    ModMain::WriteServerEvent(QStringLiteral("Properties updated."), true);
    accept();
}

void frmProperties::cmdCancel_Click()
{
    reject();
}

void frmProperties::cmdHelp_Click()
{
    ShowHelpTopic(HelpContext);
}

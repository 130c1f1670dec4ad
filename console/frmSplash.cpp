#include "console/frmSplash.h"

#include "console/ConsoleWindow.h"
#include "console/LogViewerClient.h"
#include "console/frmMain.h"
#include "core/AppFolder.h"
#include "core/Blowfish.h"
#include "core/ErrorReporter.h"
#include "core/MessageService.h"
#include "core/Preparation.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ProgramError.h"
#include "core/ProgramLifetime.h"
#include "platform/ActivationFilter.h"
#include "platform/ConsoleImages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QString ActivateProcedure = QuayportProcedure(u"frmSplash", "Form_Activate");

QLabel* label(QWidget* owner, const char* name, const QString& text, int pointSize, bool bold = false)
{
    auto* l = new QLabel(text, owner);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    QFont font = l->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    l->setFont(font);
    return l;
}

// After a remap the engine serves the new root at once, not only after the
// next start, and the settings summary shows it.
void useRemappedRoot(const QString& root)
{
    frmMain* console = ConsoleWindowIfOpen();
    if (!console || ProgramLifetime::Ending())
        return;
    console->UseRemappedRoot(root);
}

} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(ProgramTitle());
    setWindowIcon(ProgramIcon());

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Box);
    panel->setLineWidth(2);
    auto* picture = new QLabel(panel);
    picture->setPixmap(ProgramIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    Label1 = label(panel, "Label1", QStringLiteral("Quayport"), 28, true);
    Label2 = label(panel, "Label2", QStringLiteral("RFC959 Complient"), 11);
    lblPlatform = label(panel, "lblPlatform", QStringLiteral("Windows 32bit"), 10);
    lblVersion = label(panel, "lblVersion", QString(), 10);

    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(32, 24, 32, 24);
    inner->setSpacing(8);
    inner->addWidget(picture);
    inner->addWidget(Label1);
    inner->addWidget(Label2);
    inner->addSpacing(16);
    inner->addWidget(lblPlatform);
    inner->addWidget(lblVersion);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    setFixedSize(420, 300);

    // The preparation starts from the first showing, whether or not a window
    // manager activates the splash; it runs from the event loop, not inside the
    // show itself.
    auto* activation = new ActivationFilter(this);
    connect(activation, &ActivationFilter::Activated, this, &frmSplash::Form_Activate, Qt::QueuedConnection);

    Form_Load();
}

void frmSplash::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version ") + ModMain::ProgramVersionText());
}

void frmSplash::delayLoop()
{
    // Counted, not timed: each pass lets the splash paint and take a key.
    for (int pass = 0; pass < DelayPasses; ++pass)
        QCoreApplication::processEvents();
}

void frmSplash::Form_Activate()
{
    if (m_started)
        return;
    m_started = true;

    delayLoop();
    try {
        modBlowFish::SetKey(QString::fromLatin1(ModMain::ProgramKeyText));
    } catch (const ProgramError& e) {
        ReportError(e.description(), ActivateProcedure, 2);
    }
    registerLogViewer();
    QCoreApplication::processEvents();
    delayLoop();

    // A request to end (the settings failure inside the console's start-up,
    // or a termination signal) stops the preparation between its steps.
    if (!ProgramLifetime::Ending())
        ModMain::PrepareApplicationFolder();
    if (!ProgramLifetime::Ending())
        ModMain::LoadSettingsAndRemapRoot(useRemappedRoot);
    if (!ProgramLifetime::Ending()) {
        QCoreApplication::processEvents();
        delayLoop();
    }
    m_prepared = true;
    hide();
}

QString frmSplash::LogViewerProgram()
{
    const QString inAppFolder = AppPath(QStringLiteral("/Scrollbook"));
    if (QFileInfo(inAppFolder).isFile())
        return inAppFolder;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Scrollbook");
}

void frmSplash::registerLogViewer()
{
    // Nothing of this step is reported; nothing waits for the registration.
    LogViewerClient::CheckRegistration(LogViewerProgram(), QCoreApplication::instance(), [](bool) {});
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty()) {
        Form_KeyPress();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSplash::Form_KeyPress()
{
    // Hidden, never destroyed: the preparation may still be running beneath.
    hide();
}

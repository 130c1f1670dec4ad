// The console's size rules, hiding into the tray, closing, and its
// information log.
#include "console/frmMain.h"

#include "console/ConsoleActions.h"
#include "core/ProcedureName.h"
#include "core/ProgramLifetime.h"
#include "core/ConsoleLog.h"
#include "core/LogRecord.h"
#include "core/Trapped.h"
#include "engine/FtpEngine.h"
#include "platform/RowList.h"
#include "platform/TrayIcon.h"
#include "platform/Twips.h"
#include "session/ConsoleState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>

namespace {

constexpr int WindowWidthTwips = 10125;
constexpr int MinimumHeightTwips = 8280;
constexpr int ListGapTwips = 6000; // the height above the server log

} // namespace

void frmMain::InfoLog(const QString& text)
{
    Trapped(FrmMainProcedure("InfoLog"), 2, [&] {
        const QDateTime now = QDateTime::currentDateTime();
        const QString server = QStringLiteral("server");
        AppendConsoleRow(*lstServerLog, ConsoleRow(LogDate(now), LogTime(now), server, server, text), 5);
    });
}

void frmMain::Form_Resize()
{
    const int wantedWidth = TwipsToPixels(WindowWidthTwips);
    const int minimumHeight = TwipsToPixels(MinimumHeightTwips);
    const int gap = TwipsToPixels(ListGapTwips);

    if (windowState() & Qt::WindowMinimized) {
        // A minimized window keeps its size. The first minimize hides it into the
        // tray, where there is one; without a tray it stays minimized as usual.
        if (!ConsoleState::HiddenToTray && TrayIcon::Available()) {
            hide();
            ConsoleState::HiddenToTray = true;
            m_actions->ShowWindowHidden(true);
        }
    } else if (width() != wantedWidth) {
        resize(wantedWidth, height());
    }

    if (height() > minimumHeight) {
        lstServerLog->setFixedHeight(height() - gap);
    } else {
        if (height() != minimumHeight)
            resize(width(), minimumHeight);
        lstServerLog->setFixedHeight(minimumHeight - gap);
    }
}

void frmMain::Form_QueryUnload()
{
    FtpEngine1->StopListening();
    TrayIcon1->Remove();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // The window has no Close: Exit is the way out. A window manager that
    // offers a close button or Alt+F4 all the same would drop every session,
    // so its request is refused. Exit, a termination signal and the end of the
    // desktop session close the window from the program and are not refused.
    if (event->spontaneous() && !ProgramLifetime::Ending() && !qApp->isSavingSession()) {
        event->ignore();
        return;
    }
    Form_QueryUnload();
    event->accept();
    // The console is the program: when it closes, whatever closed it, the program ends.
    ProgramLifetime::End(m_closeStatus);
}

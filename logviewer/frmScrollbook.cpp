#include "logviewer/frmScrollbook.h"

#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/ProcedureName.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "core/Trapped.h"
#include "logviewer/LogNames.h"
#include "platform/ActivationFilter.h"
#include "platform/BusyCursor.h"
#include "platform/ConsoleImages.h"
#include "platform/FixedSizeWindow.h"
#include "platform/HelpViewer.h"
#include "platform/RowList.h"
#include "platform/Twips.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <climits>

namespace {

QString where(const char* procedure)
{
    return ProcedureName(u"Scrollbook", u"frmScrollbook", procedure);
}

QPushButton* button(QWidget* owner, const char* name, const QString& caption, const QString& tip, int leftTwips)
{
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    b->setGeometry(TwipsToPixels(leftTwips), TwipsToPixels(6120), TwipsToPixels(1095), TwipsToPixels(315));
    return b;
}

} // namespace

frmScrollbook::frmScrollbook(const QString& logPath, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_state{logPath}
{
    setObjectName(QStringLiteral("frmScrollbook"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("View Log"));
    setWindowIcon(ProgramIcon());
    SetFixedWindowSize(*this, {TwipsToPixels(8775), TwipsToPixels(6450)});

    // Each column as wide as the values the logs write in it need, so that
    // the message, the reason to open a log, starts inside the window; the
    // message column then grows to the widest message read. Names get the room
    // of the longest name the logs write themselves.
    const QString name = QStringLiteral("New Connection");
    Log = new RowList(QStringLiteral("Information Log"),
                      {{QStringLiteral("Date"), 65, QStringLiteral("00-00-0000")},
                       {QStringLiteral("Time"), 55, QStringLiteral("00:00:00")},
                       {QStringLiteral("User"), 75, name},
                       {QStringLiteral("Group"), 75, name},
                       {QStringLiteral("IP"), 75, QStringLiteral("255.255.255.255")},
                       {QStringLiteral("Message"), RowListColumn::FitsTexts}},
                      this);
    Log->setObjectName(QStringLiteral("Log"));
    Log->setToolTip(QStringLiteral("View log entries"));
    Log->setGeometry(0, 0, TwipsToPixels(8775), TwipsToPixels(6075));

    PB1 = new QProgressBar(this);
    PB1->setObjectName(QStringLiteral("PB1"));
    PB1->setTextVisible(false);
    PB1->setRange(0, 100);
    PB1->setValue(0);
    PB1->setGeometry(0, TwipsToPixels(6120), TwipsToPixels(5175), TwipsToPixels(300));

    cmdRefresh = button(this, "cmdRefresh", QStringLiteral("&Refresh"), QStringLiteral("Read the log again"), 5280);
    cmdNew = button(this, "cmdNew", QStringLiteral("&New"), QStringLiteral("Click here to create a new log"), 6480);
    cmdClose = button(this, "cmdClose", QStringLiteral("&Close"), QStringLiteral("Click here to Exit"), 7680);
    connect(cmdRefresh, &QPushButton::clicked, this,
            [this] { Trapped(where("cmdRefresh_Click"), 0, [this] { cmdRefresh_Click(); }); });
    connect(cmdNew, &QPushButton::clicked, this,
            [this] { Trapped(where("cmdNew_Click"), 0, [this] { cmdNew_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    // Queued: the first read starts from the event loop after the first
    // showing, never inside the request that shows the window.
    auto* activation = new ActivationFilter(this);
    connect(activation, &ActivationFilter::Activated, this,
            [this] { Trapped(where("Form_Activate"), 0, [this] { Form_Activate(); }); }, Qt::QueuedConnection);

    Form_Load();
}

void frmScrollbook::Form_Load()
{
    // help.hlp is read from the application folder whenever help is shown.
    // The window has no topic of its own: F1 shows the contents, topic 0.
    BindHelpKey(*this, 0);
    setWindowTitle(m_state.LogPath);
}

void frmScrollbook::Form_Activate()
{
    if (loadLog(true, "Form_Activate"))
        selectLastRow();
}

void frmScrollbook::cmdRefresh_Click()
{
    loadLog(false, "cmdRefresh_Click");
    selectLastRow();
}

bool frmScrollbook::loadLog(bool activation, const char* procedure)
{
    if (activation && m_state.LogLoaded)
        return true;
    Log->Clear();
    if (FileExistsDroppingSlash(m_state.LogPath)) {
        if (activation) {
            // Paint the window before the read; it may be closed meanwhile.
            const QPointer<frmScrollbook> self(this);
            QCoreApplication::processEvents();
            if (!self)
                return false;
        }
        // A bar whose maximum is 0 is drawn as an endless busy animation; an
        // empty log shows an empty bar.
        PB1->setRange(0, int(qBound(qint64(1), FileLength(m_state.LogPath), qint64(INT_MAX))));
        PB1->setValue(0);
        const BusyCursor busy;
        LineReader file(m_state.LogPath, LineLimit::LogLine);
        if (!file.isOpen())
            ReportError(file.errorText(), where(procedure), 7);
        qint64 charactersRead = 0;
        int records = 0;
        const bool empty = file.atEnd();
        while (!file.atEnd()) {
            QStringList lines;
            for (int i = 0; i < 6; ++i) {
                const std::optional<QString> line = file.readLine();
                if (!line) {
                    ReportError(file.errorText(), where(procedure), 9);
                    if (file.damaged())
                        break; // told once: nothing more is read
                    continue;
                }
                charactersRead += line->size();
                lines.append(*line);
            }
            if (lines.isEmpty())
                break; // a file that fails to read without reaching its end
            // A short last record shows the lines it has; its other columns stay empty.
            Log->AddRow(lines.join(QLatin1Char('\n')));
            if (PB1->value() < PB1->maximum()) {
                if (++records > RecordsPerStep) {
                    records = 0;
                    if (PB1->maximum() > charactersRead)
                        PB1->setValue(int(charactersRead));
                }
            } else {
                PB1->setValue(PB1->maximum());
            }
        }
        if (!empty)
            PB1->setValue(PB1->maximum());
    }
    if (activation)
        m_state.LogLoaded = true;
    return true;
}

void frmScrollbook::selectLastRow()
{
    if (Log->RowCount() > 4)
        Log->SetSelectedRow(Log->RowCount() - 1);
}

void frmScrollbook::cmdNew_Click()
{
    if (!FileExistsDroppingSlash(m_state.LogPath))
        return;
    // Never over another file: a second New within the same second fails and
    // the rows stay, as the file does.
    const FileOpResult moved = RenameNoReplace(m_state.LogPath, NewLogName(m_state.LogPath, Clock()));
    if (!moved) {
        ReportError(moved.errorText, where("cmdNew_Click"), 2);
        return;
    }
    Log->Clear();
}

void frmScrollbook::cmdClose_Click()
{
    close();
}

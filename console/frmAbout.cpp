#include "console/frmAbout.h"

#include "core/FileNames.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/Trapped.h"
#include "platform/ConsoleImages.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

namespace {

QFrame* line(QWidget* owner, int index)
{
    auto* l = new QFrame(owner);
    l->setObjectName(QStringLiteral("Line1"));
    l->setProperty("index", index);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

void unavailable()
{
    Messages().message(QStringLiteral("System Information Is Unavailable At This Time"), QString(),
                       MessageIcon::None);
}

} // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About MyApp"));
    setWindowIcon(ProgramIcon());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setPixmap(ProgramIcon().pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(QStringLiteral("Application Title"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    Line1[0] = line(this, 0);
    Line1[1] = line(this, 1);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picture, 0, 0, 2, 1);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1, Qt::AlignTop);
    grid->addWidget(Line1[0], 2, 0, 1, 2);
    grid->addWidget(Line1[1], 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    setMinimumSize(380, 220);

    connect(cmdOK, &QPushButton::clicked, this,
            [this] { Trapped(QuayportProcedure(u"frmAbout", "cmdOk_Click"), 0, [this] { cmdOk_Click(); }); });
    connect(cmdSysInfo, &QPushButton::clicked, this,
            [this] { Trapped(QuayportProcedure(u"frmAbout", "cmdSysInfo_Click"), 0, [this] { cmdSysInfo_Click(); }); });

    Trapped(QuayportProcedure(u"frmAbout", "Form_Load"), 0, [this] { Form_Load(); });
}

void frmAbout::Form_Load()
{
    const QString title = ProgramTitle();
    setWindowTitle(QStringLiteral("About ") + title);
    lblVersion->setText(QStringLiteral("Version ") + ModMain::ProgramVersionText());
    lblTitle->setText(title);
}

void frmAbout::cmdOk_Click()
{
    close();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    QString path;
    if (!GetKeyValue(Registry::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                     QStringLiteral("PATH"), path)) {
        // The second key names the tool's folder.
        QString folder;
        if (!GetKeyValue(Registry::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                         QStringLiteral("MSINFO"), folder)) {
            unavailable();
            return;
        }
        const QStringList found = ListFiles(folder, QStringLiteral("MSINFO32.EXE"));
        if (found.isEmpty()) {
            unavailable();
            return;
        }
        path = QDir::cleanPath(ResolvePath(folder) + QLatin1Char('/') + found.first());
    }
    if (path.isEmpty() || !QProcess::startDetached(ResolvePath(path), {}))
        unavailable();
}

bool frmAbout::GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    // The registry is only ever read.
    const std::optional<Registry::Value> value = Registry::QueryValue(KeyRoot, KeyName, SubKeyRef);
    if (value && value->type == Registry::ValueType::Text) {
        KeyVal = value->text;
        return true;
    }
    if (value && value->type == Registry::ValueType::DoubleWord) {
        KeyVal = QString::number(value->number);
        return true;
    }
    KeyVal.clear();
    return false;
}

// The console's cool bar with its three toolbars, which get their buttons from
// the list of the console's commands, and its status bar. The window has no
// menu bar: every menu is popped up.
#include "console/frmMain.h"

#include "console/ConsoleActions.h"
#include "platform/Twips.h"

#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace {

QToolBar* toolbar(QWidget* owner, const char* name, const QString& tip, int widthTwips)
{
    auto* bar = new QToolBar(owner);
    bar->setObjectName(QLatin1String(name));
    bar->setToolTip(tip);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedWidth(TwipsToPixels(widthTwips));
    return bar;
}

} // namespace

void frmMain::buildToolbars()
{
    CoolBar1 = new QFrame(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setFrameShape(QFrame::StyledPanel);

    Toolbar2 = toolbar(CoolBar1, "Toolbar2", QStringLiteral("Console and Help"), 9750);
    Toolbar2->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Toolbar3 = toolbar(CoolBar1, "Toolbar3", QStringLiteral("Action & View options"), 1800);
    Toolbar3->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Toolbar1 = toolbar(CoolBar1, "Toolbar1", QString(), 7725);
    m_actions = std::make_unique<ConsoleActions>(*this, *Toolbar1, *Toolbar2, *Toolbar3);

    auto* rows = new QGridLayout(CoolBar1);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    rows->addWidget(Toolbar2, 0, 0, 1, 2, Qt::AlignLeft);
    rows->addWidget(Toolbar3, 1, 0, Qt::AlignLeft);
    rows->addWidget(Toolbar1, 1, 1, Qt::AlignLeft);
    rows->setColumnStretch(1, 1);
}

void frmMain::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setToolTip(QStringLiteral("Date & time bar"));
    auto* developer = new QLabel(QStringLiteral("Quayport FTP Server"), StatusBar1);
    developer->setToolTip(QStringLiteral("Application developer"));
    m_datePanel = new QLabel(StatusBar1);
    m_datePanel->setToolTip(QStringLiteral("System Date"));
    m_timePanel = new QLabel(StatusBar1);
    m_timePanel->setToolTip(QStringLiteral("System Time"));
    StatusBar1->addWidget(developer, 1);
    StatusBar1->addPermanentWidget(m_datePanel);
    StatusBar1->addPermanentWidget(m_timePanel);

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &frmMain::showDateAndTime);
    m_clock->start();
    showDateAndTime();
}

void frmMain::showDateAndTime()
{
    const QLocale locale;
    m_datePanel->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    m_timePanel->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

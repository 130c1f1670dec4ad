#include "console/frmBrowser.h"

#include "core/ProcedureName.h"
#include "core/Trapped.h"
#include "platform/BrowserImages.h"
#include "platform/ConsoleImages.h"
#include "platform/HelpViewer.h"
#include "platform/Twips.h"
#include "platform/WebBrowser.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>

namespace {

std::optional<QString>& replacedStartingAddress()
{
    static std::optional<QString> address;
    return address;
}

} // namespace

void frmBrowser::ReplaceStartingAddress(std::optional<QString> address)
{
    replacedStartingAddress() = std::move(address);
}

frmBrowser::frmBrowser(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , imlIcons(BrowserImages())
{
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(QStringLiteral("Browser"));
    setWindowIcon(ProgramIcon());
    resize(TwipsToPixels(9600), TwipsToPixels(7200));

    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setIconSize(imlIcons.IconSize());
    tbToolBar->setMovable(false);
    const QStringList keys = {QStringLiteral("Back"),    QStringLiteral("Forward"), QStringLiteral("Stop"),
                              QStringLiteral("Refresh"), QStringLiteral("Home"),    QStringLiteral("Search"),
                              QStringLiteral("Help")};
    for (int i = 0; i < keys.size(); ++i) {
        QAction* button = tbToolBar->addAction(imlIcons.Icon(i + 1), QString());
        button->setProperty("key", keys.at(i));
        button->setProperty("index", i + 1);
        button->setToolTip(keys.at(i));
    }

    picAddress = new QFrame(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    lblAddress = new QLabel(QStringLiteral("&Address:"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->move(TwipsToPixels(45), TwipsToPixels(60));
    lblAddress->resize(lblAddress->sizeHint());
    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    // What is typed is gone to, never added to the list, and never completed from it.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    // Keys from the keyboard reach the box itself, which hands them to its
    // line edit without passing filters; keys sent to the line edit reach it.
    cboAddress->installEventFilter(this);
    cboAddress->lineEdit()->installEventFilter(this);
    lblAddress->setBuddy(cboAddress);

    brwWebBrowser = new WebBrowser(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));

    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(5);

    BindHelpKey(*this, HelpContext);
    connect(tbToolBar, &QToolBar::actionTriggered, this, [this](QAction* button) { tbToolBar_ButtonClick(*button); });
    connect(cboAddress, &QComboBox::activated, this, [this] { cboAddress_Click(); });
    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    connect(brwWebBrowser, &WebBrowser::DownloadComplete, this, &frmBrowser::brwWebBrowser_DownloadComplete);

    Form_Load();
}

QAction* frmBrowser::Button(const QString& key) const
{
    for (QAction* button : tbToolBar->actions()) {
        if (button->property("key").toString() == key)
            return button;
    }
    return nullptr;
}

void frmBrowser::Form_Load()
{
    Trapped(QuayportProcedure(u"frmBrowser", "Form_Load"), 1, [this] {
        StartingAddress = replacedStartingAddress().value_or(MakerHomePage);
    });
    // The rest goes on whatever fails; the caller shows the window.
    tbToolBar->update();
    placeAlignedControls();
    Form_Resize();
    cboAddress->move(TwipsToPixels(50), lblAddress->y() + lblAddress->height() + TwipsToPixels(15));
    if (!StartingAddress.isEmpty()) {
        cboAddress->setEditText(StartingAddress);
        cboAddress->addItem(StartingAddress);
        timTimer->start();
        brwWebBrowser->Navigate(StartingAddress);
    }
}

// The toolbar and the address strip keep to the window's top edge, as aligned controls do.
void frmBrowser::placeAlignedControls()
{
    const int barHeight = tbToolBar->sizeHint().height();
    tbToolBar->setGeometry(0, 0, width(), barHeight);
    const int stripHeight = lblAddress->y() + lblAddress->height() + TwipsToPixels(15) +
                            cboAddress->sizeHint().height() + TwipsToPixels(60);
    picAddress->setGeometry(0, barHeight, width(), stripHeight);
    brwWebBrowser->move(TwipsToPixels(50), picAddress->geometry().bottom() + 1 + TwipsToPixels(50));
}

void frmBrowser::Form_Resize()
{
    // A window too small for them leaves the controls as they were.
    const int inner = width() - TwipsToPixels(100);
    if (inner > 0) {
        cboAddress->resize(inner, cboAddress->sizeHint().height());
        brwWebBrowser->resize(inner, brwWebBrowser->height());
    }
    const int high = height() - (picAddress->y() + picAddress->height()) - TwipsToPixels(100);
    if (high > 0)
        brwWebBrowser->resize(brwWebBrowser->width(), high);
}

void frmBrowser::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeAlignedControls();
    Form_Resize();
}

void frmBrowser::brwWebBrowser_DownloadComplete()
{
    setWindowTitle(brwWebBrowser->LocationName());
}

void frmBrowser::cboAddress_Click()
{
    timTimer->start();
    brwWebBrowser->Navigate(cboAddress->currentText());
}

void frmBrowser::cboAddress_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cboAddress_Click();
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == cboAddress || watched == cboAddress->lineEdit()) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Taken here: the combo box would otherwise act on Enter too.
            cboAddress_KeyPress(13);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmBrowser::timTimer_Timer()
{
    if (brwWebBrowser->Busy()) {
        setWindowTitle(QStringLiteral("Working..."));
    } else {
        timTimer->stop();
        setWindowTitle(brwWebBrowser->LocationName());
    }
}

void frmBrowser::tbToolBar_ButtonClick(const QAction& button)
{
    timTimer->start();
    const QString key = button.property("key").toString();
    if (key == QLatin1String("Back")) {
        brwWebBrowser->GoBack();
    } else if (key == QLatin1String("Forward")) {
        brwWebBrowser->GoForward();
    } else if (key == QLatin1String("Stop")) {
        timTimer->stop();
        brwWebBrowser->Stop();
        setWindowTitle(brwWebBrowser->LocationName());
    } else if (key == QLatin1String("Refresh")) {
        brwWebBrowser->Refresh();
    } else if (key == QLatin1String("Home")) {
        // The browser's own home page, not the maker's.
        brwWebBrowser->GoHome();
    } else if (key == QLatin1String("Search")) {
        brwWebBrowser->GoSearch();
    } else if (key == QLatin1String("Help")) {
        ShowHelpTopic(HelpContext);
    }
}

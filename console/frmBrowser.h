#pragma once
// The browser window: a toolbar, an address box and the page, opened on the
// maker's home page. Its caption reads "Working..." while a page loads and
// the page's name once it has loaded or was stopped.
#include "platform/ImageList.h"

#include <QWidget>
#include <optional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QTimer;
class QToolBar;
class WebBrowser;

class frmBrowser final : public QWidget {
    Q_OBJECT
public:
    static constexpr int HelpContext = 90;
    static inline const QString MakerHomePage = QStringLiteral("http://www.corvalen.com/");

    explicit frmBrowser(QWidget* parent = nullptr);

    // Tests open the window on a page of their own, so that none reaches the
    // network; no address puts the maker's page back.
    static void ReplaceStartingAddress(std::optional<QString> address);

    void Form_Load();
    void Form_Resize();
    void brwWebBrowser_DownloadComplete();
    void cboAddress_Click();
    void cboAddress_KeyPress(int keyAscii);
    void timTimer_Timer();
    void tbToolBar_ButtonClick(const QAction& button);
    // The toolbar's button with that key, or null.
    QAction* Button(const QString& key) const;

    // The address shown first.
    QString StartingAddress;

    QToolBar* tbToolBar = nullptr;
    ImageList imlIcons;
    QFrame* picAddress = nullptr;
    QLabel* lblAddress = nullptr;
    QComboBox* cboAddress = nullptr;
    WebBrowser* brwWebBrowser = nullptr;
    QTimer* timTimer = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeAlignedControls();
};

#pragma once
// The web browser control: a QtWebEngine view on an off-the-record profile, so
// nothing of what it shows is kept on disk. It offers the members the browser
// window uses, named as that window knows them.
//
// The browser's own home and search pages are the registry's text values
// "Start Page" and "Search Page" of the key
// HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main; about:blank
// when they are not set.
#include <QElapsedTimer>
#include <QUrl>
#include <QWidget>
#include <memory>

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

class WebBrowser final : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // An address as a user types it ("example.com", a path, a full URL); an
    // empty or unusable address is ignored.
    void Navigate(const QString& address);
    void GoBack();
    void GoForward();
    void GoHome();
    void GoSearch();
    void Refresh();
    void Stop();
    // True from a navigation until its page has loaded, failed or was stopped.
    bool Busy() const;
    // The page's title, or its address when it has none.
    QString LocationName() const;
    QUrl LocationURL() const;

    static QUrl HomePage();
    static QUrl SearchPage();

    QWebEngineView* View() const { return m_view; }

Q_SIGNALS:
    // A navigation has ended, loaded or not.
    void DownloadComplete();

private:
    void navigateTo(const QUrl& url);

    std::unique_ptr<QWebEngineProfile> m_profile;
    QWebEngineView* m_view = nullptr;
    QWebEnginePage* m_page = nullptr;
    bool m_loading = false;
    // A navigation asked for whose load has not begun yet.
    QElapsedTimer m_requested;
};

// Switches the engine's sandbox off when the program runs as root, where it
// cannot work; called before the first view is made, later calls do nothing.
void PrepareWebEngine();

#include "platform/WebBrowser.h"

#include "platform/Registry.h"

#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <unistd.h>

// Run by the engine's own start-up hook when it is linked into the program;
// loaded later, from a module, it is left to us.
namespace QtWebEngineCore {
Q_WEBENGINECORE_EXPORT void initialize();
}

namespace {

// A navigation whose load has not begun by then never will.
constexpr qint64 StartLimitMs = 15000;

QUrl registryPage(const char* valueName)
{
    const std::optional<Registry::Value> value =
        Registry::QueryValue(Registry::HKEY_CURRENT_USER, QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main"),
                             QLatin1String(valueName));
    if (value && value->type == Registry::ValueType::Text) {
        const QUrl page = QUrl::fromUserInput(value->text.trimmed());
        if (page.isValid())
            return page;
    }
    return QUrl(QStringLiteral("about:blank"));
}

// Moving to another fragment of the page shown loads nothing.
bool sameDocument(const QUrl& from, const QUrl& to)
{
    return !from.isEmpty() && from.adjusted(QUrl::RemoveFragment) == to.adjusted(QUrl::RemoveFragment);
}

} // namespace

void PrepareWebEngine()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    // The engine reads this once, when its first profile is made.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Like the profile, the view's drawing keeps nothing on disk.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    // The OpenGL context the engine shares its pages' pictures through; the
    // engine crashes on a display without it. Made now rather than at the
    // program's start, so that a console that never shows a page never loads
    // the OpenGL driver.
    QtWebEngineCore::initialize();
}

WebBrowser::WebBrowser(QWidget* parent)
    : QWidget(parent)
{
    PrepareWebEngine();
    // A profile without a storage name keeps everything in memory.
    m_profile = std::make_unique<QWebEngineProfile>();
    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("WebEngineView"));
    m_page = new QWebEnginePage(m_profile.get(), m_view);
    m_view->setPage(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_loading = true;
        m_requested.invalidate();
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool) {
        m_loading = false;
        Q_EMIT DownloadComplete();
    });
}

WebBrowser::~WebBrowser()
{
    // The page goes with its view, and both before their profile.
    delete m_view;
}

void WebBrowser::Navigate(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return;
    const QUrl url = QUrl::fromUserInput(text);
    if (url.isValid())
        navigateTo(url);
}

void WebBrowser::navigateTo(const QUrl& url)
{
    if (!(url.hasFragment() && sameDocument(LocationURL(), url)))
        m_requested.start();
    m_page->load(url);
}

void WebBrowser::GoBack()
{
    QWebEngineHistory* history = m_page->history();
    if (!history->canGoBack())
        return;
    if (!sameDocument(LocationURL(), history->backItem().url()))
        m_requested.start();
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebBrowser::GoForward()
{
    QWebEngineHistory* history = m_page->history();
    if (!history->canGoForward())
        return;
    if (!sameDocument(LocationURL(), history->forwardItem().url()))
        m_requested.start();
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebBrowser::GoHome()
{
    navigateTo(HomePage());
}

void WebBrowser::GoSearch()
{
    navigateTo(SearchPage());
}

void WebBrowser::Refresh()
{
    if (LocationURL().isEmpty())
        return;
    m_requested.start();
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WebBrowser::Stop()
{
    m_page->triggerAction(QWebEnginePage::Stop);
    m_loading = false;
    m_requested.invalidate();
}

bool WebBrowser::Busy() const
{
    return m_loading || (m_requested.isValid() && m_requested.elapsed() < StartLimitMs);
}

QString WebBrowser::LocationName() const
{
    return m_page->title();
}

QUrl WebBrowser::LocationURL() const
{
    return m_page->url();
}

QUrl WebBrowser::HomePage()
{
    return registryPage("Start Page");
}

QUrl WebBrowser::SearchPage()
{
    return registryPage("Search Page");
}

#include "platform/HelpViewer.h"

#include "core/AppFiles.h"
#include "core/MessageService.h"
#include "core/RegularFile.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The application folder's help file; an install whose folder is elsewhere
// ($QUAYPORT_HOME) still has the one shipped beside the program.
QString helpFile()
{
    const QString own = AppFiles::HelpFile();
    const QString shipped = QCoreApplication::applicationDirPath() + QLatin1Char('/') + QFileInfo(own).fileName();
    return QFile::exists(own) || !QFile::exists(shipped) ? own : shipped;
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(ProgramTitle() + QStringLiteral(" Help"));
    resize(640, 480);
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
}

void HelpViewer::ShowTopic(int topic)
{
    load(QStringLiteral("topic-%1").arg(topic));
}

void HelpViewer::ShowContents()
{
    load(QString());
}

QString HelpViewer::Anchor() const
{
    return m_anchor;
}

QTextBrowser* HelpViewer::Browser() const
{
    return m_browser;
}

void HelpViewer::load(const QString& anchor)
{
    m_anchor = anchor;
    const QString path = helpFile();
    // A FIFO or a device in the help file's place would stop the whole program.
    int err = 0;
    QFile file;
    const int fd = OpenRegularFile(QFile::encodeName(path), O_RDONLY, 0, err);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        m_browser->setPlainText(QStringLiteral("The help file %1 could not be opened.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    m_browser->document()->setBaseUrl(QUrl::fromLocalFile(path));
    m_browser->setHtml(decoder(bytes));
    // Scrolling waits for the window to be shown when it is still hidden.
    if (anchor.isEmpty())
        m_browser->moveCursor(QTextCursor::Start);
    else
        m_browser->scrollToAnchor(anchor);
}

void ShowHelpTopic(int topic)
{
    SingleInstance<HelpViewer>::Show().ShowTopic(topic);
}

void ShowHelpContents()
{
    SingleInstance<HelpViewer>::Show().ShowContents();
}

void BindHelpKey(QWidget& form, int topic)
{
    auto* key = new QShortcut(QKeySequence::HelpContents, &form);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, &form, [topic] { ShowHelpTopic(topic); });
}

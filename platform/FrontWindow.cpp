#include "platform/FrontWindow.h"

#include "platform/WindowOwner.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>

namespace {

// The screen of the window the administrator works in, else the one under
// the pointer (a program started for another's request has no window yet).
const QScreen* workScreen()
{
    if (const QWidget* active = QApplication::activeWindow(); active && active->screen())
        return active->screen();
    if (const QScreen* pointed = QGuiApplication::screenAt(QCursor::pos()))
        return pointed;
    return QGuiApplication::primaryScreen();
}

bool framed(const QWidget& window)
{
    const Qt::WindowType type = window.windowType();
    return !window.windowFlags().testFlag(Qt::FramelessWindowHint) && type != Qt::Popup && type != Qt::ToolTip
        && type != Qt::SplashScreen;
}

// A window not yet shown has no frame to measure: the window manager draws
// the same one around every window of the program, so one on screen tells;
// without one, a title bar and a border as the style draws them.
QMargins frameMargins(const QWidget& window)
{
    if (!framed(window))
        return {};
    for (const QWidget* shown : QApplication::topLevelWidgets()) {
        if (shown == &window || !shown->isVisible() || !framed(*shown))
            continue;
        const QRect outer = shown->frameGeometry();
        const QRect inner = shown->geometry();
        if (outer != inner)
            return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom()};
    }
    const int border = 4;
    return {border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border};
}

// An open window of the program whose frame stands less than half a step
// from that point (its frame may have been guessed when it was placed).
bool windowStandsAt(const QWidget& window, const QPoint& at, int step)
{
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        const QPoint apart = other->pos() - at;
        if (other != &window && other->isVisible() && framed(*other) && qAbs(apart.x()) < step / 2
            && qAbs(apart.y()) < step / 2)
            return true;
    }
    return false;
}

} // namespace

void PlaceOnScreen(QWidget& window)
{
    const QScreen* screen = workScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QMargins frame = frameMargins(window);
    QSize inside = window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
    inside = inside.expandedTo(window.minimumSize()).boundedTo(window.maximumSize());
    if (window.minimumSize() != window.maximumSize()) {
        const QSize fits = inside.boundedTo(room.size().shrunkBy(frame)).expandedTo(window.minimumSize());
        if (fits != window.size())
            window.resize(fits);
        inside = fits;
    }
    QRect outer(QPoint(), inside.grownBy(frame));
    outer.moveCenter(room.center());
    // Windows opened one after another (viewers, boxes, help over the dialog
    // that asked for it) would cover one another exactly and look like one;
    // back to the top left rather than off the screen.
    const int step = frame.top() + 8;
    for (int tries = 0; tries < 100 && windowStandsAt(window, outer.topLeft(), step); ++tries) {
        outer.translate(step, step);
        if (!room.contains(outer))
            outer.moveTopLeft(room.topLeft());
    }
    // Wholly on the screen; one larger than the room keeps its title bar there.
    outer.moveRight(qMin(outer.right(), room.right()));
    outer.moveBottom(qMin(outer.bottom(), room.bottom()));
    outer.moveLeft(qMax(outer.left(), room.left()));
    outer.moveTop(qMax(outer.top(), room.top()));
    // Until a window is made, the position asked for is that of its frame;
    // once made, that of its inside.
    window.move(window.testAttribute(Qt::WA_WState_Created) ? outer.topLeft() + QPoint(frame.left(), frame.top())
                                                             : outer.topLeft());
}

namespace {

// Makes the window a transient of the open modal dialog, which then lets it
// take input; the dialog's window, or null when there is none.
QWindow* standByModalWindow(QWidget& window)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == &window || !modal->windowHandle())
        return nullptr;
    window.winId();
    window.windowHandle()->setTransientParent(modal->windowHandle());
    return modal->windowHandle();
}

// Runs the work once the window is on screen, unless the context has gone.
class OnceExposed final : public QObject {
public:
    OnceExposed(QWindow& window, QObject& context, std::function<void()> work)
        : QObject(&context)
        , m_work(std::move(work))
    {
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, parent(), std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

} // namespace

void ShowInFront(QWidget& window)
{
    // A dialog that is being shown takes the focus as it comes on screen: a
    // window that is to stand by it waits for that, or would end up behind it.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window && modal->windowHandle() && !modal->windowHandle()->isExposed()) {
        new OnceExposed(*modal->windowHandle(), window, [shown = QPointer<QWidget>(&window)] {
            if (shown)
                ShowInFront(*shown);
        });
        return;
    }
    if (!window.isVisible() && !window.testAttribute(Qt::WA_Moved))
        PlaceOnScreen(window);
    QWindow* owner = standByModalWindow(window);
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    // Also for a window shown before the dialog, and one that is no dialog itself.
    if (owner)
        TellWindowOwner(*window.windowHandle(), *owner);
    window.raise();
    window.activateWindow();
}

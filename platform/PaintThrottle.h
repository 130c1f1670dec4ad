#pragma once
// Caps how often a window repaints. Whatever its widgets ask for, the window
// paints at most once per period; requests in between are held back and
// painted together at the end of the period. A server console whose rows and
// counters change with every FTP event then costs the same to paint at 10 or
// 10,000 events a second.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

class PaintThrottle final : public QObject {
    Q_OBJECT
public:
    static constexpr int PeriodMs = 40; // 25 frames a second

    // Watches the window for as long as both exist.
    explicit PaintThrottle(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintNow();

    QWidget* m_window;
    QTimer m_held;
    QElapsedTimer m_lastPaint;
    bool m_passing = false;
};

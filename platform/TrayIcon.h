#pragma once
// The console's icon in the notification area. Show and Remove may be called
// where no notification area exists (a headless run, a desktop without one):
// nothing is shown then, and Available() tells the console not to hide into it.
#include <QObject>

class QSystemTrayIcon;

class TrayIcon final : public QObject {
    Q_OBJECT
public:
    enum Button : int { LeftButton = 1, RightButton = 2 };

    explicit TrayIcon(QObject* parent = nullptr);

    static bool Available();

    void Show();
    void Remove();
    // Whether Show was called last; true even where nothing can be shown.
    bool IsShown() const;

Q_SIGNALS:
    void IconClick(int button);
    void IconDblClick();

private:
    QSystemTrayIcon* m_icon;
    bool m_shown = false;
};

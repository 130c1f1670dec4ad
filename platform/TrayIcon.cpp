#include "platform/TrayIcon.h"

#include "core/MessageService.h"
#include "platform/ConsoleImages.h"

#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(ProgramIcon(), this))
{
    m_icon->setToolTip(ProgramTitle());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            Q_EMIT IconClick(LeftButton);
            break;
        case QSystemTrayIcon::Context:
            Q_EMIT IconClick(RightButton);
            break;
        case QSystemTrayIcon::DoubleClick:
            Q_EMIT IconDblClick();
            break;
        default:
            break;
        }
    });
}

bool TrayIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::Show()
{
    m_shown = true;
    if (Available())
        m_icon->show();
}

void TrayIcon::Remove()
{
    m_shown = false;
    m_icon->hide();
}

bool TrayIcon::IsShown() const
{
    return m_shown;
}

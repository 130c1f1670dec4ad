#include "console/ConnectionPanel.h"

ConnectionPanel::ConnectionPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fmeUser"));
}

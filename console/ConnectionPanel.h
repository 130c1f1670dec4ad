#pragma once
// The panel of one live connection (fmeUser): its user, group, folder and
// file, and its counters, session totals and the user's running totals.
#include <QFrame>

class ConnectionPanel final : public QFrame {
    Q_OBJECT
public:
    explicit ConnectionPanel(QWidget* parent = nullptr);
};

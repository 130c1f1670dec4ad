#pragma once
// The splash window. Its first showing runs the start-up preparation: the
// cipher key, the log viewer's registration, the application folder and the
// settings; then it hides itself, which ends its modal showing.
#include <QDialog>

class QLabel;

class frmSplash final : public QDialog {
    Q_OBJECT
public:
    // The passes of each delay loop; each pass processes pending events once.
    static constexpr int DelayPasses = 1000;

    explicit frmSplash(QWidget* parent = nullptr);

    void Form_Load();
    // The preparation; it runs once, whatever asks for it again.
    void Form_Activate();
    bool Prepared() const { return m_prepared; }

    // The log viewer's program: in the application folder, else beside this program.
    static QString LogViewerProgram();

    QLabel* Label1 = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblVersion = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_KeyPress();
    void delayLoop();
    void registerLogViewer();

    bool m_started = false;
    bool m_prepared = false;
};

#pragma once
// The help window: shows "help.hlp" in the application folder, an HTML file
// with one anchor "topic-N" per help topic. Every window of the program shares
// the one help window (see ShowHelpTopic).
#include <QWidget>

class QTextBrowser;

class HelpViewer final : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Reads the file afresh and shows the topic; an unknown topic shows the top.
    void ShowTopic(int topic);
    void ShowContents();
    // The anchor last asked for, empty for the contents.
    QString Anchor() const;
    QTextBrowser* Browser() const;

private:
    void load(const QString& anchor);

    QTextBrowser* m_browser;
    QString m_anchor;
};

// Shows the topic in the program's one help window, opening or raising it.
void ShowHelpTopic(int topic);
void ShowHelpContents();
// Makes F1 in the form (and its controls) show the topic.
void BindHelpKey(QWidget& form, int topic);

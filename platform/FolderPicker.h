#pragma once
// The folder picker of the administration dialogs: a caption above a tree of
// a tree root and the folders below it. It remembers the exact path it was given, also
// for a folder that is missing or lies outside the tree, until the user picks
// an existing folder in the tree.
#include <QString>
#include <QWidget>

class QFileSystemModel;
class QLabel;
class QTreeView;

class FolderPicker final : public QWidget {
    Q_OBJECT
public:
    // The text that stands for the whole machine as tree root.
    static inline const QString MyComputer = QStringLiteral("my computer");

    explicit FolderPicker(QWidget* parent = nullptr);

    // The caption is shown above the tree as soon as it is not empty.
    void SetHeaderCaption(const QString& caption);
    QString HeaderCaption() const;

    // A folder path, or MyComputer (any letter case) for the whole machine, which
    // is also the start. A missing folder leaves the tree empty.
    void SetTreeRoot(const QString& path);
    QString TreeRoot() const;

    // Remembers the path as given and shows it selected when it is in the tree.
    void SetSelectedFolder(const QString& path);
    // The remembered path, or the full path of the folder the user picked since.
    QString SelectedFolder() const;

    // Hooks the dialogs call; they change nothing here.
    void SetOption12(bool on);
    void Method13();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showRoot();
    void showSelection();
    void userPicked();
    bool inTree(const QString& path) const;

    class RootRowFilter;

    QLabel* m_caption;
    QFileSystemModel* m_model;
    RootRowFilter* m_filter;
    QTreeView* m_view;
    QString m_root;
    QString m_selected;
    bool m_selecting = false;
    bool m_followSelection = false; // keep the given selection in view until the user takes over
    bool m_followPending = false;
};

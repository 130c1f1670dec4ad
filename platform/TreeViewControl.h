#pragma once
// The tree of keyed nodes: each node has a unique key, a text, a picture from
// an image list and a tag. Nodes are also reachable by position in the order
// they were added, as the console's rebuilds expect. A right press never moves
// the selection: the console's menus act on the node chosen with a left click
// or the keyboard.
#include "platform/ImageList.h"

#include <QStringList>
#include <QTreeWidget>

class TreeViewControl final : public QTreeWidget {
    Q_OBJECT
public:
    enum Button : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

    explicit TreeViewControl(QWidget* parent = nullptr);

    void SetImageList(const ImageList& images);

    // Adds a node under the node relativeKey (top level when that is empty).
    // False, adding nothing, when the key exists or the relative does not.
    bool AddNode(const QString& relativeKey, const QString& key, const QString& text, int image,
                 const QString& tag = {});
    // Adds a node as the child at a 0-based place among its parent's children;
    // in the order of KeysInOrder it comes last. False as for AddNode.
    bool InsertNode(const QString& relativeKey, int place, const QString& key, const QString& text, int image,
                    const QString& tag = {});
    // Removes the node and its whole subtree; false when no node has the key.
    // When the highlight was in it, no node is highlighted afterwards.
    bool RemoveNode(const QString& key);
    // Gives a node another key; false when it has none or the new key is taken.
    bool RekeyNode(const QString& key, const QString& newKey);
    void SetNodeText(const QString& key, const QString& text);
    // Moves a node, with its subtree, to a 0-based place under its parent.
    void MoveNode(const QString& key, int place);
    // Replaces the order of KeysInOrder by the same keys in another order.
    void SetKeysInOrder(QStringList keys) { m_order = std::move(keys); }
    void ClearNodes();

    QTreeWidgetItem* Node(const QString& key) const;
    bool HasNode(const QString& key) const { return Node(key) != nullptr; }
    QString NodeText(const QString& key) const;
    QString NodeTag(const QString& key) const;
    int NodeImage(const QString& key) const;
    QString ParentKey(const QString& key) const;
    QStringList ChildKeys(const QString& key) const;
    bool Expanded(const QString& key) const;
    void SetExpanded(const QString& key, bool expanded);
    // Expands every ancestor so the node can be seen.
    void EnsureVisible(const QString& key);

    // Keys in the order the nodes were added (position 1 is the first).
    QStringList KeysInOrder() const { return m_order; }
    int NodeCount() const { return int(m_order.size()); }

    // The key of the node selected with the left button, or empty.
    QString SelectedKey() const;
    // Highlights the node, as the place the keys move from, without reporting
    // a click; no node is highlighted when none has the key.
    void Highlight(const QString& key);
    static QString KeyOf(const QTreeWidgetItem* item);

Q_SIGNALS:
    // A node chosen by the user: a left click, a drag of the highlight to it,
    // or the keyboard (arrows, Home, End, page keys, type-ahead).
    void NodeClick(const QString& key);
    // Any mouse press on the tree.
    void MouseDown(int button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void forget(QTreeWidgetItem* item);
    // Reports the highlighted node when input moved the highlight from the node of key.
    void chosenIfMovedFrom(const QString& key);

    QString m_selectedAtPress;
    bool m_clicked = false;

    ImageList m_images;
    QHash<QString, QTreeWidgetItem*> m_nodes;
    QStringList m_order;
};

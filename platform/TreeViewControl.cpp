#include "platform/TreeViewControl.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int TagRole = Qt::UserRole + 2;
constexpr int ImageRole = Qt::UserRole + 3;
} // namespace

TreeViewControl::TreeViewControl(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIsDecorated(true);
    // Every node is one line of text beside a picture of one size.
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        m_clicked = true;
        if (item)
            Q_EMIT NodeClick(KeyOf(item));
    });
}

void TreeViewControl::SetImageList(const ImageList& images)
{
    m_images = images;
    setIconSize(images.IconSize());
}

bool TreeViewControl::AddNode(const QString& relativeKey, const QString& key, const QString& text, int image,
                              const QString& tag)
{
    if (m_nodes.contains(key))
        return false;
    QTreeWidgetItem* parentItem = nullptr;
    if (!relativeKey.isEmpty()) {
        parentItem = Node(relativeKey);
        if (!parentItem)
            return false;
    }
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    item->setData(0, TagRole, tag);
    item->setData(0, ImageRole, image);
    item->setIcon(0, m_images.Icon(image));
    m_nodes.insert(key, item);
    m_order.append(key);
    return true;
}

bool TreeViewControl::InsertNode(const QString& relativeKey, int place, const QString& key, const QString& text,
                                 int image, const QString& tag)
{
    QTreeWidgetItem* parentItem = Node(relativeKey);
    if (m_nodes.contains(key) || !parentItem)
        return false;
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    item->setData(0, TagRole, tag);
    item->setData(0, ImageRole, image);
    item->setIcon(0, m_images.Icon(image));
    parentItem->insertChild(std::clamp(place, 0, parentItem->childCount()), item);
    m_nodes.insert(key, item);
    m_order.append(key);
    return true;
}

bool TreeViewControl::RekeyNode(const QString& key, const QString& newKey)
{
    QTreeWidgetItem* item = Node(key);
    if (!item || m_nodes.contains(newKey))
        return false;
    {
        // The key is not shown: the views need not hear of it.
        const QSignalBlocker quiet(model());
        item->setData(0, KeyRole, newKey);
    }
    m_nodes.remove(key);
    m_nodes.insert(newKey, item);
    const qsizetype at = m_order.indexOf(key);
    if (at >= 0)
        m_order[at] = newKey;
    return true;
}

void TreeViewControl::SetNodeText(const QString& key, const QString& text)
{
    if (QTreeWidgetItem* item = Node(key); item && item->text(0) != text)
        item->setText(0, text);
}

void TreeViewControl::MoveNode(const QString& key, int place)
{
    QTreeWidgetItem* item = Node(key);
    QTreeWidgetItem* parentItem = item ? item->parent() : nullptr;
    if (!parentItem)
        return;
    place = std::clamp(place, 0, parentItem->childCount() - 1);
    if (parentItem->child(place) == item)
        return;
    const int from = parentItem->indexOfChild(item);
    if (from == place)
        return;
    parentItem->takeChild(from);
    parentItem->insertChild(place, item);
}

void TreeViewControl::forget(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i)
        forget(item->child(i));
    const QString key = KeyOf(item);
    m_nodes.remove(key);
    m_order.removeOne(key);
}

bool TreeViewControl::RemoveNode(const QString& key)
{
    QTreeWidgetItem* item = Node(key);
    if (!item)
        return false;
    // Qt would highlight a neighbour in place of a highlighted node that
    // goes: a node that nobody chose, whose pane is not shown.
    for (const QTreeWidgetItem* at = currentItem(); at; at = at->parent()) {
        if (at == item) {
            selectionModel()->clear();
            break;
        }
    }
    forget(item);
    delete item; // the item owns its subtree
    return true;
}

void TreeViewControl::ClearNodes()
{
    clear();
    m_nodes.clear();
    m_order.clear();
}

QTreeWidgetItem* TreeViewControl::Node(const QString& key) const
{
    return m_nodes.value(key, nullptr);
}

QString TreeViewControl::NodeText(const QString& key) const
{
    const QTreeWidgetItem* item = Node(key);
    return item ? item->text(0) : QString();
}

QString TreeViewControl::NodeTag(const QString& key) const
{
    const QTreeWidgetItem* item = Node(key);
    return item ? item->data(0, TagRole).toString() : QString();
}

int TreeViewControl::NodeImage(const QString& key) const
{
    const QTreeWidgetItem* item = Node(key);
    return item ? item->data(0, ImageRole).toInt() : 0;
}

QString TreeViewControl::ParentKey(const QString& key) const
{
    const QTreeWidgetItem* item = Node(key);
    return item && item->parent() ? KeyOf(item->parent()) : QString();
}

QStringList TreeViewControl::ChildKeys(const QString& key) const
{
    QStringList out;
    if (const QTreeWidgetItem* item = Node(key)) {
        for (int i = 0; i < item->childCount(); ++i)
            out.append(KeyOf(item->child(i)));
    }
    return out;
}

bool TreeViewControl::Expanded(const QString& key) const
{
    const QTreeWidgetItem* item = Node(key);
    return item && item->isExpanded();
}

void TreeViewControl::SetExpanded(const QString& key, bool expanded)
{
    if (QTreeWidgetItem* item = Node(key))
        item->setExpanded(expanded);
}

void TreeViewControl::EnsureVisible(const QString& key)
{
    if (QTreeWidgetItem* item = Node(key)) {
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        scrollToItem(item);
    }
}

QString TreeViewControl::SelectedKey() const
{
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? QString() : KeyOf(items.first());
}

void TreeViewControl::Highlight(const QString& key)
{
    QTreeWidgetItem* item = Node(key);
    if (!item) {
        selectionModel()->clear();
        return;
    }
    if (item != currentItem() || !item->isSelected())
        setCurrentItem(item);
}

QString TreeViewControl::KeyOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}

void TreeViewControl::mousePressEvent(QMouseEvent* event)
{
    const int button = event->button() == Qt::RightButton ? RightButton
        : event->button() == Qt::MiddleButton           ? MiddleButton
                                                         : LeftButton;
    if (event->button() == Qt::LeftButton) {
        m_selectedAtPress = SelectedKey();
        m_clicked = false;
        if (indexAt(event->position().toPoint()).isValid()) {
            QTreeWidget::mousePressEvent(event);
        } else {
            // Beside every node: the highlight stays on the node whose pane is shown.
            setFocus(Qt::MouseFocusReason);
            event->accept();
        }
    } else {
        event->accept(); // other buttons leave the selection where it is
    }
    Q_EMIT MouseDown(button);
}

void TreeViewControl::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    // A press on one node and a release on another is no click, but the
    // highlight has moved all the same.
    if (event->button() == Qt::LeftButton && !m_clicked)
        chosenIfMovedFrom(m_selectedAtPress);
}

void TreeViewControl::keyPressEvent(QKeyEvent* event)
{
    const QString before = SelectedKey();
    QTreeWidget::keyPressEvent(event);
    chosenIfMovedFrom(before);
}

void TreeViewControl::chosenIfMovedFrom(const QString& key)
{
    // A move with Ctrl held leaves the highlight where it was.
    const QString now = SelectedKey();
    if (!now.isEmpty() && now != key)
        Q_EMIT NodeClick(now);
}

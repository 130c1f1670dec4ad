// The folder picker remembers what it is given and takes what the user picks
// below its tree root.
#include "platform/FolderPicker.h"
#include "tests/platform/FolderReading.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

QString pathOf(const QModelIndex& index)
{
    return index.data(QFileSystemModel::FilePathRole).toString();
}

QString currentPath(FolderPicker& picker)
{
    auto* view = picker.findChild<QTreeView*>();
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    return selected.isEmpty() ? QString() : pathOf(selected.first());
}

} // namespace

class TestFolderPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir dir(m_dir->path());
        QVERIFY(dir.mkpath(QStringLiteral("a/b")) && dir.mkpath(QStringLiteral("c")));
        QFile file(dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void captionShowsOnceSet()
    {
        FolderPicker picker;
        auto* label = picker.findChild<QLabel*>();
        QVERIFY(label->isHidden());
        picker.SetHeaderCaption(QStringLiteral("USER ROOT FOLDER"));
        QCOMPARE(picker.HeaderCaption(), QStringLiteral("USER ROOT FOLDER"));
        QVERIFY(!label->isHidden());

        // A caption wider than a narrow picker is shown whole, on more lines.
        const QString wide = QStringLiteral("Map to this Folder (Destination)");
        picker.SetHeaderCaption(wide);
        // Placed at a fixed size, as the dialogs place it.
        picker.setFixedSize(label->fontMetrics().horizontalAdvance(wide) * 2 / 3, 200);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, wide);
        QVERIFY(label->width() <= picker.width());
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4").arg(needed.width()).arg(needed.height()).arg(label->width()).arg(label->height())));
    }

    void remembersExactPathGiven()
    {
        FolderPicker picker;
        picker.SetTreeRoot(root());
        picker.SetOption12(true);

        const QString given = root() + QStringLiteral("/a/./b/");
        picker.SetSelectedFolder(given);
        picker.Method13();
        QCOMPARE(picker.SelectedFolder(), given);
        QCOMPARE(currentPath(picker), root() + QStringLiteral("/a/b"));

        // The root itself is in its tree.
        picker.SetSelectedFolder(root());
        QCOMPARE(currentPath(picker), root());

        // Missing, outside the tree, empty: kept as given, nothing selected in the tree.
        for (const QString& path : {root() + QStringLiteral("/gone"), QDir::tempPath(), QString()}) {
            picker.SetSelectedFolder(path);
            QCOMPARE(picker.SelectedFolder(), path);
            QCOMPARE(currentPath(picker), QString());
        }
        QCOMPARE(picker.TreeRoot(), root());
    }

    void userPicksFolderBelowRoot()
    {
        FolderPicker picker;
        picker.SetTreeRoot(root());
        picker.SetSelectedFolder(QStringLiteral("D:\\old\\root"));
        picker.resize(300, 300);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));

        auto* view = picker.findChild<QTreeView*>();
        // The root alone at the top, open; below it folders only: "a" and "c", not the file.
        QCOMPARE(view->model()->rowCount(view->rootIndex()), 1);
        // Persistent: rows move while the folders are read and sorted.
        const QPersistentModelIndex top = view->model()->index(0, 0, view->rootIndex());
        QCOMPARE(pathOf(top), root());
        QVERIFY(view->isExpanded(top));
        QTRY_COMPARE(view->model()->rowCount(top), 2);
        QPersistentModelIndex c;
        for (int row = 0; row < 2; ++row) {
            const QModelIndex index = view->model()->index(row, 0, top);
            if (pathOf(index).endsWith(QStringLiteral("/c")))
                c = index;
        }
        QVERIFY(c.isValid());
        view->scrollTo(c);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(c).center());
        QCOMPARE(picker.SelectedFolder(), root() + QStringLiteral("/c"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(top).center());
        QCOMPARE(picker.SelectedFolder(), root());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(c).center());

        // A new tree root keeps the choice while it stays in the tree.
        picker.SetTreeRoot(root());
        QCOMPARE(picker.SelectedFolder(), root() + QStringLiteral("/c"));
        QCOMPARE(currentPath(picker), root() + QStringLiteral("/c"));
    }

    void selectionComesIntoViewOnceItsFoldersAreRead()
    {
        // As the properties dialog does: the whole machine as tree root, the
        // selection set before the picker is shown, the folders read later.
        const QString target = root() + QStringLiteral("/a");
        FolderPicker picker;
        auto* model = picker.findChild<QFileSystemModel*>();
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        const FolderReading reading(picker);
        picker.resize(280, 290);
        picker.SetSelectedFolder(target);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        auto* view = picker.findChild<QTreeView*>();
        auto wasLoaded = [&](const QString& folder) {
            for (const QList<QVariant>& args : loaded)
                if (args.at(0).toString() == folder)
                    return true;
            return false;
        };
        // Once "/" and the temporary folder have their rows, the selection
        // has been pushed down by them; it must still be in view.
        QTRY_VERIFY(wasLoaded(QDir::rootPath()) && wasLoaded(QDir::tempPath()));
        QTRY_VERIFY(reading.Sorted()); // the rows that came are sorted a moment later
        QTRY_VERIFY(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
        QCOMPARE(currentPath(picker), target);
        QCOMPARE(picker.SelectedFolder(), target);
    }

    void myComputerOffersTheWholeMachine()
    {
        FolderPicker picker;
        picker.SetTreeRoot(QStringLiteral("My Computer"));
        auto* view = picker.findChild<QTreeView*>();
        QVERIFY(!view->rootIndex().isValid());
        QCOMPARE(pathOf(view->model()->index(0, 0, view->rootIndex())), QStringLiteral("/"));
        picker.SetSelectedFolder(root() + QStringLiteral("/a"));
        QCOMPARE(currentPath(picker), root() + QStringLiteral("/a"));
    }

    void missingRootOffersNothing()
    {
        FolderPicker picker;
        picker.SetTreeRoot(root() + QStringLiteral("/nowhere"));
        auto* view = picker.findChild<QTreeView*>();
        QVERIFY(!view->model() || view->model()->rowCount(view->rootIndex()) == 0);
        picker.SetSelectedFolder(root() + QStringLiteral("/a"));
        QCOMPARE(picker.SelectedFolder(), root() + QStringLiteral("/a"));
        QCOMPARE(currentPath(picker), QString());

        // Once the root is there again the tree returns.
        picker.SetTreeRoot(root());
        QCOMPARE(currentPath(picker), root() + QStringLiteral("/a"));
    }

private:
    QString root() const { return QDir::cleanPath(m_dir->path()); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestFolderPicker)
#include "tst_folderpicker.moc"

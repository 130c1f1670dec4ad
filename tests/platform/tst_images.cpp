// The console's image lists: every index the console names has a picture of
// the list's size, and the indexes between them hold none.
#include "platform/ConsoleImages.h"

#include <QTest>

namespace {

void checkList(const ImageList& list, QSize size, const QList<int>& named)
{
    QCOMPARE(list.IconSize(), size);
    QCOMPARE(list.Count(), *std::max_element(named.begin(), named.end()));
    for (int index = 1; index <= list.Count(); ++index) {
        const QIcon icon = list.Icon(index);
        if (!named.contains(index)) {
            QVERIFY2(icon.isNull(), qPrintable(QString::number(index)));
            continue;
        }
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(index)));
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        // Something is drawn: not every pixel is transparent.
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(drawn, qPrintable(QString::number(index)));
    }
    QVERIFY(list.Icon(0).isNull());
    QVERIFY(list.Icon(list.Count() + 1).isNull());
}

} // namespace

class TestImages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void treeImages()
    {
        checkList(TreeImages(), QSize(16, 16),
                  {TreeImage::Host, TreeImage::User, TreeImage::Group, TreeImage::Logs, TreeImage::Server,
                   TreeImage::Connections, TreeImage::ServerLog, TreeImage::UsersAndGroups});
        QCOMPARE(int(TreeImage::UsersAndGroups), 18);
        QCOMPARE(int(TreeImage::ServerLog), 13);
    }

    void listImages()
    {
        const QList<int> named{ListImage::User, ListImage::Group, ListImage::ServerLog, ListImage::Settings,
                               ListImage::Connection};
        checkList(LargeListImages(), QSize(32, 32), named);
        checkList(SmallListImages(), QSize(16, 16), named);
        QCOMPARE(int(ListImage::Connection), 9);
    }

    void toolbarAndProgramIcon()
    {
        checkList(ToolbarImages(), QSize(24, 24),
                  {ToolbarImage::Start, ToolbarImage::Stop, ToolbarImage::Home, ToolbarImage::Properties,
                   ToolbarImage::AddUser, ToolbarImage::EditUsers, ToolbarImage::EditGroups,
                   ToolbarImage::VirtualFolders, ToolbarImage::Refresh});
        QVERIFY(!ProgramIcon().isNull());
    }
};

QTEST_MAIN(TestImages)
#include "tst_images.moc"

// The virtual folder editor: the exact map it writes, round trips with
// duplicates and blanks, refused names, Update and Delete, Cancel, a write
// that fails, and with the real engine a folder added showing in a listing.
#include "console/frmMain.h"
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "core/TextFile.h"
#include "core/VirtualFolderMap.h"
#include "dialogs/frmVirtualFolders.h"
#include "engine/FtpEngine.h"
#include "platform/FolderPicker.h"
#include "platform/SingleInstance.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

const QByteArray Header = QUAYPORT_VERSION_TEXT "*********************\r\n**   Virtual Directory  **\r\n"
                          "**   Configuration file **\r\n**************************\r\n";

void add(frmVirtualFolders& d, const QString& name, const QString& source, const QString& destination)
{
    d.Text1->setText(name);
    d.FolderTree1->SetSelectedFolder(source);
    d.FolderTree2->SetSelectedFolder(destination);
    d.cmdAdd->click();
}

QStringList names(const frmVirtualFolders& d)
{
    QStringList out;
    for (const VirtualFolderRecord& r : d.Rows())
        out.append(r.Name);
    return out;
}

} // namespace

class TestVirtualFolders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsRowsAndWritesTheExactMap()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        const QString root = f.folder.file(QStringLiteral("/root"));
        QDir().mkpath(root + QStringLiteral("/pub/docs"));
        {
            frmVirtualFolders d;
            QCOMPARE(d.windowTitle(), QStringLiteral("Work with Virtual Folders"));
            QCOMPARE(d.size(), QSize(564, 257));
            QCOMPARE(d.FolderTree1->TreeRoot(), root);
            QCOMPARE(d.FolderTree2->TreeRoot(), FolderPicker::MyComputer);
            QVERIFY(d.Rows().isEmpty() && d.cmdAdd->isEnabled() && !d.cmdUpdate->isEnabled());
            d.cmdOk->click();
            QCOMPARE(f.folder.read(QStringLiteral("/VirtMap.dat")), Header);
        }

        frmVirtualFolders d;
        const QString nameRule = ErrorBox(QStringLiteral("A virtual folder name cannot hold \"/\" or \"\\\", nor be \".\" or \"..\"."));
        const struct {
            QString name;
            QString box;
        } refused[] = {
            {QStringLiteral("   "), ErrorBox(QStringLiteral("You must enter a Virtual name!"))},
            {QStringLiteral("a/b"), nameRule},
            {QStringLiteral("a\\b"), nameRule},
            {QStringLiteral(" .. "), nameRule},
            {QStringLiteral("."), nameRule},
            {QStringLiteral("x") + QChar(0), nameRule},
            {QStringLiteral("caf\u0101"), ErrorBox(QStringLiteral("The name \"caf\u0101\" has characters that cannot be "
                                                                  "stored. Please choose another."))},
        };
        for (const auto& r : refused) {
            add(d, r.name, root, QStringLiteral("/srv"));
            QCOMPARE(TakeBoxes(*f.doubles.messages), QStringList{r.box});
        }
        QVERIFY(d.Rows().isEmpty());
        QVERIFY(f.serverLogMessages().isEmpty());

        add(d, QStringLiteral(" pub "), root, QStringLiteral("/srv/one"));
        add(d, QStringLiteral(" pub "), root, QStringLiteral("/srv/one"));
        add(d, QStringLiteral("docs"), root + QStringLiteral("/pub/docs"), QStringLiteral("/srv/two"));
        QCOMPARE(d.Rows().at(0), (VirtualFolderRecord{QStringLiteral(" pub "), QStringLiteral("/"), root,
                                                      QStringLiteral("/srv/one")}));
        QCOMPARE(d.Rows().at(2).VirtualPath, QStringLiteral("/pub/docs"));
        QCOMPARE(f.serverLogMessages(), (QStringList{QStringLiteral("Virtual folder  pub  added. Click Ok to save."),
                                                     QStringLiteral("Virtual folder  pub  added. Click Ok to save."),
                                                     QStringLiteral("Virtual folder docs added. Click Ok to save.")}));

        // Without a selection Update and Delete do nothing.
        d.cmdUpdate_Click();
        d.cmdDelete_Click();
        QCOMPARE(d.Rows().size(), 3);

        // Updating the second row moves it to the end.
        d.List1->setCurrentRow(1);
        QCOMPARE(d.Text1->text(), QStringLiteral(" pub "));
        QVERIFY(!d.cmdAdd->isEnabled() && d.cmdUpdate->isEnabled() && d.cmdDelete->isEnabled());
        d.Text1->setText(QStringLiteral("moved"));
        d.cmdUpdate->click();
        QCOMPARE(names(d), (QStringList{QStringLiteral(" pub "), QStringLiteral("docs"), QStringLiteral("moved")}));
        QVERIFY(d.Text1->text().isEmpty() && d.cmdAdd->isEnabled() && !d.cmdUpdate->isEnabled());
        QVERIFY(d.List1->selectedItems().isEmpty());

        // Delete names the row it removes, not what the box was edited to.
        d.List1->setCurrentRow(1);
        d.Text1->setText(QStringLiteral("edited"));
        d.cmdDelete->click();
        QCOMPARE(names(d), (QStringList{QStringLiteral(" pub "), QStringLiteral("moved")}));
        QCOMPARE(f.serverLogMessages().mid(3),
                 (QStringList{QStringLiteral("Virtual folder moved updated. Click Ok to save."),
                              QStringLiteral("Virtual folder docs deleted. Click Ok to save.")}));
        add(d, QStringLiteral(" pub "), root, QStringLiteral("/srv/one"));
        const QList<VirtualFolderRecord> rows = d.Rows();
        SaveShot(d, QStringLiteral("frmVirtualFolders"));
        d.cmdOk->click();
        QCOMPARE(f.folder.read(QStringLiteral("/VirtMap.dat")), VirtualFolderMapBytes(rows));

        // Read back: duplicates and blanks kept; Cancel writes nothing.
        frmVirtualFolders again;
        QCOMPARE(again.Rows(), rows);
        again.List1->setCurrentRow(0);
        again.cmdDelete->click();
        again.cmdCancel->click();
        QCOMPARE(f.folder.read(QStringLiteral("/VirtMap.dat")), VirtualFolderMapBytes(rows));
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    // As a person works: a name typed and Tab into the list keeps the name
    // and adds it; a row is loaded only when a click or a key selects it.
    void typedClickedAndKeyedAsAPersonDoes()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        const QString root = f.folder.file(QStringLiteral("/root"));
        QVERIFY(WriteVirtualFolderMap({{QStringLiteral("one"), QStringLiteral("/"), root, QStringLiteral("/srv/one")},
                                       {QStringLiteral("two"), QStringLiteral("/"), root, QStringLiteral("/srv/two")}}));
        frmVirtualFolders d;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), d.Text1);
        const auto state = [&] {
            QStringList usable;
            for (QPushButton* b : {d.cmdAdd, d.cmdUpdate, d.cmdDelete})
                if (b->isEnabled())
                    usable.append(b->objectName());
            return d.Text1->text() + QLatin1Char('|') + usable.join(QLatin1Char(' '));
        };
        const auto clickRow = [&](int row) {
            QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {}, d.List1->visualItemRect(d.List1->item(row)).center());
        };
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("three"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d.List1);
        QCOMPARE(state(), QStringLiteral("three|cmdAdd"));
        QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        QCOMPARE(names(d), (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));

        clickRow(1);
        QCOMPARE(state(), QStringLiteral("two|cmdUpdate cmdDelete"));
        QCOMPARE(d.FolderTree2->SelectedFolder(), QStringLiteral("/srv/two"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(state(), QStringLiteral("one|cmdUpdate cmdDelete"));
        QTest::mouseClick(d.cmdDelete, Qt::LeftButton);
        QCOMPARE(names(d), (QStringList{QStringLiteral("two"), QStringLiteral("three")}));
        QCOMPARE(state(), QStringLiteral("|cmdAdd"));

        clickRow(0);
        d.Text1->setFocus();
        d.Text1->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("renamed"));
        QTest::mouseClick(d.cmdUpdate, Qt::LeftButton);
        QCOMPARE(names(d), (QStringList{QStringLiteral("three"), QStringLiteral("renamed")}));
        QCOMPARE(d.Rows().at(1).RealFolder, QStringLiteral("/srv/two"));
        QCOMPARE(f.serverLogMessages(), (QStringList{QStringLiteral("Virtual folder three added. Click Ok to save."),
                                                     QStringLiteral("Virtual folder one deleted. Click Ok to save."),
                                                     QStringLiteral("Virtual folder renamed updated. Click Ok to save.")}));
    }

    void aMapThatCannotBeWrittenKeepsTheEditorOpen()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        QDir().mkpath(f.folder.file(QStringLiteral("/VirtMap.dat"))); // a folder where the file belongs
        frmVirtualFolders d;
        d.show();
        add(d, QStringLiteral("pub"), f.folder.file(QStringLiteral("/root")), QStringLiteral("/srv"));
        d.cmdOk->click();
        QCOMPARE(f.doubles.errors->reports.size(), 1);
        QVERIFY(f.doubles.errors->reports.first().contains(QStringLiteral("in Quayport.frmVirtualFolders.cmdOk_Click at line 1")));
        QVERIFY(d.isVisible());
        QCOMPARE(names(d), QStringList{QStringLiteral("pub")});
    }

    void withTheEngineAnAddedFolderShowsInAListing()
    {
        ConsoleFixture f;
        f.writeConfig();
        const QString root = f.folder.file(QStringLiteral("/root"));
        const QString shared = f.folder.file(QStringLiteral("/shared"));
        QDir().mkpath(shared);
        f.folder.write(QStringLiteral("/shared/hello.txt"), "hello\r\n");
        AccountRecord bob;
        bob.UserId = QStringLiteral("bob");
        bob.Password = QStringLiteral("pw");
        bob.Group = QStringLiteral("public");
        bob.RootFolder = root;
        bob.Permissions = PermissionSet::all(true);
        QVERIFY(WriteLines(AccountFilePath(QStringLiteral("bob")), AccountFileLines(bob)));
        GroupRecord pub;
        pub.RootFolder = root;
        QVERIFY(WriteLines(GroupFilePath(QStringLiteral("public")), GroupFileLines(pub, false)));

        frmMain& console = f.console();
        console.Toolbar1_ButtonClick(12);
        frmVirtualFolders* d = SingleInstance<frmVirtualFolders>::Open();
        QVERIFY(d && d->isVisible());
        add(*d, QStringLiteral("extra"), root, shared);
        d->cmdOk->click();
        QTRY_VERIFY(!SingleInstance<frmVirtualFolders>::Open());

        FtpScript client(Controls(console).FtpEngine1->BoundPort(), QStringLiteral(
            "ftp = ftplib.FTP(); ftp.connect('127.0.0.1', port, timeout=20); ftp.login('bob', 'pw')\n"
            "print(' '.join(sorted(ftp.nlst()))); print(' '.join(ftp.nlst('/extra'))); ftp.quit()\n"));
        QVERIFY(client.waitForEnd());
        const QStringList lines = client.output().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(lines.size() == 2 && lines.at(0).split(QLatin1Char(' ')).contains(QStringLiteral("extra")),
                 qPrintable(client.output()));
        QVERIFY2(lines.at(1).contains(QStringLiteral("hello.txt")), qPrintable(client.output()));
    }
};

QTEST_MAIN(TestVirtualFolders)
#include "tst_virtualfolders.moc"

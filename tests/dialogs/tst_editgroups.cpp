// The edit groups dialog: showing a group and its members by their own
// files, creating, updating and deleting with the exact files, the question
// and the order of log lines, "public", and the hand-over.
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"
#include "dialogs/frmEditGroups.h"
#include "platform/FolderPicker.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>

namespace {

void writeGroup(const QString& name, const QString& root, bool putFile = true)
{
    GroupRecord g;
    g.Permissions = PermissionSet::all(true);
    g.Permissions.PutFile = putFile;
    g.RootFolder = root;
    QVERIFY(WriteLines(GroupFilePath(name), GroupFileLines(g, false)));
}

void writeMember(const QString& file, const QString& id, const QString& group)
{
    AccountRecord a;
    a.UserId = id;
    a.Group = group;
    a.Password = QStringLiteral("pw");
    QVERIFY(WriteLines(AccountFilePath(file), AccountFileLines(a)));
}

QStringList groupLines(const QString& flags, const QString& root, bool enciphered)
{
    QStringList lines;
    for (QChar c : flags)
        lines.append(c == QLatin1Char('1') ? QStringLiteral("True") : QStringLiteral("False"));
    lines << root << QStringLiteral(QUAYPORT_VERSION_TEXT);
    for (int i = 0; i < 19; ++i)
        lines.append(enciphered ? ModMain::Encipher(QStringLiteral("<Reserved>")) : QStringLiteral("<Reserved>"));
    return lines;
}

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

void select(frmEditGroups& d, const QString& name)
{
    const QList<QListWidgetItem*> found = d.lstGroups->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    d.lstGroups->setCurrentItem(found.first());
}

// A click of the mouse on the listed entry, where a person clicks.
void click(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

} // namespace

class TestEditGroups : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsCreatesUpdatesAndDeletes()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::LoadConfig();
        InstalledSessions live;
        const QString root = f.folder.file(QStringLiteral("/root"));
        writeGroup(QStringLiteral("staff"), root + QStringLiteral("/staff"), false);
        writeGroup(QStringLiteral("public"), root);
        writeMember(QStringLiteral("bob"), QString(), QStringLiteral(" STAFF "));
        writeMember(QStringLiteral("carol"), QStringLiteral("Carol"), QStringLiteral("staff"));
        writeMember(QStringLiteral("dave"), QStringLiteral("staff"), QStringLiteral("public"));
        for (const char* file : {"/logs/G_staff.txt", "/logs/G_staff_12-01-2026_10-00-00.txt",
                                 "/users/stats/Trend_Group_Day_staff.2026343.txt", "/users/stats/Trend_Group_Day_staffers.2026343.txt",
                                 "/logs/U_bob.txt"})
            f.folder.write(QLatin1String(file), "1\r\n");

        frmEditGroups d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Edit Groups"));
        QCOMPARE(d.size(), QSize(379, 391));
        QVERIFY(!d.chkDir->isEnabled());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(texts(d.lstGroups), (QStringList{QStringLiteral("public"), QStringLiteral("staff")}));
        QVERIFY(!d.cmdUpdate->isEnabled() && !d.cmdDelete->isEnabled());
        QCOMPARE(d.FolderTree1->HeaderCaption(), QStringLiteral("GROUP ROOT FOLDER"));
        QCOMPARE(d.FolderTree1->TreeRoot(), root);

        // Members by their own line 14; a blank user id is shown by its file name.
        select(d, QStringLiteral("staff"));
        QCOMPARE(d.ShownGroupName, QStringLiteral("staff"));
        QCOMPARE(texts(d.lstUsers), (QStringList{QStringLiteral("bob"), QStringLiteral("Carol")}));
        QVERIFY(d.chkDir->isEnabled() && d.chkDir->isChecked() && !d.chkPutFile->isChecked());
        QCOMPARE(d.FolderTree1->SelectedFolder(), root + QStringLiteral("/staff"));
        QVERIFY(d.cmdDelete->isEnabled() && d.cmdUpdate->isEnabled());
        select(d, QStringLiteral("public"));
        QVERIFY(!d.cmdDelete->isEnabled() && d.cmdUpdate->isEnabled());
        QCOMPARE(texts(d.lstUsers), QStringList{QStringLiteral("staff")});

        // New groups: Cancel and blanks do nothing; bad and existing names are refused.
        f.doubles.messages->inputAnswers = {QString(), QStringLiteral("   "), QStringLiteral("bad.name"),
                                            QStringLiteral(" Staff "), QStringLiteral("  lead  ")};
        for (int i = 0; i < 5; ++i)
            d.cmdAddGroup->click();
        const QString ask = QStringLiteral("Enter New Group|New Group|0");
        QCOMPARE(TakeBoxes(*f.doubles.messages),
                 (QStringList{ask, ask, ask,
                              QStringLiteral("You must enter valid characters A-Z 0-9 _ @ # only|") + ProgramTitle()
                                  + QStringLiteral("|0"),
                              ask, ErrorBox(QStringLiteral("Group already exists.")), ask}));
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/groups/G_lead"))),
                 groupLines(QStringLiteral("11111111"), root, false));
        QCOMPARE(f.serverLogMessages(), QStringList{QStringLiteral("Group lead created.")});
        QCOMPARE(texts(d.lstGroups), (QStringList{QStringLiteral("lead"), QStringLiteral("public"), QStringLiteral("staff")}));
        QVERIFY(d.lstGroups->selectedItems().isEmpty() && d.lstUsers->count() == 0);

        // Nothing selected: Update writes nothing.
        d.cmdUpdate_Click();
        d.cmdDelete_Click();
        QVERIFY(!f.folder.exists(QStringLiteral("/groups/G_")));
        QCOMPARE(f.serverLogMessages().size(), 1);

        select(d, QStringLiteral("lead"));
        d.chkPutFile->setChecked(false);
        d.chkChangeDir->setChecked(false);
        d.FolderTree1->SetSelectedFolder(root + QStringLiteral("/staff"));
        d.cmdUpdate->click();
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/groups/G_lead"))),
                 groupLines(QStringLiteral("11011110"), root + QStringLiteral("/staff"), true));
        QCOMPARE(f.serverLogMessages().last(), QStringLiteral("Group lead updated."));

        // Declined: no file touched, lists refilled, boxes all checked.
        select(d, QStringLiteral("staff"));
        f.doubles.messages->confirmAnswers = {false, true};
        d.cmdDelete->click();
        QVERIFY(f.folder.exists(QStringLiteral("/groups/G_staff")));
        QVERIFY(d.lstGroups->selectedItems().isEmpty() && d.chkPutFile->isChecked());
        QVERIFY(live.sessions->closed.isEmpty());

        select(d, QStringLiteral("staff"));
        d.cmdDelete->click();
        const QString question
            = QStringLiteral("Delete group staff?\r\nAll users for this group will be lost?|Delete Group|4");
        QCOMPARE(TakeBoxes(*f.doubles.messages), (QStringList{question, question}));
        QCOMPARE(live.sessions->closed, (QStringList{QStringLiteral("bob"), QStringLiteral("carol")}));
        for (const char* gone : {"/groups/G_staff", "/logs/G_staff.txt", "/users/stats/Trend_Group_Day_staff.2026343.txt",
                                 "/users/U_bob", "/users/U_carol", "/logs/U_bob.txt"})
            QVERIFY2(!f.folder.exists(QLatin1String(gone)), gone);
        for (const char* kept : {"/logs/G_staff_12-01-2026_10-00-00.txt", "/users/stats/Trend_Group_Day_staffers.2026343.txt",
                                 "/users/U_dave", "/groups/G_public"})
            QVERIFY2(f.folder.exists(QLatin1String(kept)), kept);
        QCOMPARE(f.serverLogMessages().mid(2), (QStringList{QStringLiteral("Group staff deleted."),
                                                            QStringLiteral("User bob deleted."),
                                                            QStringLiteral("User Carol deleted.")}));
        QCOMPARE(texts(d.lstGroups), (QStringList{QStringLiteral("lead"), QStringLiteral("public")}));

        // A handed-over group stays selected; one that is not listed leaves Update and Delete idle.
        ConsoleState::EditGroupName = QStringLiteral("ghost");
        select(d, QStringLiteral("lead"));
        QVERIFY(d.lstGroups->selectedItems().isEmpty());
        QVERIFY(!d.cmdUpdate->isEnabled() && !d.cmdDelete->isEnabled());
        const QByteArray lead = f.folder.read(QStringLiteral("/groups/G_lead"));
        d.cmdUpdate_Click();
        d.cmdDelete_Click();
        QCOMPARE(f.folder.read(QStringLiteral("/groups/G_lead")), lead);
        ConsoleState::EditGroupName = QStringLiteral("lead");
        select(d, QStringLiteral("public"));
        QCOMPARE(d.lstGroups->currentItem()->text(), QStringLiteral("lead"));
        QCOMPARE(d.ShownGroupName, QStringLiteral("lead"));
        d.chkDir->setChecked(false);
        d.cmdUpdate->click();
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/groups/G_lead"))).at(4), QStringLiteral("False"));
        QVERIFY(f.folder.read(QStringLiteral("/groups/G_public")).startsWith("True\r\nTrue\r\nTrue\r\nTrue\r\nTrue"));
        SaveShot(d, QStringLiteral("frmEditGroups"));
        d.cmdOk->click();
        QVERIFY(ConsoleState::EditGroupName.isEmpty());
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    // A click or a key changes the selection after the current entry: the
    // group shown is the one selected, whichever way it was chosen.
    void theClickedOrKeyedGroupIsShown()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::LoadConfig();
        const QString root = f.folder.file(QStringLiteral("/root"));
        writeGroup(QStringLiteral("public"), root);
        writeGroup(QStringLiteral("staff"), root + QStringLiteral("/staff"), false);
        writeMember(QStringLiteral("bob"), QStringLiteral("bob"), QStringLiteral("staff"));
        writeMember(QStringLiteral("dave"), QStringLiteral("dave"), QStringLiteral("public"));

        frmEditGroups d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // What the window shows: group, members, Put File, and what can be used.
        const auto shown = [&] {
            QStringList usable;
            if (d.chkPutFile->isEnabled())
                usable.append(QStringLiteral("boxes"));
            if (d.cmdUpdate->isEnabled())
                usable.append(QStringLiteral("update"));
            if (d.cmdDelete->isEnabled())
                usable.append(QStringLiteral("delete"));
            return QStringList{d.ShownGroupName, texts(d.lstUsers).join(QLatin1Char(',')),
                               d.chkPutFile->isChecked() ? QStringLiteral("put") : QStringLiteral("no put"),
                               usable.join(QLatin1Char(' ')), d.FolderTree1->SelectedFolder()}
                .join(QLatin1Char('|'));
        };
        const QString staff = QStringLiteral("staff|bob|no put|boxes update delete|") + root + QStringLiteral("/staff");
        const QString pub = QStringLiteral("public|dave|put|boxes update|") + root;
        click(d.lstGroups, QStringLiteral("staff"));
        QCOMPARE(shown(), staff);
        click(d.lstGroups, QStringLiteral("public"));
        QCOMPARE(shown(), pub);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(shown(), staff);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(shown(), pub);

        // Update writes the group shown, which is the one highlighted.
        click(d.lstGroups, QStringLiteral("staff"));
        QTest::mouseClick(d.chkPutFile, Qt::LeftButton);
        QTest::mouseClick(d.cmdUpdate, Qt::LeftButton);
        QCOMPARE(f.serverLogMessages(), QStringList{QStringLiteral("Group staff updated.")});
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/groups/G_staff"))).at(2), QStringLiteral("True"));

        // A handed-over group takes the selection back from a click.
        ConsoleState::EditGroupName = QStringLiteral("staff");
        click(d.lstGroups, QStringLiteral("public"));
        QCOMPARE(texts(d.lstGroups).value(d.lstGroups->currentRow()), QStringLiteral("staff"));
        QCOMPARE(d.lstGroups->selectedItems().size(), 1);
        QCOMPARE(shown(), QStringLiteral("staff|bob|put|boxes update delete|") + root + QStringLiteral("/staff"));
        ConsoleState::EditGroupName.clear();
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    void aFailedCreationLeavesTheShownGroupAsItWas()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::LoadConfig();
        const QString staffRoot = f.folder.file(QStringLiteral("/root/staff"));
        GroupRecord staff;
        staff.Permissions = PermissionSet::all(true);
        staff.Permissions.PutFile = false;
        staff.RootFolder = staffRoot;
        // As Update writes it, so that an Update of the same values changes no byte.
        QVERIFY(WriteLines(GroupFilePath(QStringLiteral("staff")), GroupFileLines(staff, true)));
        const QByteArray before = f.folder.read(QStringLiteral("/groups/G_staff"));
        writeGroup(QStringLiteral("public"), f.folder.file(QStringLiteral("/root")));
        // A folder in the way of the new group's file makes its write fail, for root too.
        QVERIFY(QDir().mkpath(f.folder.file(QStringLiteral("/groups/G_lead"))));

        frmEditGroups d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // Chosen with the keyboard: public, staff.
        d.lstGroups->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QCOMPARE(d.ShownGroupName, QStringLiteral("staff"));
        QVERIFY(d.cmdUpdate->isEnabled() && !d.chkPutFile->isChecked());

        f.doubles.messages->inputAnswers = {QStringLiteral("lead")};
        QTest::mouseClick(d.cmdAddGroup, Qt::LeftButton);
        QCOMPARE(f.doubles.errors->reports.size(), 1);
        QVERIFY(f.serverLogMessages().isEmpty());
        // The form shows the group that stays selected, and Update keeps it so.
        QVERIFY(!d.chkPutFile->isChecked());
        QCOMPARE(d.FolderTree1->SelectedFolder(), staffRoot);
        if (d.cmdUpdate->isEnabled())
            QTest::mouseClick(d.cmdUpdate, Qt::LeftButton);
        QCOMPARE(f.folder.read(QStringLiteral("/groups/G_staff")), before);
    }
};

QTEST_MAIN(TestEditGroups)
#include "tst_editgroups.moc"

// The add user and edit users dialogs: their checks in order, the exact
// account files they write, the hand-over, loads of short and missing files,
// deletes that remove exactly the account's files, and with the real engine
// an added user logging in and a deleted one shut out.
#include "console/frmMain.h"
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/LineLimits.h"
#include "core/ProcessState.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"
#include "dialogs/frmAddUser.h"
#include "dialogs/TextRules.h"
#include "dialogs/frmEditUsers.h"
#include "engine/FtpEngine.h"
#include "platform/FolderPicker.h"
#include "platform/SingleInstance.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/OpenAccounts.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString Reserved = QStringLiteral("<Reserved>");

void writeAccount(const AccountRecord& a, const QString& file = QString())
{
    QVERIFY(WriteLines(AccountFilePath(file.isEmpty() ? a.UserId : file), AccountFileLines(a)));
}

AccountRecord account(const QString& name, const QString& group, const QString& root)
{
    AccountRecord a;
    a.UserId = name;
    a.Password = QStringLiteral("pw");
    a.Description = QStringLiteral("about ") + name;
    a.Email = name + QStringLiteral("@example.org");
    a.Group = group;
    a.RootFolder = root;
    a.Permissions = PermissionSet::all(true);
    return a;
}

QStringList accountLines(const QString& flags, const QString& id, const QString& password, const QString& description,
                         const QString& email, const QString& group, const QString& root, bool useGroup)
{
    QStringList lines;
    for (QChar c : flags)
        lines.append(c == QLatin1Char('1') ? QStringLiteral("True") : QStringLiteral("False"));
    lines << id << ModMain::Encipher(password) << ModMain::Encipher(description) << email << group << root
          << (useGroup ? QStringLiteral("True") : QStringLiteral("False")) << QStringLiteral(QUAYPORT_VERSION_TEXT);
    for (int i = 0; i < 19; ++i)
        lines.append(Reserved);
    return lines;
}

bool allChecked(const AccountForm& d)
{
    for (QCheckBox* box : d.findChildren<QCheckBox*>())
        if (!box->isChecked())
            return false;
    return true;
}

QStringList fileNames(const ConsoleFixture& f)
{
    QStringList names;
    for (const char* folder : {"/users", "/users/stats", "/logs"})
        for (const QString& name : QDir(f.folder.file(QLatin1String(folder))).entryList(QDir::Files))
            names.append(QLatin1String(folder + 1) + QLatin1Char('/') + name);
    names.sort();
    return names;
}

bool activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}

} // namespace

class TestAccountDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addChecksInOrderThenWritesTheExactFile()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::LoadConfig();
        QVERIFY(WriteOpenGroup(QStringLiteral("staff"), f.folder.file(QStringLiteral("/root"))));
        f.folder.write(QStringLiteral("/groups/G_"), "x"); // an empty name in the list
        writeAccount(account(QStringLiteral("bob"), QStringLiteral("staff"), QString()));
        const QString folder = f.folder.file(QStringLiteral("/root/carol"));
        QDir().mkpath(folder);

        frmAddUser d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Add User"));
        QCOMPARE(d.size(), QSize(411, 417));
        QVERIFY(allChecked(d));
        QVERIFY(!d.chkDir->isEnabled() && d.Image1->isVisibleTo(&d) && !d.FolderTree1->isVisibleTo(&d));
        QCOMPARE(d.FolderTree1->HeaderCaption(), QStringLiteral("USER ROOT FOLDER"));
        QCOMPARE(d.cboSecurityGroup->count(), 2);

        const QString validChars = QStringLiteral("You must enter valid characters A-Z 0-9 _ @ # only|") + ProgramTitle()
            + QStringLiteral("|0");
        struct Case {
            const char* id;
            const char* password;
            const char* group;
            QString folder;
            QString box;
        };
        const Case cases[] = {
            {"carol", "  ", "staff", folder, ErrorBox(QStringLiteral("You must enter a user password."))},
            {"carol", "pw", "nosuch", folder, ErrorBox(QStringLiteral("You must select a valid security group."))},
            {"carol", "pw", "  ", folder, ErrorBox(QStringLiteral("You must select a security group."))},
            {"ca.rol", "pw", "staff", folder, validChars},
            {" BOB ", "pw", "staff", folder, ErrorBox(QStringLiteral("This user already exists."))},
            {"  ", "pw", "staff", folder, ErrorBox(QStringLiteral("You must select a user name."))},
            {"carol", "pw", "staff", folder + QStringLiteral("/\u03b4"),
             ErrorBox(QStringLiteral("The folder \"") + folder
                      + QStringLiteral("/\u03b4\" has characters that cannot be stored. Please choose another."))},
            // A password is named, never shown.
            {"carol", "TopSecret9\u0416", "staff", folder,
             ErrorBox(QStringLiteral("The password has characters that cannot be stored. Please choose another."))},
        };
        const QStringList before = fileNames(f);
        for (const Case& c : cases) {
            d.txtUserID->setText(QLatin1String(c.id));
            d.txtPassword->setText(QString::fromUtf8(c.password));
            d.cboSecurityGroup->setEditText(QLatin1String(c.group));
            d.chkUseGroup->setChecked(false);
            d.FolderTree1->SetSelectedFolder(c.folder);
            d.cmdAdd->click();
            QCOMPARE(TakeBoxes(*f.doubles.messages), QStringList{c.box});
            QCOMPARE(fileNames(f), before);
            QCOMPARE(d.txtUserID->text(), QLatin1String(c.id));
        }

        // Leaving the id box seeds the e-mail, replacing what it held.
        d.txtUserID->setText(QStringLiteral(" carol "));
        d.txtEmail->setText(QStringLiteral("typed@earlier"));
        d.txtUserID_LostFocus();
        QCOMPARE(d.txtEmail->text(), QStringLiteral("carol@"));

        d.txtEmail->setText(QStringLiteral(" c@x "));
        d.txtPassword->setText(QStringLiteral(" pw1 "));
        d.cboSecurityGroup->setEditText(QStringLiteral(" STAFF "));
        d.txtAccountDescription->setPlainText(QStringLiteral("  first\nsecond  "));
        d.chkadoptgroupcmds->setChecked(false);
        QVERIFY(d.chkDir->isEnabled());
        d.chkDir->setChecked(false);
        d.chkRemoveDir->setChecked(false);
        d.FolderTree1->SetSelectedFolder(folder);
        d.cmdAdd->click();
        QCOMPARE(TakeBoxes(*f.doubles.messages), QStringList());
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/users/U_carol"))),
                 accountLines(QStringLiteral("011011101"), QStringLiteral("carol"), QStringLiteral("pw1"),
                              QStringLiteral("first\r\nsecond"), QStringLiteral(" c@x "), QStringLiteral("STAFF"),
                              folder, false));
        QCOMPARE(f.serverLogMessages(), (QStringList{QStringLiteral("User  carol  created."),
                                                     QStringLiteral("G_ deleted.")}));
        // Reset for the next account; the picker keeps its folder, the list is read again.
        QVERIFY(d.txtUserID->text().isEmpty() && d.txtPassword->text().isEmpty() && d.txtEmail->text().isEmpty());
        QVERIFY(allChecked(d));
        QVERIFY(!d.chkDir->isEnabled() && d.Image1->isVisibleTo(&d));
        QCOMPARE(d.FolderTree1->SelectedFolder(), folder);
        QCOMPARE(d.cboSecurityGroup->count(), 1);

        // A file that cannot be written: one report, no log line, the form as it was.
        QDir().mkpath(f.folder.file(QStringLiteral("/users/U_erin")));
        d.txtUserID->setText(QStringLiteral("erin"));
        d.txtPassword->setText(QStringLiteral("pw"));
        d.cboSecurityGroup->setEditText(QStringLiteral("staff"));
        d.cmdAdd->click();
        QCOMPARE(f.doubles.errors->reports.size(), 1);
        QVERIFY(f.doubles.errors->reports.first().contains(QStringLiteral("in Quayport.frmAddUser.cmdAdd_Click at line")));
        QCOMPARE(f.serverLogMessages().size(), 2);
        QCOMPARE(d.txtUserID->text(), QStringLiteral("erin"));
        SaveShot(d, QStringLiteral("frmAddUser"));
    }

    void editLoadsUpdatesAndKeepsTheHandOver()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::LoadConfig();
        const QString root = f.folder.file(QStringLiteral("/root"));
        QVERIFY(WriteOpenGroup(QStringLiteral("staff"), root));
        QVERIFY(WriteOpenGroup(QStringLiteral("public"), root));
        AccountRecord bob = account(QStringLiteral("bob"), QStringLiteral("staff"), root + QStringLiteral("/bob"));
        bob.UseGroupHomeDirectory = true;
        bob.Permissions.PutFile = false;
        writeAccount(bob);
        writeAccount(account(QStringLiteral("bobby"), QStringLiteral("public"), root));
        writeAccount(account(QStringLiteral("blank"), QStringLiteral("staff"), QStringLiteral("  ")));
        writeAccount(account(QStringLiteral("anonymous"), QStringLiteral("public"), root));
        f.folder.write(QStringLiteral("/users/U_shorty"),
                       AnsiLines(AccountFileLines(account(QStringLiteral("shorty"), QStringLiteral("staff"), root)).mid(0, 12)));
        writeAccount(account(QStringLiteral("gone"), QStringLiteral("staff"), root));

        frmEditUsers d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Edit User"));
        QCOMPARE(d.size(), QSize(411, 417));
        QCOMPARE(d.cboSelectUser->count(), 6);
        QFile::remove(f.folder.file(QStringLiteral("/users/U_gone")));
        const auto load = [&](const QString& text) {
            d.cboSelectUser->setEditText(text);
            d.cboSelectUser_Click();
        };

        load(QStringLiteral("bob"));
        QCOMPARE(d.txtPassword->text(), QStringLiteral("pw"));
        QCOMPARE(d.txtAccountDescription->toPlainText(), QStringLiteral("about bob"));
        QCOMPARE(d.cboSecurityGroup->currentText(), QStringLiteral("staff"));
        QCOMPARE(d.FolderTree1->SelectedFolder(), root + QStringLiteral("/bob"));
        QVERIFY(d.chkUseGroup->isChecked() && !d.chkPutFile->isChecked() && d.chkDir->isChecked());
        QVERIFY(d.Image1->isVisibleTo(&d) && d.cmdDelete->isEnabled());

        // Unread lines give empty or False, never the previous account's values.
        load(QStringLiteral("shorty"));
        QCOMPARE(f.doubles.errors->reports.size(), 4);
        QVERIFY(d.txtEmail->text().isEmpty() && d.cboSecurityGroup->currentText().isEmpty());
        QCOMPARE(d.txtPassword->text(), QStringLiteral("pw"));
        QVERIFY(!d.chkUseGroup->isChecked() && d.FolderTree1->SelectedFolder().isEmpty());
        f.doubles.errors->reports.clear();

        // A blank root shows no folder, so none is written back for it.
        load(QStringLiteral("bob"));
        load(QStringLiteral("blank"));
        QVERIFY(d.FolderTree1->SelectedFolder().isEmpty());
        d.cmdUpdate->click();
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/users/U_blank"))).at(14), QString());

        // A listed account whose file has gone: reported once, nothing loaded, no Update.
        load(QStringLiteral("gone"));
        QCOMPARE(f.doubles.errors->reports.size(), 1);
        QVERIFY(d.txtPassword->text().isEmpty());
        d.txtPassword->setText(QStringLiteral("pw"));
        d.cboSecurityGroup->setEditText(QStringLiteral("staff"));
        d.cmdUpdate->click();
        QVERIFY(!f.folder.exists(QStringLiteral("/users/U_gone")));
        f.doubles.errors->reports.clear();

        load(QStringLiteral(" ANONYMOUS "));
        QVERIFY(!d.cmdDelete->isEnabled());
        load(QStringLiteral("bob"));
        QVERIFY(d.cmdDelete->isEnabled());
        TakeBoxes(*f.doubles.messages);

        // The checks of Update, in order, each writing and logging nothing.
        const QByteArray bobFile = f.folder.read(QStringLiteral("/users/U_bob"));
        const QString invalidUser = QStringLiteral(
            "You must select a valid user!. If you want to create a new user then click on the Add User button.");
        struct Case {
            const char* user;
            const char* password;
            const char* group;
            QString box;
        };
        const Case cases[] = {
            {"bob", " ", "staff", ErrorBox(QStringLiteral("You must enter a user password."))},
            {"bob", "pw", "nosuch", ErrorBox(QStringLiteral("You must select a valid security group."))},
            {"nobody", "pw", "staff", ErrorBox(invalidUser)},
        };
        for (const Case& c : cases) {
            d.cboSelectUser->setEditText(QLatin1String(c.user));
            d.txtPassword->setText(QLatin1String(c.password));
            d.cboSecurityGroup->setEditText(QLatin1String(c.group));
            d.cmdUpdate->click();
            QCOMPARE(TakeBoxes(*f.doubles.messages), QStringList{c.box});
        }
        QCOMPARE(f.folder.read(QStringLiteral("/users/U_bob")), bobFile);
        QVERIFY(f.serverLogMessages().filter(QStringLiteral("updated")).size() == 1); // blank's

        load(QStringLiteral("bob"));
        d.cboSelectUser->setEditText(QStringLiteral(" BOB "));
        d.cboSecurityGroup->setEditText(QStringLiteral(" Staff "));
        d.txtAccountDescription->setPlainText(QStringLiteral("  kept as typed "));
        d.chkUseGroup->setChecked(false);
        d.cmdUpdate->click();
        QCOMPARE(TakeBoxes(*f.doubles.messages), QStringList());
        QCOMPARE(CrLfLines(f.folder.read(QStringLiteral("/users/U_bob"))),
                 accountLines(QStringLiteral("011111011"), QStringLiteral("BOB"), QStringLiteral("pw"),
                              QStringLiteral("  kept as typed "), QStringLiteral("bob@example.org"),
                              QStringLiteral("Staff"), root + QStringLiteral("/bob"), false));
        QCOMPARE(f.serverLogMessages().last(), QStringLiteral("User BOB updated."));

        // The name checked is the handed-over one that replaced the pick.
        ConsoleState::EditUserName = QStringLiteral("bo.b");
        load(QStringLiteral("bob"));
        QCOMPARE(TakeBoxes(*f.doubles.messages), QStringList{QStringLiteral("You must enter valid characters A-Z 0-9 _ @ # only|")
                                                             + ProgramTitle() + QStringLiteral("|0")});
        QCOMPARE(d.cboSecurityGroup->currentText(), QStringLiteral(" Staff ")); // nothing loaded

        // The hand-over stands for every pick and every return to the window, until Close.
        QWidget other;
        ConsoleState::EditUserName = QStringLiteral("bobby");
        QVERIFY(activate(&d));
        QCOMPARE(d.cboSelectUser->currentText(), QStringLiteral("bobby"));
        QCOMPARE(d.cboSecurityGroup->currentText(), QStringLiteral("public"));
        load(QStringLiteral("bob"));
        QCOMPARE(d.cboSelectUser->currentText(), QStringLiteral("bobby"));
        d.txtEmail->setText(QStringLiteral("changed"));
        QVERIFY(activate(&other));
        QVERIFY(activate(&d));
        QCOMPARE(d.txtEmail->text(), QStringLiteral("bobby@example.org"));
        SaveShot(d, QStringLiteral("frmEditUsers"));
        d.cmdOk->click();
        QVERIFY(ConsoleState::EditUserName.isEmpty());
        QVERIFY(TakeBoxes(*f.doubles.messages).isEmpty());
    }

    void deleteRemovesExactlyTheAccountsFiles()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::LoadConfig();
        InstalledSessions live;
        QVERIFY(WriteOpenGroup(QStringLiteral("staff"), f.folder.file(QStringLiteral("/root"))));
        for (const char* name : {"bob", "bobby", "Trend_bob"})
            writeAccount(account(QLatin1String(name), QStringLiteral("staff"), QString()));
        const QStringList suffixes{QStringLiteral(".Sent_File_Count.txt"),       QStringLiteral(".Sent_File_Size.txt"),
                                   QStringLiteral(".Received_File_Count.txt"),   QStringLiteral(".Received_File_Size.txt"),
                                   QStringLiteral(".Transfered_File_Count.txt"), QStringLiteral(".Transfered_File_Size.txt"),
                                   QStringLiteral(".Del_File_Count.txt"),        QStringLiteral(".Del_File_Size.txt")};
        QStringList bobs{QStringLiteral("users/U_bob"), QStringLiteral("logs/U_bob.txt"),
                         QStringLiteral("users/stats/Trend_bob.txt"), QStringLiteral("users/stats/Trend_User_Day_bob.20265.txt"),
                         QStringLiteral("users/stats/trend_user_day_BOB.2026343.txt")};
        for (const QString& s : suffixes)
            bobs.append(QStringLiteral("users/stats/bob") + s);
        const QStringList others{
            QStringLiteral("logs/U_bob_12-01-2026_10-00-00.txt"), QStringLiteral("logs/U_bobby.txt"),
            QStringLiteral("users/stats/Trend_bobby.txt"), QStringLiteral("users/stats/bobby.Sent_File_Count.txt"),
            QStringLiteral("users/stats/Trend_User_Day_bob.notes.txt"), QStringLiteral("users/stats/Trend_User_Day_bob.12.txt"),
            QStringLiteral("users/stats/Trend_Trend_bob.txt"), QStringLiteral("users/stats/Trend_bob.Sent_File_Count.txt"),
            QStringLiteral("logs/S_Log.txt")};
        for (const QString& file : bobs + others)
            if (!f.folder.exists(QLatin1Char('/') + file))
                f.folder.write(QLatin1Char('/') + file, "1\r\n");

        frmEditUsers d;
        // Names that name no listed account with a file: no question, nothing closed, removed or logged.
        QFile::remove(f.folder.file(QStringLiteral("/logs/S_Log.txt")));
        const QStringList all = fileNames(f);
        for (const char* text : {"*", "bo*", "nosuch", "../users/U_bob", " "}) {
            d.cboSelectUser->setEditText(QLatin1String(text));
            d.cmdDelete->click();
        }
        QVERIFY(f.doubles.messages->messages.empty());
        QVERIFY(live.sessions->closed.isEmpty());
        QCOMPARE(fileNames(f), all);

        // No keeps everything but refreshes the lists and the controls.
        f.doubles.messages->confirmAnswers = {false, true, true};
        d.cboSelectUser->setEditText(QStringLiteral(" bob "));
        d.cmdDelete->click();
        QCOMPARE(fileNames(f), all);
        QVERIFY(d.cboSelectUser->currentText().isEmpty());

        d.cboSelectUser->setEditText(QStringLiteral("Trend_bob"));
        d.cmdDelete->click();
        d.cboSelectUser->setEditText(QStringLiteral(" bob "));
        d.cmdDelete->click();
        QCOMPARE(TakeBoxes(*f.doubles.messages),
                 (QStringList{QStringLiteral("Delete User  bob ?|Delete User|4"),
                              QStringLiteral("Delete User Trend_bob?|Delete User|4"),
                              QStringLiteral("Delete User  bob ?|Delete User|4")}));
        QCOMPARE(live.sessions->closed, (QStringList{QStringLiteral("Trend_bob"), QStringLiteral("bob")}));
        QStringList left = all;
        for (const QString& file : bobs + QStringList{QStringLiteral("users/U_Trend_bob"),
                                                      QStringLiteral("users/stats/Trend_Trend_bob.txt"),
                                                      QStringLiteral("users/stats/Trend_bob.Sent_File_Count.txt")})
            left.removeAll(file);
        left.append(QStringLiteral("logs/S_Log.txt"));
        left.sort();
        QCOMPARE(fileNames(f), left);
        QCOMPARE(f.serverLogMessages(),
                 (QStringList{QStringLiteral("User Trend_bob deleted."), QStringLiteral("User  bob  deleted.")}));
        QCOMPARE(d.cboSelectUser->count(), 1);

        // Add User waits for the add user dialog, then lists what it made.
        f.onModalDialog(QStringLiteral("frmAddUser"), [](QDialog& dialog) {
            auto& add = static_cast<frmAddUser&>(dialog);
            add.txtUserID->setText(QStringLiteral("zed"));
            add.txtPassword->setText(QStringLiteral("pw"));
            add.cboSecurityGroup->setEditText(QStringLiteral("staff"));
            add.cmdAdd->click();
            add.Command2->click();
        });
        d.cmdAddUser->click();
        QCOMPARE(d.cboSelectUser->count(), 2);
        QVERIFY(f.folder.exists(QStringLiteral("/users/U_zed")));
        QVERIFY(d.cboSelectUser->currentText().isEmpty());
    }

    // A password typed into either account dialog is shown as asterisks, and
    // a description pasted in keeps to the length its account file can hold.
    void passwordsShowAsAsterisksAndDescriptionsFitTheirFile()
    {
        ConsoleFixture f;
        frmAddUser add;
        frmEditUsers edit;
        for (QDialog* d : {static_cast<QDialog*>(&add), static_cast<QDialog*>(&edit)}) {
            d->show();
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            auto* box = d->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
            QVERIFY(box);
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
            QCOMPARE(QApplication::focusWidget(), box);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pw1"));
            QCOMPARE(box->text(), QStringLiteral("pw1"));
            QCOMPARE(box->displayText(), QStringLiteral("***"));

            auto* description = d->findChild<QPlainTextEdit*>(QStringLiteral("txtAccountDescription"));
            QVERIFY(description);
            QTest::mouseClick(description->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(QApplication::focusWidget(), description);
            QApplication::clipboard()->setText(QStringLiteral("line\n").repeated(10000));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xy"));
            const QString stored = DialogText::StoredText(description->toPlainText());
            QCOMPARE(stored.size(), LineLimit::PlainField);
            QVERIFY(stored.startsWith(QStringLiteral("line\r\nline")));
            d->hide();
        }
    }

    void withTheEngineAddedUsersLogInAndDeletedOnesAreShutOut()
    {
        ConsoleFixture f;
        f.writeConfig();
        QVERIFY(WriteOpenGroup(QStringLiteral("staff"), f.folder.file(QStringLiteral("/root"))));
        frmMain& console = f.console();
        const quint16 port = Controls(console).FtpEngine1->BoundPort();
        QVERIFY(port > 0);

        console.Toolbar1_ButtonClick(8);
        frmAddUser* add = SingleInstance<frmAddUser>::Open();
        QVERIFY(add && add->isVisible());
        console.mnuAddUsers_Click();
        QCOMPARE(SingleInstance<frmAddUser>::Open(), add);
        add->txtUserID->setText(QStringLiteral("bob"));
        add->txtPassword->setText(QStringLiteral("secret"));
        add->cboSecurityGroup->setEditText(QStringLiteral("staff"));
        add->chkUseGroup->setChecked(false);
        add->FolderTree1->SetSelectedFolder(f.folder.file(QStringLiteral("/root")));
        add->cmdAdd->click();
        QVERIFY(f.folder.exists(QStringLiteral("/users/U_bob")));
        add->Command2->click();

        FtpScript client(port, QStringLiteral(
            "ftp = ftplib.FTP(); ftp.connect('127.0.0.1', port, timeout=20); ftp.login('bob', 'secret')\n"
            "print('in', flush=True)\n"
            "other = ftplib.FTP(); other.connect('127.0.0.1', port, timeout=20)\n"
            "print(other.sendcmd('USER  BOB ')[:3], flush=True)\n"
            "sys.stdin.readline()\n"
            "for s in (ftp, other):\n"
            "    try:\n"
            "        s.voidcmd('NOOP'); print('open')\n"
            "    except (EOFError, OSError, ftplib.Error):\n"
            "        print('closed')\n"
            "again = ftplib.FTP(); again.connect('127.0.0.1', port, timeout=20)\n"
            "try:\n"
            "    again.login('bob', 'secret'); print('logged in again')\n"
            "except (EOFError, OSError, ftplib.Error) as e:\n"
            "    print('refused', str(e)[:3])\n"));
        QVERIFY2(client.waitForLine(QStringLiteral("331")), qPrintable(client.output()));
        QCOMPARE(Controls(console).FtpEngine1->Sessions().Count(), 2);

        console.mnuEditUsers_Click();
        frmEditUsers* edit = SingleInstance<frmEditUsers>::Open();
        QVERIFY(edit && edit->isVisible());
        f.doubles.messages->confirmAnswers = {true};
        edit->cboSelectUser->setEditText(QStringLiteral("bob"));
        edit->cmdDelete->click();
        QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 0);
        QVERIFY(!f.folder.exists(QStringLiteral("/users/U_bob")));
        // The sessions ended before the files went: no log or trend of bob is written again.
        QVERIFY(!f.folder.exists(QStringLiteral("/logs/U_bob.txt")));
        QVERIFY(!f.folder.exists(QStringLiteral("/users/stats/Trend_bob.txt")));
        client.send("go");
        QVERIFY(client.waitForEnd());
        QCOMPARE(client.output().split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 (QStringList{QStringLiteral("in"), QStringLiteral("331"), QStringLiteral("closed"),
                              QStringLiteral("closed"), QStringLiteral("refused 530")}));
        edit->cmdOk->click();
    }
};

QTEST_MAIN(TestAccountDialogs)
#include "tst_accountdialogs.moc"

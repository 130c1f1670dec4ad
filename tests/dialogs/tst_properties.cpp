// The server properties dialog: what it shows, the round trip of the nine
// settings through Config.txt, the change checks, the 700-character limit,
// Cancel, a failed save and help.
#include "core/Config.h"
#include "core/ProcessState.h"
#include "dialogs/TextRules.h"
#include "dialogs/frmProperties.h"
#include "platform/FolderPicker.h"
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "tests/console/ConsoleFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

bool activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}

ModMain::ServerSettings reloaded()
{
    ModMain::ServerConfig = {};
    ModMain::LoadConfig();
    return ModMain::ServerConfig;
}

} // namespace

class TestProperties : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsWhatTheFileHolds()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")).Idle(QStringLiteral("7")));
        frmProperties d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Properties"));
        QCOMPARE(d.txtIP->text(), QStringLiteral("All Network Cards"));
        QCOMPARE(d.txtPort->text(), QStringLiteral("2121"));
        QCOMPARE(d.txtIDLE->text(), QStringLiteral("7"));
        QCOMPARE(d.txtGreeting->toPlainText(), QStringLiteral("Hello\nthere"));
        QCOMPARE(d.txtLoggedOn->toPlainText(), QStringLiteral("Welcome back"));
        QCOMPARE(d.chkPut0Byte->checkState(), Qt::Checked);
        QCOMPARE(d.chkAllowAnonymous->checkState(), Qt::Checked);
        QCOMPARE(d.chkStartServer->checkState(), Qt::Checked);
        QCOMPARE(d.FolderTree1->SelectedFolder(), f.folder.file("/root"));
        QCOMPARE(d.FolderTree1->HeaderCaption(), QStringLiteral("SERVER ROOT FOLDER"));
        QCOMPARE(d.FolderTree1->TreeRoot(), FolderPicker::MyComputer);
        QVERIFY(d.FmeServer->isVisibleTo(&d));
        QVERIFY(!d.FmeMessages->isVisibleTo(&d));
        QCOMPARE(d.FmeServer->title(), QStringLiteral("Server Configuration"));
        QCOMPARE(d.TabStrip1->tabText(0), QStringLiteral("Server"));
        QCOMPARE(d.TabStrip1->tabToolTip(1), QStringLiteral("Define Messages"));
        QCOMPARE(d.cmdOk->text(), QStringLiteral("&Ok"));
        QVERIFY(!d.cmdOk->autoDefault());
        QCOMPARE(d.txtPort->toolTip(), QStringLiteral("Listening Port 1-32767"));
        QVERIFY(f.doubles.messages->messages.empty());

        d.TabStrip1->setCurrentIndex(1);
        QVERIFY(d.FmeMessages->isVisibleTo(&d));
        QVERIFY(!d.FmeServer->isVisibleTo(&d));
        d.TabStrip1->setCurrentIndex(0);
        QVERIFY(d.FmeServer->isVisibleTo(&d));
    }

    void theNineSettingsRoundTrip()
    {
        ConsoleFixture f;
        // The console's rows, without a console.
        InstallConsoleLogProvider([&f] { return &f.doubles.consoleLog; });
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        const QString other = f.folder.file(QStringLiteral("/served"));
        QDir().mkpath(other);
        {
            frmProperties d;
            d.txtIP->setText(QStringLiteral("  10.1.2.3 "));
            d.txtPort->setText(QStringLiteral(" 2121 "));
            d.txtIDLE->setText(QStringLiteral("12 "));
            d.FolderTree1->SetSelectedFolder(other);
            d.txtGreeting->setPlainText(QStringLiteral("  Welcome aboard\n\n  indented line\nlast  "));
            d.txtLoggedOn->setPlainText(QStringLiteral("Mind the gap"));
            d.chkPut0Byte->setCheckState(Qt::Unchecked);
            d.chkAllowAnonymous->setTristate(true);
            d.chkAllowAnonymous->setCheckState(Qt::PartiallyChecked); // grey counts as not set
            d.chkStartServer->setCheckState(Qt::Checked);
            d.cmdOk->click();
            QCOMPARE(d.result(), int(QDialog::Accepted));
        }
        QVERIFY(f.doubles.messages->messages.empty());
        const ModMain::ServerSettings s = reloaded();
        QCOMPARE(s.IP, QStringLiteral("10.1.2.3"));
        QCOMPARE(s.Port, QStringLiteral("2121"));
        QCOMPARE(s.IdleTimeout, QStringLiteral("12 "));
        QCOMPARE(s.ServerRoot, other);
        QCOMPARE(s.Greeting, QStringLiteral("Welcome aboard\r\n\r\n  indented line\r\nlast "));
        QCOMPARE(s.LoggedOnMessage, QStringLiteral("Mind the gap "));
        QVERIFY(!s.Put0Byte);
        QVERIFY(!s.AllowAnonymous);
        QVERIFY(s.StartServer);
        QVERIFY(f.serverLogMessages().contains(QStringLiteral("Properties updated.")));
        QCOMPARE(f.doubles.consoleLog.rows.size(), 1);
        QVERIFY(f.doubles.consoleLog.rows.first().endsWith(QStringLiteral("\nserver\nserver\nProperties updated.")));

        // Shown again, the dialog shows the file; saving again changes nothing.
        frmProperties again;
        QCOMPARE(again.txtGreeting->toPlainText(), QStringLiteral("Welcome aboard\n\n  indented line\nlast "));
        QCOMPARE(again.txtIP->text(), QStringLiteral("All Network Cards"));
        QCOMPARE(again.chkAllowAnonymous->checkState(), Qt::Unchecked);
        again.txtIP->setText(QStringLiteral("10.1.2.3"));
        const QByteArray before = f.folder.read(QStringLiteral("/Config.txt"));
        again.cmdOk->click();
        QCOMPARE(f.folder.read(QStringLiteral("/Config.txt")), before);
    }

    // Each switch clicked on and off, saved with Ok and read back from Config.txt.
    void eachSwitchIsSavedBothWays()
    {
        ConsoleFixture f;
        using S = ModMain::ServerSettings;
        const std::pair<QCheckBox* frmProperties::*, bool S::*> switches[] = {
            {&frmProperties::chkPut0Byte, &S::Put0Byte},
            {&frmProperties::chkAllowAnonymous, &S::AllowAnonymous},
            {&frmProperties::chkStartServer, &S::StartServer}};
        for (const auto& [box, clicked] : switches)
            for (const bool on : {true, false}) {
                f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
                ModMain::LoadConfig();
                for (const auto& s : switches)
                    ModMain::ServerConfig.*s.second = !on;
                QVERIFY(ModMain::SaveConfig());
                frmProperties d;
                QVERIFY(activate(&d));
                QTest::mouseClick(d.*box, Qt::LeftButton, {}, QPoint(5, (d.*box)->height() / 2)); // the tick box
                QTest::mouseClick(d.cmdOk, Qt::LeftButton);
                const S saved = reloaded();
                for (const auto& s : switches)
                    QCOMPARE(saved.*s.second, s.second == clicked ? on : !on); // the others as they were
            }
    }

    void emptyTextsOnOk()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        frmProperties d;
        d.txtIP->clear();
        d.txtGreeting->clear();
        d.txtLoggedOn->setPlainText(QStringLiteral("   "));
        d.cmdOk->click();
        const ModMain::ServerSettings s = reloaded();
        QCOMPARE(s.IP, QStringLiteral("127.0.0.1"));
        QCOMPARE(s.Greeting, QStringLiteral(" "));
        QCOMPARE(s.LoggedOnMessage, QStringLiteral(" "));
    }

    void cancelStoresNothing()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        const QByteArray before = f.folder.read(QStringLiteral("/Config.txt"));
        frmProperties d;
        d.txtPort->setText(QStringLiteral("2222"));
        d.cmdCancel->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(f.folder.read(QStringLiteral("/Config.txt")), before);
        QVERIFY(f.serverLogMessages().isEmpty());
    }

    void portAndIdleChecks()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        frmProperties d;
        const auto last = [&f] { return f.doubles.messages->messages.back(); };

        d.txtPort->setText(QStringLiteral("0"));
        QCOMPARE(last().text, QStringLiteral("Please use a value between 1 and 32767"));
        QCOMPARE(last().title, QStringLiteral("Error"));
        QCOMPARE(last().icon, MessageIcon::Critical);
        QCOMPARE(d.txtPort->text(), QStringLiteral("0"));
        d.txtPort->setText(QStringLiteral("32768"));
        QCOMPARE(f.doubles.messages->messages.size(), std::size_t(2));
        d.txtPort->setText(QStringLiteral("32767"));
        d.txtPort->clear(); // an empty port becomes 1, silently
        QCOMPARE(d.txtPort->text(), QStringLiteral("1"));
        QCOMPARE(f.doubles.messages->messages.size(), std::size_t(2));

        d.txtIDLE->setText(QStringLiteral("501"));
        QCOMPARE(last().text, QStringLiteral("Please use a value between 0 and 500 minutes"));
        d.txtIDLE->setText(QStringLiteral("500"));
        d.txtIDLE->clear();
        QCOMPARE(d.txtIDLE->text(), QStringLiteral("0"));
        QCOMPARE(f.doubles.messages->messages.size(), std::size_t(3));

        // Characters outside the allowed set: the name check speaks.
        d.txtIDLE->setText(QStringLiteral("-5"));
        QCOMPARE(last().text, QStringLiteral("You must enter valid characters A-Z 0-9 _ @ # only"));
        QCOMPARE(d.txtIDLE->text(), QStringLiteral("-5"));
        // Allowed characters that make no number: reported, the text stays.
        d.txtPort->setText(QStringLiteral("2x1"));
        QCOMPARE(f.doubles.errors->reports,
                 QStringList({"Type mismatch\nin Quayport.frmProperties.txtPort_Change at line 3"}));
        QCOMPARE(d.txtPort->text(), QStringLiteral("2x1"));

        // Ok checks nothing: what the checks complained about is stored.
        d.txtPort->setText(QStringLiteral("0"));
        d.txtIDLE->setText(QStringLiteral("900"));
        d.cmdOk->click();
        QCOMPARE(reloaded().Port, QStringLiteral("0"));
        QCOMPARE(ModMain::ServerConfig.IdleTimeout, QStringLiteral("900"));
    }

    void anOutOfRangeFileSpeaksWhileOpening()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("40000")));
        frmProperties d;
        QCOMPARE(f.doubles.messages->texts(), QStringList({"Please use a value between 1 and 32767"}));
        QCOMPARE(d.txtPort->text(), QStringLiteral("40000"));
    }

    void messagesAreLimitedTo700Characters()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        frmProperties d;
        d.TabStrip1->setCurrentIndex(1);
        QVERIFY(activate(&d));

        d.txtGreeting->setFocus();
        QTRY_VERIFY(d.txtGreeting->hasFocus());
        d.txtGreeting->setPlainText(QString(701, QLatin1Char('g')));
        d.txtLoggedOn->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.doubles.messages->texts(),
                 QStringList({"You have entered 701 characters. You are unable to exceed 700 characters."}));
        QCOMPARE(f.doubles.messages->messages.back().icon, MessageIcon::None);
        QCOMPARE(d.txtGreeting->toPlainText(), QString(700, QLatin1Char('g')));
        QTRY_VERIFY(d.txtGreeting->hasFocus());

        // A line break counts as two; exactly 700 passes silently.
        const QString lines = (QString(98, QLatin1Char('x')) + QLatin1Char('\n')).repeated(7);
        QCOMPARE(DialogText::StoredText(lines).size(), 700);
        d.txtLoggedOn->setPlainText(lines);
        d.txtLoggedOn_LostFocus();
        QCOMPARE(f.doubles.messages->messages.size(), std::size_t(1));
        d.txtLoggedOn->setPlainText(lines + QLatin1Char('y'));
        d.txtLoggedOn_LostFocus();
        QCOMPARE(f.doubles.messages->messages.back().text,
                 QStringLiteral("You have entered 701 characters. You are unable to exceed 700 characters."));
        QCOMPARE(d.txtLoggedOn->toPlainText(), lines);
    }

    void aFailedSaveKeepsTheDialogOpen()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        frmProperties d;
        QVERIFY(activate(&d));
        // A folder where the file should be: no one can write it, root included.
        QVERIFY(QFile::remove(f.folder.file(QStringLiteral("/Config.txt"))));
        QVERIFY(QDir().mkpath(f.folder.file(QStringLiteral("/Config.txt"))));
        d.txtPort->setText(QStringLiteral("2121"));
        d.cmdOk->click();
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), 0);
        QCOMPARE(f.doubles.messages->messages.back().text,
                 QStringLiteral("Unable to write configuration information to disk. Err = "));
        QCOMPARE(f.doubles.messages->messages.front().title, QStringLiteral("Failed to Write Configuration!"));
        QCOMPARE(ModMain::ServerConfig.Port, QStringLiteral("2121")); // already taken from the dialog
        QVERIFY(!f.serverLogMessages().contains(QStringLiteral("Properties updated.")));
        d.cmdCancel->click();
        QVERIFY(!d.isVisible());
    }

    void textThatCannotBeStoredIsRefusedAndNothingWritten_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("what");
        QTest::newRow("root") << "FolderTree1" << "The folder";
        QTest::newRow("greeting") << "txtGreeting" << "The greeting";
        QTest::newRow("logged-on text") << "txtLoggedOn" << "The message";
    }
    void textThatCannotBeStoredIsRefusedAndNothingWritten()
    {
        QFETCH(QString, control);
        QFETCH(QString, what);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        const QByteArray before = f.folder.read(QStringLiteral("/Config.txt"));
        frmProperties d;
        QVERIFY(activate(&d));
        const ModMain::ServerSettings loaded = ModMain::ServerConfig;
        // A Greek letter has no byte in the files' code page; "?" would be stored instead.
        const QString delta = QStringLiteral("\u03b4");
        QString text = f.folder.file(QStringLiteral("/z")) + delta;
        if (control == QLatin1String("FolderTree1")) {
            QVERIFY(QDir().mkpath(text));
            d.FolderTree1->SetSelectedFolder(text);
        } else {
            text = QStringLiteral("Hello z") + delta;
            d.TabStrip1->setCurrentIndex(1);
            auto* box = d.findChild<QPlainTextEdit*>(control);
            box->clear();
            box->setFocus();
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Hello z"));
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, delta, Qt::NoModifier);
            QCOMPARE(box->toPlainText(), text);
        }
        f.doubles.messages->messages.clear();
        QTest::mouseClick(d.cmdOk, Qt::LeftButton);
        QCOMPARE(f.doubles.messages->texts(),
                 QStringList{what + QStringLiteral(" \"") + text
                             + QStringLiteral("\" has characters that cannot be stored. Please choose another.")});
        QCOMPARE(f.doubles.messages->messages.back().title, QStringLiteral("Error"));
        QVERIFY(d.isVisible());
        QCOMPARE(f.folder.read(QStringLiteral("/Config.txt")), before);
        QVERIFY(f.serverLogMessages().isEmpty());
        QCOMPARE(ModMain::ServerConfig.ServerRoot, loaded.ServerRoot);
        QCOMPARE(ModMain::ServerConfig.Greeting, loaded.Greeting);
        QCOMPARE(ModMain::ServerConfig.LoggedOnMessage, loaded.LoggedOnMessage);
        QCOMPARE(ModMain::ServerConfig.Port, loaded.Port);
    }

    void helpShowsTopic70()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        frmProperties d;
        d.cmdHelp->click();
        HelpViewer* help = SingleInstance<HelpViewer>::Open();
        QVERIFY(help);
        QCOMPARE(help->Anchor(), QStringLiteral("topic-70"));
        help->close();
    }

    void aFailingHandlerIsReportedAndTheDialogGoesOn()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        // A box that cannot be shown fails inside the handler that shows it.
        struct FailingBoxes : ScriptedMessageService {
            void message(const QString&, const QString&, MessageIcon) override { throw std::runtime_error("No boxes"); }
        };
        const auto old = InstallMessageService(std::make_shared<FailingBoxes>());
        frmProperties d;
        d.txtPort->setText(QStringLiteral("0"));
        d.txtIDLE->setText(QStringLiteral("501"));
        InstallMessageService(old);
        QCOMPARE(f.doubles.errors->reports,
                 QStringList({QStringLiteral("No boxes\nin Quayport.frmProperties.txtPort_Change at line 0"),
                              QStringLiteral("No boxes\nin Quayport.frmProperties.txtIDLE_Change at line 0")}));
        QCOMPARE(d.txtPort->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestProperties)
#include "tst_properties.moc"

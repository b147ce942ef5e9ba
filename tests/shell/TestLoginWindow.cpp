#include "db/DataModule.h"
#include "shell/LoginWindow.h"
#include "shell/VersionCheck.h"
#include "shell/VersionWatch.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace tabel;

Q_DECLARE_METATYPE(tabel::AccessLevel)

namespace {
// Remembers the caption the login window had when each message appeared.
class CaptionRecorder : public Messages
{
public:
    explicit CaptionRecorder(const QWidget& window) : m_window(window) {}
    MessageAnswer show(const Message& message) override
    {
        texts << message.text;
        captions << m_window.windowTitle();
        return MessageAnswer::Ok;
    }
    QStringList texts;
    QStringList captions;

private:
    const QWidget& m_window;
};
} // namespace

class TestLoginWindow : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<LoginWindow> m_window;

    void typeAndEnter(const QString& word)
    {
        m_window->passwordBox()->clear();
        QTest::keyClicks(m_window->passwordBox(), word);
        QTest::mouseClick(m_window->enterButton(), Qt::LeftButton);
    }

private slots:
    void initTestCase() { qRegisterMetaType<tabel::AccessLevel>(); }
    void init()
    {
        startCase();
        m_window = std::make_unique<LoginWindow>(m_messages);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        finishCase();
        m_window.reset();
    }

    void windowLayout()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("TForm23"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Авторизация"));
        QCOMPARE(m_window->size(), QSize(330, 44));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        const QPoint screenCentre = m_window->screen()->availableGeometry().center();
        QVERIFY(qAbs(m_window->geometry().center().x() - screenCentre.x()) <= 1);
        QVERIFY(qAbs(m_window->geometry().center().y() - screenCentre.y()) <= 1);

        QLineEdit* box = m_window->passwordBox();
        QCOMPARE(box->width(), 121);
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        QVERIFY(!box->accessibleName().isEmpty());
        QLabel* label = m_window->findChild<QLabel*>();
        QVERIFY(label);
        QCOMPARE(label->buddy(), box);

        QCOMPARE(m_window->enterButton()->text(), QStringLiteral("Вход"));
        QVERIFY(m_window->enterButton()->isDefault());
        QCOMPARE(m_window->cancelButton()->text(), QStringLiteral("Отмена"));

        // Everything fits the small window and nothing covers anything else.
        const QList<QWidget*> controls{label, box, m_window->enterButton(), m_window->cancelButton()};
        for (int i = 0; i < controls.size(); ++i) {
            QVERIFY2(m_window->rect().contains(controls[i]->geometry()),
                     qPrintable(controls[i]->objectName()));
            for (int j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
        }
    }

    void typedTextIsMasked()
    {
        QTest::keyClicks(m_window->passwordBox(), QStringLiteral("sklad"));
        QCOMPARE(m_window->passwordBox()->text(), QStringLiteral("sklad"));
        QCOMPARE(m_window->passwordBox()->displayText(), QStringLiteral("*****"));
    }

    void loginWord_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<AccessLevel>("level");
        QTest::addColumn<QString>("loginName");
        QTest::newRow("econom") << "econom" << true << AccessLevel::Econom << "econom";
        QTest::newRow("masters") << "masters" << true << AccessLevel::Masters << "masters";
        QTest::newRow("sklad") << "sklad" << true << AccessLevel::Sklad << "sklad";
        QTest::newRow("sklad between blanks") << "  sklad " << true << AccessLevel::Sklad << "sklad";
        QTest::newRow("full-access password") << "73516280" << true << AccessLevel::Full << "73516280";
        QTest::newRow("capital letter") << "Sklad" << false << AccessLevel::Sklad << "";
        QTest::newRow("empty") << "" << false << AccessLevel::Full << "";
        QTest::newRow("blanks only") << "   " << false << AccessLevel::Full << "";
        QTest::newRow("password short of a digit") << "7351628" << false << AccessLevel::Full << "";
        QTest::newRow("unknown word") << "xyz" << false << AccessLevel::Full << "";
    }
    void loginWord()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(AccessLevel, level);
        QFETCH(QString, loginName);
        QSignalSpy loggedIn(m_window.get(), &LoginWindow::loggedIn);
        typeAndEnter(typed);
        QVERIFY(m_window->isVisible());
        if (accepted) {
            QVERIFY(m_messages.shown().isEmpty());
            QCOMPARE(loggedIn.size(), 1);
            QCOMPARE(loggedIn.first().at(0).value<AccessLevel>(), level);
            QCOMPARE(loggedIn.first().at(1).toString(), loginName);
        } else {
            QCOMPARE(loggedIn.size(), 0);
            QCOMPARE(m_messages.shown().size(), 1);
            const Message& shown = m_messages.shown().first();
            QCOMPARE(shown.text, QStringLiteral("Введены неверные данные."));
            QCOMPARE(shown.caption, QStringLiteral("Ошибка"));
            QCOMPARE(shown.icon, MessageIcon::Error);
            QCOMPARE(shown.buttons, MessageButtons::Ok);
        }
    }

    void retryAfterRefusal()
    {
        QSignalSpy loggedIn(m_window.get(), &LoginWindow::loggedIn);
        QLineEdit* box = m_window->passwordBox();
        QTest::keyClicks(box, QStringLiteral("Masters"));
        QTest::keyClick(box, Qt::Key_Return);
        // The refused word is selected: typing the next one replaces it.
        QTest::keyClicks(box, QStringLiteral("masters"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(m_messages.shown().size(), 1);
        QCOMPARE(loggedIn.size(), 1);
        QCOMPARE(loggedIn.first().at(0).value<AccessLevel>(), AccessLevel::Masters);
    }

    void enterKeyInTheBoxLogsIn_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Enter") << Qt::Key_Return;
        QTest::newRow("keypad Enter") << Qt::Key_Enter;
    }
    void enterKeyInTheBoxLogsIn()
    {
        QFETCH(Qt::Key, key);
        QSignalSpy loggedIn(m_window.get(), &LoginWindow::loggedIn);
        QTest::keyClicks(m_window->passwordBox(), QStringLiteral("masters"));
        QTest::keyClick(m_window->passwordBox(), key);
        QCOMPARE(loggedIn.size(), 1);
        QCOMPARE(loggedIn.first().at(0).value<AccessLevel>(), AccessLevel::Masters);
        QCOMPARE(loggedIn.first().at(1).toString(), QStringLiteral("masters"));
    }

    void closingRejects_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("Отмена") << "cancel";
        QTest::newRow("close box") << "close";
    }
    void closingRejects()
    {
        QFETCH(QString, how);
        QSignalSpy rejected(m_window.get(), &QDialog::rejected);
        QSignalSpy loggedIn(m_window.get(), &LoginWindow::loggedIn);
        QTest::keyClicks(m_window->passwordBox(), QStringLiteral("econom"));
        if (how == QLatin1String("Esc"))
            QTest::keyClick(m_window->passwordBox(), Qt::Key_Escape);
        else if (how == QLatin1String("cancel"))
            QTest::mouseClick(m_window->cancelButton(), Qt::LeftButton);
        else
            m_window->close();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(rejected.size(), 1);
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
        QCOMPARE(loggedIn.size(), 0);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void activatedAtEveryShow()
    {
        QSignalSpy activated(m_window.get(), &LoginWindow::activated);
        m_window->hide();
        m_window->show();
        QCOMPARE(activated.size(), 1);
        m_window->modalWindowClosed();
        QCOMPARE(activated.size(), 2);
        m_window->hide();
        m_window->modalWindowClosed();
        QCOMPARE(activated.size(), 2);
        m_window->show();
        QCOMPARE(activated.size(), 3);
    }

    void captionShowsBuild_data()
    {
        QTest::addColumn<int>("date");
        QTest::addColumn<int>("time");
        QTest::addColumn<QString>("caption");
        QTest::newRow("example") << 20230829 << 40333 << "Авторизация (build: 20230829.40333)";
        QTest::newRow("no padding") << 20240309 << 7 << "Авторизация (build: 20240309.7)";
    }
    void captionShowsBuild()
    {
        QFETCH(int, date);
        QFETCH(int, time);
        QFETCH(QString, caption);
        m_window->setBuildStamp({date, time});
        QCOMPARE(m_window->windowTitle(), caption);
        // Wide enough for the whole caption in a title bar's bold face, beside its buttons.
        QFont bold = m_window->font();
        bold.setBold(true);
        QVERIFY(m_window->width() >=
                QFontMetrics(bold).horizontalAdvance(caption) + LoginWindow::titleBarRoom);
        QCOMPARE(m_window->height(), 44);
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    }

    // The application wiring: each activation checks the version, then shows the build.
    void activationChecksVersionThenCaption_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("mismatch");
        QTest::newRow("older row: moved forward")
            << "insert into accounts_dep.ver values (20230829, 40000, '.')" << false;
        QTest::newRow("newer row: process ends")
            << "insert into accounts_dep.ver values (20230830, 100, '.')" << true;
    }
    void activationChecksVersionThenCaption()
    {
        QFETCH(QString, row);
        QFETCH(bool, mismatch);
        TestDatabase db(QStringLiteral("login"));
        db.run(QStringLiteral("delete from accounts_dep.ver"));
        db.run(row);
        ScriptedMessages moduleMessages;
        DataModule module(db.database());
        VersionCheck check(db.database(), module, {20230829, 40333});

        m_window.reset();
        int terminations = 0;
        LoginWindow window(m_messages);
        CaptionRecorder messages(window);
        VersionWatch watch(check, messages, db.database(), 5000, [&] { ++terminations; });
        window.followVersion(watch);

        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Авторизация (build: 20230829.40333)"));
        QCOMPARE(terminations, mismatch ? 1 : 0);
        QCOMPARE(db.count(QStringLiteral(
                     "select count(*) from accounts_dep.ver where d = 20230829 and t = 40333")),
                 mismatch ? 0 : 1);
        if (mismatch) {
            QCOMPARE(messages.texts.size(), 1);
            // The caption waits for the check: it was not yet set when the message appeared.
            QCOMPARE(messages.captions, QStringList{"Авторизация"});
        } else {
            QVERIFY(messages.texts.isEmpty());
        }
        QVERIFY(m_messages.shown().isEmpty());
    }
};

TABEL_GUI_TEST_MAIN(TestLoginWindow)
#include "TestLoginWindow.moc"

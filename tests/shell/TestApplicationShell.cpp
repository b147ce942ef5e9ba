#include "common/Clock.h"
#include "production_log/MainLogWindow.h"
#include "shell/ApplicationShell.h"
#include "shell/LoginWindow.h"
#include "support/Actions.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tabel;

namespace {
const QDate today(2024, 3, 5);
const BuildStamp build{20240301, 3600};
} // namespace

class TestApplicationShell : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    FixedClock m_clock{today};

    QStringList arguments() const { return {m_db->settings().database, m_db->settings().host}; }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("shell"));
        m_db->run(QStringLiteral(
            "delete from accounts_dep.ver; insert into accounts_dep.ver (d, t, delim) values (20230101, 5, "
            "'.');"
            "insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1');"
            "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) "
            "values (10, 'А-100', '', 6, 1);"
            "insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка');"
            "insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0);"
            "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
            "ok) "
            "values (1, 10, 100, 2.5, 10, 0, '2024-03-05', 1, 0, 4, 'no'),"
            "       (1, 10, 100, 2.5, 10, 0, '2024-03-05', 1, 0, 4, 'ta');"));
        startCase();
    }
    void cleanup()
    {
        finishCase();
        m_db.reset();
    }

    void qtOwnTextsAreRussian()
    {
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&Нет"));
        QCOMPARE(QLocale().standaloneMonthName(1), QStringLiteral("январь"));
        QCOMPARE(QLocale().toString(2.5), QStringLiteral("2,5"));
    }

    void unreachableDatabaseEndsWithOneMessage()
    {
        ApplicationShell shell(m_messages, m_clock, build, {});
        QVERIFY(!shell.start({QStringLiteral("kelvo_erp"), QStringLiteral("/nonexistent/folder")}));
        QCOMPARE(m_messages.texts(), QStringList{"Подключение к БД отсутсвует!!!"});
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
    }

    void startShowsLoginWithBuildAndMovesVersionForward()
    {
        ApplicationShell shell(m_messages, m_clock, build, {});
        QVERIFY(shell.start(arguments()));
        QVERIFY(shell.loginWindow().isVisible());
        QVERIFY(!shell.mainWindow().isVisible());
        QCOMPARE(shell.loginWindow().windowTitle(), QStringLiteral("Авторизация (build: 20240301.3600)"));
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.ver where d=20240301 and t=3600")),
            1);
        QCOMPARE(shell.dataModule().databaseDecimalSeparator(), QStringLiteral("."));
        QVERIFY(m_messages.shown().isEmpty());
    }

    void loginShowsTodaysFirstShiftAndClosingEndsTheWork()
    {
        ApplicationShell shell(m_messages, m_clock, build, {});
        QVERIFY(shell.start(arguments()));
        QSignalSpy finished(&shell, &ApplicationShell::finished);
        bool inspected = false;
        QTimer::singleShot(0, this, [&] {
            MainLogWindow& main = shell.mainWindow();
            inspected = true;
            QVERIFY(main.isVisible());
            QVERIFY(main.isModal());
            QVERIFY(!shell.loginWindow().isVisible());
            QCOMPARE(main.loginName(), QStringLiteral("sklad"));
            QCOMPARE(main.currentShift(), 1);
            QCOMPARE(main.workingDay().date, today);
            QCOMPARE(main.currentList().rowCount(), 1); // the "ta" record stays hidden
            QCOMPARE(shell.reportsAccess().forcedProductKind, std::optional<int>(1));
            main.reject();
        });
        QLineEdit* box = shell.loginWindow().passwordBox();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("  sklad "));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(inspected);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!shell.loginWindow().isVisible());
        QVERIFY(m_messages.shown().isEmpty());
    }

    void referenceMenuOpensWorkersInEditMode()
    {
        ApplicationShell shell(m_messages, m_clock, build, {});
        QVERIFY(shell.start(arguments()));
        ModalDriver driver;
        QString listCaption;
        driver.onNextModal([&](QWidget* main) {
            driver.onNextModal(
                [&](QWidget* list) {
                    listCaption = list->windowTitle();
                    QVERIFY(shell.dataModule().workers().isOpen());
                    QCOMPARE(shell.dataModule().workers().rowCount(), 1);
                    static_cast<QDialog*>(list)->reject();
                },
                main);
            QVERIFY(triggerAction(*main, QStringLiteral("workersAction")));
            QVERIFY(!shell.dataModule().workers().isOpen());
            static_cast<QDialog*>(main)->reject();
        });
        QLineEdit* box = shell.loginWindow().passwordBox();
        QTest::keyClicks(box, QStringLiteral("73516280"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(listCaption, QStringLiteral("Список рабочих"));
        QVERIFY(!driver.failed());
    }

    void importKeyAsksOnlyWithFullAccess_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("asks");
        QTest::newRow("full access") << "73516280" << true;
        QTest::newRow("masters") << "masters" << false;
        QTest::newRow("econom") << "econom" << false;
    }
    void importKeyAsksOnlyWithFullAccess()
    {
        QFETCH(QString, word);
        QFETCH(bool, asks);
        ApplicationShell shell(m_messages, m_clock, build, {});
        QVERIFY(shell.start(arguments()));
        if (asks)
            m_messages.answerNext(MessageAnswer::No);
        ModalDriver driver;
        driver.onNextModal([&](QWidget* main) {
            QApplication::setActiveWindow(main);
            QTest::keyClick(main, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
            static_cast<QDialog*>(main)->reject();
        });
        QLineEdit* box = shell.loginWindow().passwordBox();
        QTest::keyClicks(box, word);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(!driver.failed());
        if (asks) {
            QCOMPARE(m_messages.shown().size(), 1);
            QCOMPARE(m_messages.shown().first().caption, QStringLiteral("Импорт"));
            QVERIFY(m_messages.shown().first().text.startsWith(
                QStringLiteral("Импорт заменит содержимое таблиц:")));
        } else {
            QVERIFY(m_messages.shown().isEmpty());
        }
    }

    void wrongWordKeepsLoginWaiting()
    {
        ApplicationShell shell(m_messages, m_clock, build, {});
        QVERIFY(shell.start(arguments()));
        QSignalSpy finished(&shell, &ApplicationShell::finished);
        QLineEdit* box = shell.loginWindow().passwordBox();
        QTest::keyClicks(box, QStringLiteral("Sklad"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(m_messages.texts(), QStringList{"Введены неверные данные."});
        QVERIFY(shell.loginWindow().isVisible());
        QVERIFY(!shell.mainWindow().isVisible());
        QCOMPARE(finished.count(), 0);
        shell.loginWindow().close();
        QCOMPARE(finished.count(), 1);
    }
};

TABEL_GUI_TEST_MAIN(TestApplicationShell)
#include "TestApplicationShell.moc"

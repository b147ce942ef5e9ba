#include "db/DataModule.h"
#include "legacy_import/ImportProgressDialog.h"
#include "legacy_import/LegacyFixture.h"
#include "legacy_import/LegacyImportCommand.h"
#include "shell/VersionCheck.h"
#include "shell/VersionWatch.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace tabel;

class TestLegacyImportCommand : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<LegacyFixture> m_fixture;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<LegacyImportCommand> m_command;

    QList<int> timesheetIds() { return m_fixture->targetIds(QStringLiteral("accounts_dep.h_tabel")); }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("importcommand"));
        m_fixture = std::make_unique<LegacyFixture>(*m_db);
        m_fixture->seedTargets();
        m_fixture->fillSmallSource();
        startCase(&m_db->database());
        m_main = std::make_unique<QWidget>();
        m_main->show();
        m_command = std::make_unique<LegacyImportCommand>(m_db->database(), m_messages, m_main.get());
    }
    void cleanup()
    {
        finishCase();
        m_command.reset();
        m_main.reset();
        m_fixture.reset();
        m_db.reset();
    }

    void noAnswerLeavesEveryTableAlone()
    {
        m_messages.answerNext(MessageAnswer::No);
        m_command->start();
        QCOMPARE(m_messages.shown().size(), 1);
        const Message question = m_messages.shown().first();
        QCOMPARE(question.caption, QStringLiteral("Импорт"));
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        for (const char* table :
             {"accounts_dep.h_tabel", "accounts_dep.izdel", "accounts_dep.nomenkl", "accounts_dep.oper",
              "accounts_dep.vid_oper", "accounts_dep.workers", "accounts_dep.smena"})
            QVERIFY2(question.text.contains(QLatin1String(table)), table);
        QCOMPARE(timesheetIds(), (QList<int>{-3, 0, 5}));
    }

    void progressIsModalAndTheEndTellsTheRows()
    {
        QStringList texts;
        bool modal = true;
        ImportProgressDialog& dialog = m_command->progressDialog();
        connect(&dialog, &ImportProgressDialog::progressShown, this, [&](const QString& text) {
            texts.append(text);
            modal = modal && dialog.isVisible() && QApplication::activeModalWidget() == &dialog;
        });
        m_messages.answerNext(MessageAnswer::Yes);
        m_command->start();
        QVERIFY(modal);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Импорт"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(texts.first(), QStringLiteral("H_TABEL: 1 из 3 записей"));
        QCOMPARE(texts.last(), QStringLiteral("smena: 3 из 3 записей"));
        QCOMPARE(m_messages.shown().size(), 2);
        const Message end = m_messages.shown().last();
        QCOMPARE(end.caption, QStringLiteral("Импорт"));
        QCOMPARE(end.text,
                 QStringLiteral("Импорт завершён.\nПолучено записей:\n"
                                "accounts_dep.h_tabel — записей: 3\naccounts_dep.izdel — записей: 2\n"
                                "accounts_dep.nomenkl — записей: 3\naccounts_dep.oper — записей: 3\n"
                                "accounts_dep.vid_oper — записей: 2\naccounts_dep.workers — записей: 2\n"
                                "accounts_dep.smena — записей: 3"));
    }

    void cancelButtonStopsAndRollsTheStepBack()
    {
        ImportProgressDialog& dialog = m_command->progressDialog();
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"));
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Отмена"));
        connect(&dialog, &ImportProgressDialog::progressShown, this, [&] {
            if (cancel->isEnabled())
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        m_messages.answerNext(MessageAnswer::Yes);
        m_command->start();
        QCOMPARE(m_messages.shown().last().text,
                 QStringLiteral("Импорт отменён на шаге 1 (H_TABEL → accounts_dep.h_tabel). Таблица "
                                "accounts_dep.h_tabel оставлена как была."));
        QCOMPARE(timesheetIds(), (QList<int>{-3, 0, 5}));
    }

    void failureIsReportedWithTheServersText()
    {
        m_fixture->legacyRun(QStringLiteral("update OPER set NAIMEN = 70000 where ID = 2"));
        m_messages.answerNext(MessageAnswer::Yes);
        m_command->start();
        const Message report = m_messages.shown().last();
        QCOMPARE(report.caption, QStringLiteral("Ошибка"));
        QCOMPARE(report.icon, MessageIcon::Error);
        QVERIFY2(report.text.startsWith(
                     QStringLiteral("Импорт остановлен на шаге 4 из 7 (OPER → accounts_dep.oper)")),
                 qPrintable(report.text));
        QVERIFY2(report.text.endsWith(QStringLiteral("accounts_dep.nomenkl — записей: 3")),
                 qPrintable(report.text));
        QVERIFY2(report.detail.contains(QLatin1String("smallint")), qPrintable(report.detail));
        QVERIFY(!m_command->progressDialog().isVisible());
    }

    // The main window's version timer keeps ticking while the import's progress window runs the
    // event loop. A check that ran then would read on the connection that step 7 is reading its
    // rows from, inside that step's snapshot.
    void versionTimerWaitsForTheImport()
    {
        m_db->run(QStringLiteral(
            "insert into public.smena (id, w_id, i_id, o_id, kol_vo, brak, data, smena, cena) "
            "select g, 1, 1, 1, 1, 0, '2009-03-06', 1, 2.5 from generate_series(100, 2099) g"));
        DataModule module(m_db->database());
        VersionCheck check(m_db->database(), module, BuildStamp{20240305, 43200});
        VersionWatch watch(check, m_messages, m_db->database(), 5000, [] {});
        QTimer timer;
        timer.setInterval(1);
        connect(&timer, &QTimer::timeout, &watch, &VersionWatch::check);
        int ticks = 0;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        int ticksInStep7 = -1;
        connect(&m_command->progressDialog(), &ImportProgressDialog::progressShown, this,
                [&](const QString& text) {
                    if (text.startsWith(QStringLiteral("smena: 1 из")))
                        ticksInStep7 = ticks;
                    else if (text.startsWith(QStringLiteral("smena: 2003 из")))
                        ticksInStep7 = ticks - ticksInStep7;
                });
        timer.start();
        m_messages.answerNext(MessageAnswer::Yes);
        m_command->start();
        QVERIFY2(ticksInStep7 > 1, qPrintable(QString::number(ticksInStep7)));
        QCOMPARE(m_messages.shown().size(), 2);
        QVERIFY2(
            m_messages.shown().last().text.endsWith(QStringLiteral("accounts_dep.smena — записей: 2003")),
            qPrintable(m_messages.shown().last().text));
        // Once the import is over the next tick checks as always.
        QTRY_COMPARE(m_db->count(QStringLiteral("select d from accounts_dep.ver")), 20240305);
    }
};

TABEL_GUI_TEST_MAIN(TestLegacyImportCommand)
#include "TestLegacyImportCommand.moc"

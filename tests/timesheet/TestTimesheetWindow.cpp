#include "common/Clock.h"
#include "db/DataModule.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/SqlQueryRowSource.h"
#include "shell/ApplicationShell.h"
#include "shell/LoginWindow.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/Actions.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "timesheet/LedgerCheckWindow.h"
#include "timesheet/MonthlySummary.h"
#include "timesheet/TimesheetCellDelegates.h"
#include "timesheet/TimesheetPrintLayout.h"
#include "timesheet/TimesheetWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tabel;

namespace {
const QDate today(2026, 12, 10);

// Worker n is "Рабочий nn" with number n. Ivanov works shifts 1 and 4 on the 5th of March
// 2024, Petrov shift 2; the other 23 have 8 hours on the 1st.
const char* const workers = R"(
insert into cmn_contractor.person (id, s_caption, s_code)
  select n, 'Рабочий ' || lpad(n::text, 2, '0'), n::text from generate_series(3, 25) n;
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2');
insert into accounts_dep.h_tabel (w_id, smena, month, year, d1) select n, 1, 3, 2024, 8 from generate_series(3, 25) n;
insert into accounts_dep.h_tabel (w_id, smena, month, year, d5) values (1, 1, 3, 2024, 4), (1, 4, 3, 2024, 3);
insert into accounts_dep.h_tabel (w_id, smena, month, year, d1, d2) values (2, 2, 3, 2024, 9, 8);
)";
} // namespace

class TestTimesheetWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ScriptedMessages m_messages;
    FixedClock m_clock{today};
    QTemporaryDir m_folder;
    std::unique_ptr<RecordingSpreadsheetViewer> m_viewer;
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<SpreadsheetWriter> m_writer;
    std::unique_ptr<TimesheetWindow> m_window;

    void openWindow(int month, int year, const QString& writerFolder = QString())
    {
        m_writer = std::make_unique<SpreadsheetWriter>(
            m_messages, *m_viewer, writerFolder.isEmpty() ? m_folder.path() : writerFolder);
        m_window = std::make_unique<TimesheetWindow>(*m_module, m_messages, m_clock, *m_writer);
        m_window->preset(QDate(year, month, 1));
        m_window->show();
    }
    int column(int shift, const QString& field) { return m_module->timesheetRows(shift).fieldIndex(field); }
    QString cell(int shift, int row, const QString& field)
    {
        const QModelIndex index = m_window->grid(shift)->model()->index(row, column(shift, field));
        return index.data().toString();
    }
    TimesheetDayDelegate& day(int shift, int day)
    {
        return *static_cast<TimesheetDayDelegate*>(
            m_window->grid(shift)->itemDelegateForColumn(column(shift, QStringLiteral("d%1").arg(day))));
    }
    QVariant titleColour(int shift, int day)
    {
        return m_window->grid(shift)->model()->headerData(column(shift, QStringLiteral("d%1").arg(day)),
                                                          Qt::Horizontal, Qt::ForegroundRole);
    }
    QString text(const LaidOutPage& page, double left, const QString& startsWith = QString())
    {
        for (const PlacedText& placed : page.texts)
            if (qAbs(placed.rect.left() - left) < 0.5 && placed.text.startsWith(startsWith))
                return placed.text;
        return QStringLiteral("<none>");
    }

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("timesheet"));
        m_module = std::make_unique<DataModule>(m_db->database());
        m_viewer = std::make_unique<RecordingSpreadsheetViewer>();
        m_messages.clear();
    }
    void cleanup()
    {
        m_window.reset();
        m_module.reset();
        m_db.reset();
        QVERIFY(!m_messages.unexpectedQuestion());
    }

    void yearListRunsToThisYearAndPresetPicksTheWorkingMonth()
    {
        openWindow(12, 2026);
        QComboBox* years = m_window->yearBox();
        QCOMPARE(years->count(), 2026 - 2007 + 1);
        QCOMPARE(years->itemText(0), QStringLiteral("2007"));
        QCOMPARE(years->currentText(), QStringLiteral("2026"));
        QCOMPARE(m_window->monthBox()->currentText(), QStringLiteral("Декабрь"));
        m_window->preset(QDate(2031, 2, 1));
        QCOMPARE(years->currentText(), QStringLiteral("2026"));
        QCOMPARE(m_window->monthBox()->currentText(), QStringLiteral("Февраль"));
        QVERIFY(m_module->timesheetRows(1).isOpen());
    }

    // February 2024 starts on a Thursday and has 29 days; April 2024 starts on a Monday.
    void dayColumnsFollowTheCalendar_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QList<int>>("weekends");
        QTest::addColumn<int>("monthDays");
        QTest::newRow("February 2024") << 2 << QList<int>{3, 4, 10, 11, 17, 18, 24, 25} << 29;
        QTest::newRow("April 2024") << 4 << QList<int>{6, 7, 13, 14, 20, 21, 27, 28} << 30;
    }
    void dayColumnsFollowTheCalendar()
    {
        QFETCH(int, month);
        QFETCH(QList<int>, weekends);
        QFETCH(int, monthDays);
        openWindow(month, 2024);
        for (int shift = 1; shift <= 3; ++shift) {
            for (int d = 1; d <= 31; ++d) {
                const bool weekend = weekends.contains(d);
                const bool inMonth = d <= monthDays;
                QCOMPARE(day(shift, d).weekend(), weekend);
                QCOMPARE(day(shift, d).inMonth(), inMonth);
                const QVariant title = titleColour(shift, d);
                if (weekend)
                    QCOMPARE(title.value<QColor>(), QColor(Qt::red));
                else if (!inMonth)
                    QCOMPARE(title.value<QColor>(), QColor(0xC0, 0xC0, 0xC0));
                else
                    QVERIFY(!title.isValid());
            }
        }
    }

    void cellsShowZeroEightAndOvertime()
    {
        openWindow(4, 2024);
        const QPalette palette = m_window->grid(1)->palette();
        const QColor text = palette.color(QPalette::Text);
        const QColor invisible = palette.color(QPalette::Base);
        struct Case
        {
            int day;
            int hours;
            QColor colour;
            bool bold;
            QColor background;
        };
        const QColor silver(0xC0, 0xC0, 0xC0), red(Qt::red), green(0xC0, 0xDC, 0xC0);
        const QList<Case> cases = {
            {5, 0, silver, false, {}},     {6, 0, red, false, {}}, {5, 4, text, false, {}},
            {5, 8, text, true, {}},        {6, 8, red, true, {}},  {5, 9, text, true, green},
            {31, 0, invisible, false, {}},
        };
        for (const Case& c : cases) {
            const TimesheetDayDelegate::Look look = day(1, c.day).look(c.hours, palette);
            QVERIFY2(look.text == c.colour && look.bold == c.bold && look.background == c.background,
                     qPrintable(QStringLiteral("day %1, %2 hours").arg(c.day).arg(c.hours)));
        }
    }

    // Every value from 0 to 24 whole in its 20-pixel column, bold from 8 on; a name that the
    // column cuts shows whole as its tooltip.
    void everyDayValueAndEveryNameCanBeRead()
    {
        const QString longName = "Константинопольский-Преображенский Александр Вячеславович";
        QStringList days, hours;
        for (int day = 1; day <= 25; ++day) {
            days.append(QString("d%1").arg(day));
            hours.append(QString::number(day - 1));
        }
        m_db->run(QString("insert into cmn_contractor.person (id, s_caption, s_code) values (1, '%1', '1'), "
                          "(2, 'Иванов Иван', '2');"
                          "insert into accounts_dep.h_tabel (w_id, smena, month, year, %2) values "
                          "(1, 1, 3, 2024, %3), (2, 1, 3, 2024, %3)")
                      .arg(longName, days.join(','), hours.join(',')));
        openWindow(3, 2024);
        QTableView* grid = m_window->grid(1);
        QVERIFY(!grid->grab().isNull()); // paints every cell
        QCOMPARE(grid->columnWidth(column(1, "d1")), 20);
        auto optionFor = [&](const QModelIndex& index) {
            QStyleOptionViewItem option;
            option.initFrom(grid->viewport());
            option.widget = grid;
            option.font = grid->font();
            option.rect = grid->visualRect(index);
            return option;
        };
        for (int row = 0; row < 2; ++row)
            for (int dayOfMonth = 1; dayOfMonth <= 25; ++dayOfMonth) {
                const QModelIndex index =
                    grid->model()->index(row, column(1, QString("d%1").arg(dayOfMonth)));
                const QString value = index.data().toString();
                QCOMPARE(value, QString::number(dayOfMonth - 1));
                const QFont font = day(1, dayOfMonth).paintedFont(optionFor(index), index);
                QCOMPARE(font.bold(), dayOfMonth - 1 >= 8);
                QVERIFY2(QFontMetricsF(font).horizontalAdvance(value) <=
                             grid->columnWidth(index.column()) - 2,
                         qPrintable(value));
            }
        auto& names = *static_cast<TimesheetNameDelegate*>(grid->itemDelegateForColumn(column(1, "fio")));
        QCOMPARE(grid->columnWidth(column(1, "fio")), 208);
        QMap<QString, QString> tips;
        for (int row = 0; row < 2; ++row) {
            const QModelIndex index = grid->model()->index(row, column(1, "fio"));
            tips.insert(index.data().toString(), names.toolTip(optionFor(index), index));
        }
        QCOMPARE(tips.value(longName), longName);
        QCOMPARE(tips.value("Иванов Иван", "<none>"), QString());
    }

    // The tabs show shifts 1 to 3 as the ledger holds them; the print and the export add up
    // every shift number, overtime included, per worker and day.
    void shiftsOnTabsAgainstPrintAndExport()
    {
        m_db->run(QString::fromUtf8(workers));
        openWindow(3, 2024);
        QCOMPARE(m_window->grid(1)->model()->rowCount(), 24);
        QCOMPARE(cell(1, 0, QStringLiteral("fio")), QStringLiteral("Иванов Иван"));
        QCOMPARE(cell(1, 0, QStringLiteral("d5")), QStringLiteral("4"));
        QCOMPARE(cell(1, 0, QStringLiteral("summ")), QStringLiteral("4"));
        QCOMPARE(cell(2, 0, QStringLiteral("summ")), QStringLiteral("17"));
        QCOMPARE(m_window->grid(3)->model()->rowCount(), 0);
        QCOMPARE(m_window->grid(1)->model()->headerData(column(1, QStringLiteral("fio")), Qt::Horizontal),
                 QStringLiteral("Фамилия И. О."));

        // Looked at from inside the export, which lets pending events run after each row.
        bool controlsOffMeanwhile = false;
        QTimer::singleShot(0, m_window.get(), [&] {
            controlsOffMeanwhile = !m_window->printButton()->isEnabled() &&
                                   !m_window->rebuildButton()->isEnabled() &&
                                   !m_window->monthBox()->isEnabled();
        });
        m_window->excelButton()->click();
        QVERIFY(controlsOffMeanwhile);
        QVERIFY(m_window->printButton()->isEnabled());
        QCOMPARE(m_window->excelButton()->text(), QStringLiteral("Excel (25 из 25)"));
        QCOMPARE(m_viewer->opened().size(), 1);
        XlsxReader book(m_viewer->opened().first());
        QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));
        QCOMPARE(book.cell(1, 1)->value, QStringLiteral("Март 2024"));
        QVERIFY(book.cell(1, 1)->bold);
        QCOMPARE(book.cell(1, 2)->value, QStringLiteral("Фамилия И.О."));
        for (int d = 1; d <= 31; ++d)
            QCOMPARE(book.cell(d + 1, 2)->value, QString::number(d));
        QCOMPARE(book.cell(33, 2)->value, QStringLiteral("Итого"));
        // Names in order: Иванов, Петров, then Рабочий 03 to 25.
        QCOMPARE(book.cell(1, 3)->value, QStringLiteral("Иванов Иван"));
        QCOMPARE(book.cell(6, 3)->value, QStringLiteral("7"));
        QCOMPARE(book.cell(2, 3)->value, QStringLiteral("0"));
        QCOMPARE(book.cell(32, 3)->value, QStringLiteral("0")); // the 31st, which March has
        QCOMPARE(book.cell(33, 3)->value, QStringLiteral("7"));
        QCOMPARE(book.cell(1, 4)->value, QStringLiteral("Петров Пётр"));
        QCOMPARE(book.cell(33, 4)->value, QStringLiteral("17"));
        QCOMPARE(book.cell(1, 27)->value, QStringLiteral("Рабочий 25"));
        QVERIFY(!book.cell(1, 28));

        ReportDefinition layout = TimesheetPrintLayout::definition(QStringLiteral("Март 2024 г."));
        PreparedReport report(std::move(layout), std::make_shared<SqlQueryRowSource>(
                                                     MonthlySummary::open(m_db->database(), 3, 2024)));
        const auto page = report.page(0);
        QVERIFY(page);
        const double margin = 10 / 25.4 * 96;
        QCOMPARE(text(*page, margin + 2, QStringLiteral("Март")), QStringLiteral("Март 2024 г."));
        QCOMPARE(text(*page, margin + 2, QStringLiteral("Иванов")), QStringLiteral("Иванов Иван"));
        QCOMPARE(report.pageCount(), 1);
        int ivanovTotals = 0;
        for (const PlacedText& placed : page->texts)
            if (qAbs(placed.rect.left() - (margin + TimesheetPrintLayout::totalLeft())) < 0.5 &&
                placed.text == QStringLiteral("7") && placed.item->font.bold)
                ++ivanovTotals;
        QCOMPARE(ivanovTotals, 1);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void emptyMonthExportsTitlesAndPrintsTheHeader()
    {
        openWindow(3, 2024);
        m_window->excelButton()->click();
        QCOMPARE(m_window->excelButton()->text(), QStringLiteral("Excel (0 из 0)"));
        QCOMPARE(m_viewer->opened().size(), 1);
        XlsxReader book(m_viewer->opened().first());
        QCOMPARE(book.cellCount(), 1 + 33);

        PreparedReport report(
            TimesheetPrintLayout::definition(QStringLiteral("Март 2024 г.")),
            std::make_shared<SqlQueryRowSource>(MonthlySummary::open(m_db->database(), 3, 2024)));
        QCOMPARE(report.pageCount(), 1);
        QStringList texts;
        for (const PlacedText& placed : report.page(0)->texts)
            texts << placed.text;
        QVERIFY(texts.contains(QStringLiteral("Март 2024 г.")));
        QVERIFY(texts.contains(QStringLiteral("31")));
        QVERIFY(texts.contains(QStringLiteral("Итого")));
        QCOMPARE(texts.last(), QStringLiteral("1"));
        QCOMPARE(texts.size(), 1 + 31 + 1 + 1);
    }

    void exportThatCannotOpenAWorkbookStops()
    {
        m_db->run(QString::fromUtf8(workers));
        openWindow(3, 2024, QStringLiteral("/nonexistent/folder"));
        m_window->excelButton()->click();
        QCOMPARE(m_messages.shown().size(), 1);
        QCOMPARE(m_window->excelButton()->text(), QStringLiteral("Excel"));
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(m_window->printButton()->isEnabled());
        QVERIFY(m_viewer->opened().isEmpty());
    }

    void printShowsThePreviewAndActivationResetsTheCaption()
    {
        m_db->run(QString::fromUtf8(workers));
        openWindow(3, 2024);
        m_window->excelButton()->click();
        QCOMPARE(m_window->excelButton()->text(), QStringLiteral("Excel (25 из 25)"));
        ModalDriver driver;
        QString shown;
        driver.whenOpen(
            [&](QWidget* preview) { shown = preview->objectName() + ": " + preview->windowTitle(); },
            m_window.get());
        m_window->printButton()->click();
        QVERIFY(!driver.failed());
        QCOMPARE(shown, QStringLiteral("ReportPreview: Табель Март 2024"));
        const QFileInfo workbook(m_viewer->opened().first());
        QCOMPARE(workbook.fileName(), QStringLiteral("Табель Март 2024.xlsx"));
        QCOMPARE(m_window->excelButton()->text(), QStringLiteral("Excel"));
    }

    void rebuildDropsWorkersWithoutRecords()
    {
        m_db->run(QString::fromUtf8(workers));
        m_db->run(QStringLiteral(
            "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) "
            "values (10, 'А-100', '', 6, 1);"
            "insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка');"
            "insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0);"
            "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
            "ok) "
            "values (1, 10, 100, 1, 1, 0, '2024-03-05', 1, 0, 4, 'ok'), (1, 10, 100, 1, 1, 0, '2024-03-05', "
            "1, 1, 2, 'no')"));
        openWindow(3, 2024);
        QCOMPARE(m_window->grid(1)->model()->rowCount(), 24);
        m_window->rebuildButton()->click();
        QVERIFY(m_messages.shown().isEmpty());
        QVERIFY(!m_window->progressBar()->isVisible());
        QCOMPARE(m_window->grid(1)->model()->rowCount(), 1);
        QCOMPARE(cell(1, 0, QStringLiteral("d5")), QStringLiteral("6"));
        QCOMPARE(m_window->grid(2)->model()->rowCount(), 0);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.h_tabel")), 1);
    }

    // The check lists what differs; its rebuild mends the month, checks again and the time
    // sheet shows the rebuilt ledger.
    void checkShowsDifferencesAndItsRebuildMendsThem()
    {
        m_db->run(QStringLiteral(
            "insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1'), "
            "(2, 'Петров Пётр', '2');"
            "insert into accounts_dep.h_tabel (w_id, smena, month, year, d5) values (1, 1, 3, 2024, 4);"
            "insert into accounts_dep.h_tabel (w_id, smena, month, year, d1) values (2, 2, 3, 2024, 9);"
            "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
            "ok) values (1, 1, 1, 1, 1, 0, '2024-03-05', 1, 0, 4, 'ok'), (2, 1, 1, 1, 1, 0, '2024-03-01', 2, "
            "0, "
            "5, 'no'), (1, 1, 1, 1, 1, 0, '2024-03-06', 4, 0, 2, 'да')"));
        openWindow(3, 2024);
        QCOMPARE(m_window->checkButton()->text(), QStringLiteral("Сверка"));
        QCOMPARE(m_window->checkButton()->parentWidget(), m_window->rebuildButton()->parentWidget());
        QCOMPARE(cell(2, 0, QStringLiteral("d1")), QStringLiteral("9"));

        ModalDriver driver;
        QString caption, before, after;
        QStringList rows;
        int rowsAfter = -1;
        driver.whenOpen(
            [&](QWidget* window) {
                auto& check = *qobject_cast<LedgerCheckWindow*>(window);
                caption = check.windowTitle();
                before = check.summaryLabel()->text();
                const QAbstractItemModel& list = *check.list()->model();
                for (int row = 0; row < list.rowCount(); ++row) {
                    QStringList texts;
                    for (int column = 0; column < list.columnCount(); ++column)
                        texts << list.index(row, column).data().toString();
                    rows << texts.join(QLatin1Char('|'));
                }
                check.excelButton()->click();
                check.rebuildButton()->click();
                after = check.summaryLabel()->text();
                rowsAfter = check.list()->model()->rowCount();
            },
            m_window.get());
        m_window->checkButton()->click();
        QVERIFY(!driver.failed());
        QVERIFY2(m_messages.shown().isEmpty(), qPrintable(m_messages.texts().join(QStringLiteral(" | "))));

        QCOMPARE(caption, QStringLiteral("Сверка табеля — Март 2024"));
        QCOMPARE(before, QStringLiteral(
                             "Табель не сходится с записями: расхождений — 2 (2 строк, 31 дней проверено)."));
        QCOMPARE(rows, (QStringList{QStringLiteral("Иванов Иван|4|6||2|нет в табеле"),
                                    QStringLiteral("Петров Пётр|2|1|9|5|расходится")}));
        QCOMPARE(after, QStringLiteral("Табель сходится с записями: 3 строк, 31 дней проверено."));
        QCOMPARE(rowsAfter, 0);
        QCOMPARE(cell(2, 0, QStringLiteral("d1")), QStringLiteral("5"));

        QCOMPARE(m_viewer->opened().size(), 1);
        XlsxReader book(m_viewer->opened().first());
        QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));
        QCOMPARE(book.cell(1, 1)->value, caption);
        QCOMPARE(book.cell(1, 2)->value, before);
        QCOMPARE(book.cell(1, 3)->value, QStringLiteral("Фамилия И.О."));
        QCOMPARE(book.cell(6, 3)->value, QStringLiteral("Расхождение"));
        QCOMPARE(book.cell(1, 4)->value, QStringLiteral("Иванов Иван"));
        QCOMPARE(book.cell(3, 4)->value, QStringLiteral("6"));
        QVERIFY(!book.cell(4, 4));
        QCOMPARE(book.cell(5, 4)->value, QStringLiteral("2"));
        QCOMPARE(book.cell(6, 5)->value, QStringLiteral("расходится"));
        QVERIFY(!book.cell(1, 6));
    }

    void failedCheckIsReportedAndOpensNothing()
    {
        openWindow(3, 2024);
        m_db->run(QStringLiteral("alter table accounts_dep.smena rename to smena_away"));
        // Had the result window opened anyway, its exec() would wait for this.
        bool opened = false;
        QTimer closer;
        closer.setSingleShot(true);
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                dialog->reject();
            }
        });
        closer.start(2000);
        m_window->checkButton()->click();
        closer.stop();
        QVERIFY(!opened);
        QCOMPARE(m_messages.shown().size(), 1);
        QVERIFY(!m_module->database().inTransaction());
    }

    // The main menu opens the month of the working date and closes the ledgers afterwards.
    void mainMenuOpensTheWorkingMonth()
    {
        m_db->run(QString::fromUtf8(workers));
        m_db->run(QStringLiteral("insert into accounts_dep.ver (d, t, delim) values (20230101, 5, '.')"));
        ApplicationShell shell(m_messages, m_clock, {20240301, 3600}, {});
        QVERIFY(shell.start({m_db->settings().database, m_db->settings().host}));
        ModalDriver driver;
        QString month, year;
        int rows = -1;
        driver.whenOpen([&](QWidget* main) {
            // The working date: 10.12.2026, today.
            ModalDriver inner;
            inner.whenOpen(
                [&](QWidget* window) {
                    month = shell.timesheetWindow().monthBox()->currentText();
                    year = shell.timesheetWindow().yearBox()->currentText();
                    rows = shell.dataModule().timesheetRows(1).rowCount();
                    QCOMPARE(window, &shell.timesheetWindow());
                },
                main);
            QVERIFY(triggerAction(*main, QStringLiteral("timesheetAction")));
            QVERIFY(!inner.failed());
            for (int shift = 1; shift <= 3; ++shift)
                QVERIFY(!shell.dataModule().timesheetRows(shift).isOpen());
            static_cast<QDialog*>(main)->reject();
        });
        QTest::keyClicks(shell.loginWindow().passwordBox(), QStringLiteral("73516280"));
        QTest::keyClick(shell.loginWindow().passwordBox(), Qt::Key_Return);
        QVERIFY(!driver.failed());
        QCOMPARE(month, QStringLiteral("Декабрь"));
        QCOMPARE(year, QStringLiteral("2026"));
        QCOMPARE(rows, 0);
    }

    void failedRebuildLeavesTheMonthAsItWas()
    {
        m_db->run(QString::fromUtf8(workers));
        m_db->run(QStringLiteral("insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, "
                                 "data, smena, color, time, ok) "
                                 "values (1, 10, 100, 1, 1, 0, '2024-03-05', 1, 0, 4, 'ok');"
                                 "create function public.refuse() returns trigger language plpgsql as "
                                 "$$ begin raise exception 'табель закрыт'; end $$;"
                                 "create trigger refuse before insert on accounts_dep.h_tabel "
                                 "for each row execute function public.refuse()"));
        const QString ledger =
            QStringLiteral("select string_agg(concat_ws('/', w_id, smena, month, year, d1, d2, "
                           "d5), ',' order by w_id, smena) from accounts_dep.h_tabel");
        const QString before = m_db->database().readValue(ledger, QStringLiteral("string_agg")).toString();
        openWindow(3, 2024);
        m_window->rebuildButton()->click();
        QCOMPARE(m_messages.shown().size(), 1);
        QVERIFY(m_messages.shown().first().detail.contains(QStringLiteral("табель закрыт")));
        QCOMPARE(m_db->database().readValue(ledger, QStringLiteral("string_agg")).toString(), before);
        QVERIFY(!m_window->progressBar()->isVisible());
        QVERIFY(m_module->timesheetRows(1).isOpen());
        QCOMPARE(m_window->grid(1)->model()->rowCount(), 24);
        QVERIFY(!m_module->database().inTransaction());
    }
};

TABEL_GUI_TEST_MAIN(TestTimesheetWindow)
#include "TestTimesheetWindow.moc"

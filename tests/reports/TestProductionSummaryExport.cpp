#include "reports/ProductKind.h"
#include "reports/ProductionSummaryExport.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

namespace {

// A bolt of 0.25 per box: 10 good pieces primed, 7 in colour 7 (one of 8 rejected), 3 as a
// blank; a nut with kind code 5; a washer of 0.000005 per box whose operation has no kind code
// at all. Records of 31 October and 1 December lie outside November.
const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_name, s_description, id_msm_bs, massa) values
  (10, 'А-100', 'Болт', '', 6, 0.25), (11, 'Б-200', 'Гайка', '', 6, 2), (12, 'В-300', 'Шайба', '', 6, 0.000005);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Покраска'), (2, 'Резка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (100, 1, 0, 10, 0), (101, 2, 1, 10, 0), (102, 2, 5, 11, 0), (103, 2, NULL, 12, 0);
insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok) values
  ('2023-11-30', 1, 1, 10, 100, 1, 10, 0, 1, 4, 'no'),
  ('2023-11-02', 1, 1, 10, 100, 1, 8, 1, 7, 4, 'no'),
  ('2023-11-03', 1, 1, 10, 101, 1, 3, 0, 0, 4, 'no'),
  ('2023-11-04', 1, 1, 11, 102, 1, 4, 0, 0, 4, 'no'),
  ('2023-11-05', 1, 1, 12, 103, 1, 1, 0, 0, 4, 'no'),
  ('2023-12-01', 1, 1, 10, 100, 1, 99, 0, 1, 4, 'no'),
  ('2023-10-31', 1, 1, 10, 100, 1, 99, 0, 1, 4, 'no');
)";

const ReportPeriod november{QDate(2023, 11, 1), QDate(2023, 12, 1)};
const QStringList headings{"Наименование", "Операция", "Вид продукции", "Коробки", "Кол-во"};

// Row 2 on as "text|text|text|number|number", numbers as the file stores them.
QStringList sheetRows(const XlsxReader& book)
{
    QStringList rows;
    for (int row = 2; book.cell(1, row); ++row) {
        QStringList cells;
        for (int column = 1; column <= 5; ++column) {
            const auto cell = book.cell(column, row);
            cells.append(!cell                             ? QString("<empty>")
                         : cell->isNumber == (column >= 4) ? cell->value
                                                           : "<type>");
        }
        rows.append(cells.join('|'));
    }
    rows.sort();
    return rows;
}

} // namespace

class TestProductionSummaryExport : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_folder;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("production_summary"));
        m_db->run(QString::fromUtf8(fixture));
    }
    void cleanupTestCase() { m_db.reset(); }

    void writesThePeriodsProductionOfTheChosenKind_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QStringList>("expected");
        // The washer's boxes are a number however small, not the text "5e-06".
        QTest::newRow("all: primer, colour 7, 0.25 x 10 = 2,5, kind code 5 and no code as blanks")
            << int(AllProducts) << november.from
            << QStringList{"Болт|Покраска (грунт)|Готовая продукция|2.5|10",
                           "Болт|Покраска (цвет: 7)|Готовая продукция|1.75|7", "Болт|Резка|Заготовки|0.75|3",
                           "Гайка|Резка|Заготовки|8|4", "Шайба|Резка|Заготовки|5E-06|1"};
        QTest::newRow("finished products only")
            << int(FinishedProducts) << november.from
            << QStringList{"Болт|Покраска (грунт)|Готовая продукция|2.5|10",
                           "Болт|Покраска (цвет: 7)|Готовая продукция|1.75|7"};
        QTest::newRow("empty period") << int(AllProducts) << november.to << QStringList{};
    }
    void writesThePeriodsProductionOfTheChosenKind()
    {
        QFETCH(int, choice);
        QFETCH(QDate, from);
        QFETCH(QStringList, expected);
        ScriptedMessages messages;
        RecordingSpreadsheetViewer viewer;
        SpreadsheetWriter writer(messages, viewer, m_folder.path());
        ProductionSummaryExport summary(m_db->database(), writer);
        QStringList captions;
        summary.setProgress(
            [&](int written, int total) { captions.append(QString("%1 из %2").arg(written).arg(total)); });
        summary.run({from, november.to}, choice);

        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join(" | ")));
        QCOMPARE(viewer.opened().size(), 1);
        XlsxReader book(viewer.opened().first());
        QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));
        for (int column = 1; column <= headings.size(); ++column)
            QCOMPARE(book.cell(column, 1)->value, headings.at(column - 1));
        QCOMPARE(sheetRows(book), expected);
        QCOMPARE(book.cellCount(), 5 * (expected.size() + 1));
        // The caption's count is of the rows the choice keeps, from 0 before the first.
        QStringList expectedCaptions;
        for (int written = 0; written <= expected.size(); ++written)
            expectedCaptions.append(QString("%1 из %2").arg(written).arg(expected.size()));
        QCOMPARE(captions, expectedCaptions);
    }

    void writerThatCannotOpenStopsBeforeWriting()
    {
        ScriptedMessages messages;
        RecordingSpreadsheetViewer viewer;
        SpreadsheetWriter writer(messages, viewer, m_folder.filePath("no/such/folder"));
        ProductionSummaryExport summary(m_db->database(), writer);
        bool progressed = false;
        summary.setProgress([&](int, int) { progressed = true; });
        summary.run(november, AllProducts);
        QCOMPARE(messages.texts(), QStringList{"Невозможно открыть Microsoft Excel."});
        QVERIFY(viewer.opened().isEmpty());
        QVERIFY(!progressed);
    }
};

QTEST_MAIN(TestProductionSummaryExport)
#include "TestProductionSummaryExport.moc"

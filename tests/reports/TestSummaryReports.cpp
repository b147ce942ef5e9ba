#include "ReportLines.h"

#include "reports/ProductKind.h"
#include "reports/SummaryReportBuilder.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace tabel;

Q_DECLARE_METATYPE(tabel::SummaryReportKind)

namespace {

// Two workers and two products in November 2023. Иванов makes both products, the bolt in
// primer and in colour 5, the nut with rejects. Петров makes a blank (kind 1) and a product
// whose operation has kind code 5. One record each on 31 October and 1 December lies outside.
const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_name, s_description, id_msm_bs, massa) values
  (10, 'А-100', 'Болт', '', 6, 0.25), (11, 'Б-200', 'Гайка', '', 6, 2);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'Сварка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (100, 1, 0, 10, 0), (101, 2, 1, 10, 0), (102, 1, 5, 11, 0), (103, 2, 0, 11, 0);
insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, prize) values
  ('2023-11-30', 1, 1, 10, 100, 2.5, 10, 0, 1, 4, 'no', 10),
  ('2023-12-01', 1, 1, 10, 100, 2.5, 100, 0, 1, 4, 'no', 10),
  ('2023-11-01', 1, 1, 10, 100, 2.5, 10, 0, 5, 4, 'no', 10),
  ('2023-11-10', 2, 1, 11, 103, 1, 5, 2, 0, 4, 'no', 0),
  ('2023-11-15', 1, 2, 11, 102, 3, 4, 0, 0, 4, 'no', 0),
  ('2023-11-20', 1, 2, 10, 101, 1, 6, 1, 0, 4, 'no', 0),
  ('2023-10-31', 1, 2, 10, 101, 1, 50, 0, 0, 4, 'no', 0);
)";

const ReportPeriod november{QDate(2023, 11, 1), QDate(2023, 12, 1)};

} // namespace

class TestSummaryReports : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("summaries"));
        m_db->run(QString::fromUtf8(fixture));
    }
    void cleanupTestCase() { m_db.reset(); }

    void summaryPrintsThePeriodsRowsOfTheChosenKind_data()
    {
        QTest::addColumn<SummaryReportKind>("kind");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("by workers: 30 November in, 1 December out; a worker with two products; colours")
            << SummaryReportKind::ByWorkers << int(AllProducts) << november.from
            << QStringList{"   Отчет по рабочим за период с 01.11.2023 по 01.12.2023",
                           "Иванов Иван",
                           "Болт",
                           "  Готовая продукция | Резка |  (RAL: 5) | 10 | 25,000",
                           "  Готовая продукция | Резка |  (грунт) | 10 | 25,000",
                           "Σ 20 | 50,000",
                           "Гайка",
                           "  Готовая продукция | Сварка |   | 3 | 3,000",
                           "Σ 3 | 3,000",
                           "Σ 53,00",
                           "Петров Пётр",
                           "Болт",
                           "  Заготовки | Сварка |   | 5 | 5,000",
                           "Σ 5 | 5,000",
                           "Гайка",
                           "  Заготовки | Резка |   | 4 | 12,000",
                           "Σ 4 | 12,000",
                           "Σ 17,00",
                           "Итого: | 70,00"};
        QTest::newRow("by products, all kinds: code 5 reads as a blank; 0.25 x 10 is 2,5")
            << SummaryReportKind::ByProducts << int(AllProducts) << november.from
            << QStringList{"   Отчет по продукции за период с 01.11.2023 по 01.12.2023",
                           "Болт",
                           "  Готовая продукция | Резка |  (RAL: 5) | 2,5 | 10",
                           "  Готовая продукция | Резка |  (грунт) | 2,5 | 10",
                           "  Заготовки | Сварка |   | 1,25 | 5",
                           "Σ 6,25 | 25",
                           "Гайка",
                           "  Готовая продукция | Сварка |   | 6 | 3",
                           "  Заготовки | Резка |   | 8 | 4",
                           "Σ 14 | 7",
                           "Итого: | 20 | 32"};
        QTest::newRow("by products, blanks: kind code 5 is left out, and out of the totals")
            << SummaryReportKind::ByProducts << int(Blanks) << november.from
            << QStringList{"   Отчет по продукции за период с 01.11.2023 по 01.12.2023", "Болт",
                           "  Заготовки | Сварка |   | 1,25 | 5", "Σ 1,25 | 5", "Итого: | 1 | 5"};
        QTest::newRow("detailed by workers, finished products: all pieces, money for good ones")
            << SummaryReportKind::DetailedByWorkers << int(FinishedProducts) << november.from
            << QStringList{"   Детальный отчет по рабочим за период с 01.11.2023 по 01.12.2023",
                           "Иванов Иван",
                           "  А-100 | Резка | 1 | Готовая продукция | 0 | 10 | 25,00",
                           "  А-100 | Резка | 5 | Готовая продукция | 0 | 10 | 25,00",
                           "  Б-200 | Сварка | 0 | Готовая продукция | 2 | 5 | 3,00",
                           "Σ 2 | 25 | 53,00",
                           "Итого: | 2 | 25 | 53,00"};
        QTest::newRow("detailed by products")
            << SummaryReportKind::DetailedByProducts << int(AllProducts) << november.from
            << QStringList{"   Детальный отчет по продукции за период с 01.11.2023 по 01.12.2023",
                           "Болт",
                           "  А-100 | Резка | 1 | Готовая продукция | 0 | 2,5 | 10 | 25,000",
                           "  А-100 | Резка | 5 | Готовая продукция | 0 | 2,5 | 10 | 25,000",
                           "  А-100 | Сварка | 0 | Заготовки | 1 | 1,5 | 6 | 5,000",
                           "Σ 1 | 6,50 | 26 | 55,00",
                           "Гайка",
                           "  Б-200 | Резка | 0 | Заготовки | 0 | 8 | 4 | 12,000",
                           "  Б-200 | Сварка | 0 | Готовая продукция | 2 | 10 | 5 | 3,000",
                           "Σ 2 | 18,00 | 9 | 15,00",
                           "Итого: | 3 | 24,5 | 35 | 70,00"};
        QTest::newRow("empty period: from equal to to")
            << SummaryReportKind::ByWorkers << int(AllProducts) << november.to
            << QStringList{"   Отчет по рабочим за период с 01.12.2023 по 01.12.2023", "Итого: | 0,00"};
    }
    void summaryPrintsThePeriodsRowsOfTheChosenKind()
    {
        QFETCH(SummaryReportKind, kind);
        QFETCH(int, choice);
        QFETCH(QDate, from);
        QFETCH(QStringList, expected);
        auto report = SummaryReportBuilder(m_db->database())
                          .prepare(summaryReportForm(kind), {from, november.to}, choice);
        QCOMPARE(report->pageCount(), 1);
        QCOMPARE(withDetailRunsSorted(reportLines(*report)), withDetailRunsSorted(expected));
    }
};

QTEST_MAIN(TestSummaryReports)
#include "TestSummaryReports.moc"

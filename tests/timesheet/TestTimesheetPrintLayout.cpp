#include "report_engine/ReportFixtures.h"
#include "timesheet/TimesheetPrintLayout.h"

#include <QTest>

using namespace tabel;

class TestTimesheetPrintLayout : public QObject
{
    Q_OBJECT
private slots:
    // Full days everywhere and names longer than their column: every hour and total whole.
    void everyTextFitsItsColumn()
    {
        QStringList fields{"fio"};
        for (int day = 1; day <= 31; ++day)
            fields.append(QString("sd%1").arg(day));
        QList<QVariantList> rows;
        for (int worker = 0; worker < 60; ++worker) {
            QVariantList row{
                QString("Константинопольский-Преображенский Александр Вячеславович %1").arg(worker)};
            for (int day = 1; day <= 31; ++day)
                row.append(qlonglong(day % 2 ? 24 : 8));
            rows.append(row);
        }
        auto report = prepare(TimesheetPrintLayout::definition(TimesheetPrintLayout::title("Декабрь", 2026)),
                              fields, rows);
        QVERIFY(report->pageCount() > 1);
        QCOMPARE(textsThatDoNotFit(*report), QStringList());

        QStringList days;
        const auto page = report->page(0);
        for (const PlacedText& placed : page->texts)
            if (placed.item->content == ItemContent::Computed && days.size() < 32)
                days.append(placed.text);
        QCOMPARE(days.first(), "24");
        QCOMPARE(days.at(1), "8");
        QCOMPARE(days.last(), QString::number(16 * 24 + 15 * 8));
        QCOMPARE(page->texts.last().text, "1");
        // The page number stands at the right margin.
        QCOMPARE(qRound(page->texts.last().rect.right()),
                 qRound(report->pageSize().width() - 10 / 25.4 * 96));
    }
};

QTEST_MAIN(TestTimesheetPrintLayout)
#include "TestTimesheetPrintLayout.moc"

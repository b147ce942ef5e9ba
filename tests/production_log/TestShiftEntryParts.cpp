#include "production_log/EntryCompletion.h"
#include "production_log/RecordPricing.h"
#include "production_log/ShiftEntryRow.h"

#include <QTest>

using namespace tabel;

Q_DECLARE_METATYPE(QList<int>)

namespace {
const QStringList workers = {"Ёлкин Пётр", "Елисеев Иван", "Иванов Иван", "иволгин А.", "О'Брайен Патрик"};
const QStringList operations = {"КОРПУС-12; КРАСКА порошковая; Готовая продукция",
                                "КОРПУС-12; Резка; Заготовки", "Рама 2; КРАСКА эмаль; Заготовки",
                                "А-100; корпусная сборка; Готовая продукция"};

ShiftEntryRow rowWith(const QString& operationText)
{
    ShiftEntryRow row;
    row.workerId = 7;
    row.worker = QStringLiteral("Иванов Иван");
    row.operation = ShiftEntryOperation{10, 100, operationText, PriceBasis{2.5, 2, 40}};
    return row;
}
} // namespace

class TestShiftEntryParts : public QObject
{
    Q_OBJECT
private slots:
    void completion_data()
    {
        QTest::addColumn<bool>("byWords");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("Е finds Ё") << false << "ел" << QList<int>{0, 1};
        QTest::newRow("Ё finds Е, any case") << false << "ЁЛ" << QList<int>{0, 1};
        QTest::newRow("case") << false << "ив" << QList<int>{2, 3};
        QTest::newRow("a name starts with it") << false << "иван" << QList<int>{2};
        QTest::newRow("apostrophe") << false << "о'б" << QList<int>{4};
        QTest::newRow("nothing typed") << false << "" << QList<int>{};
        QTest::newRow("grade and word") << true << "кор кр" << QList<int>{0};
        QTest::newRow("grade or any word") << true << "кор" << QList<int>{0, 1, 3};
        QTest::newRow("a word") << true << "кр" << QList<int>{0, 2};
        QTest::newRow("the text's order") << true << "кр кор" << QList<int>{};
        QTest::newRow("grade with a blank, then a word") << true << "рама 2; кр" << QList<int>{2};
        QTest::newRow("the kind") << true << "заг" << QList<int>{1, 2};
        QTest::newRow("inside a word is no start") << true << "раска" << QList<int>{};
    }
    void completion()
    {
        QFETCH(bool, byWords);
        QFETCH(QString, typed);
        QFETCH(QList<int>, found);
        EntryCompletion completion(byWords ? EntryCompletion::Rule::WordPrefixes
                                           : EntryCompletion::Rule::NamePrefix);
        completion.setTexts(byWords ? operations : workers);
        QCOMPARE(completion.matches(typed, 50), found);
        if (found.size() > 1)
            QCOMPARE(completion.matches(typed, 1), found.mid(0, 1));
    }

    void explainedPrice_data()
    {
        QTest::addColumn<double>("basePrice");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("text");
        const QString lowest = QStringLiteral("Цена 12,50 — наименьшая по нормам (норма 100)");
        QTest::newRow("none") << 12.5 << 3 << false << 1 << lowest;
        QTest::newRow("day off") << 12.5 << 3 << true << 2 << lowest + " × 2 (выходной) = 25,00";
        QTest::newRow("shift 3") << 12.5 << 3 << false << 3 << lowest + " × 1,2 (смена №3) = 15,00";
        QTest::newRow("day off, overtime")
            << 12.5 << 3 << true << 4
            << "Цена 12,50 — наименьшая по нормам (норма 100) × 2 (выходной) × 1,5 (переработка) = 37,50";
        // The result is the stored price: 2.3333 * 1.2 = 2.79996 is stored as 2.8.
        QTest::newRow("one norm entry, stored price")
            << 2.3333 << 1 << false << 3 << "Цена 2,3333 — по норме 100 × 1,2 (смена №3) = 2,80";
    }
    void explainedPrice()
    {
        QFETCH(double, basePrice);
        QFETCH(int, entries);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        QFETCH(QString, text);
        QCOMPARE(tabel::explainedPrice(PriceBasis{basePrice, entries, 100}, dayOff, shift), text);
    }

    void theColourIsWantedForPaintOnly()
    {
        ShiftEntryRow cutting = rowWith(QStringLiteral("А-100; Резка; Готовая продукция"));
        ShiftEntryRow paint = rowWith(QStringLiteral("А-100; покраска эмалью; Заготовки"));
        QCOMPARE(cutting.nextInput(WorkerColumn), OperationColumn);
        QCOMPARE(cutting.nextInput(QuantityColumn), RejectsColumn);
        QCOMPARE(cutting.nextInput(HoursColumn), -1); // Enter on "Время" saves
        QCOMPARE(paint.nextInput(HoursColumn), int(ColourColumn));
        QCOMPARE(paint.nextInput(ColourColumn), -1);
        QCOMPARE(paint.previousInput(PriceColumn), int(ColourColumn));
        QCOMPARE(cutting.previousInput(PriceColumn), int(HoursColumn));

        cutting.quantity = paint.quantity = QStringLiteral("10");
        cutting.colour = QStringLiteral("5"); // typed before the operation changed: not stored
        QCOMPARE(cutting.firstEmpty(), -1);
        QCOMPARE(cutting.record(WorkingDay{QDate(2024, 3, 5), 1, false, {}}).colour, 0);
        QCOMPARE(paint.firstEmpty(), int(ColourColumn));
        paint.colour = QStringLiteral("3");
        QCOMPARE(paint.firstEmpty(), -1);
        QCOMPARE(paint.record(WorkingDay{QDate(2024, 3, 5), 1, false, {}}).colour, 3);
    }

    void aLinePricedForItsDay()
    {
        ShiftEntryRow row = rowWith(QStringLiteral("А-100; Резка; Готовая продукция"));
        const WorkingDay day{QDate(2024, 3, 9), 3, true, {}};
        QCOMPARE(row.text(PriceColumn, day), QStringLiteral("6")); // 2.5 * 2 * 1.2
        QCOMPARE(row.text(AmountColumn, day), QString());          // no quantity yet
        row.quantity = QStringLiteral("10");
        row.rejects = QStringLiteral("1");
        QCOMPARE(row.text(AmountColumn, day), QStringLiteral("54,00"));
        const ProductionRecord record = row.record(day);
        QCOMPARE(record.price, 6.0);
        QCOMPARE(record.shift, 3);
        QCOMPARE(record.date, day.date);
        QCOMPARE(record.quantity, 10);
        QCOMPARE(record.rejects, 1);
    }

    void aCarriedWorkerIsNothingTyped()
    {
        ShiftEntryRow row;
        row.workerId = 7;
        row.worker = QStringLiteral("Иванов Иван");
        QVERIFY(!row.typed());
        QCOMPARE(row.firstEmpty(), int(OperationColumn));
        row.hours = QStringLiteral("8");
        QVERIFY(row.typed());
        QCOMPARE(ShiftEntryRow{}.firstEmpty(), int(WorkerColumn));
    }
};

QTEST_GUILESS_MAIN(TestShiftEntryParts)
#include "TestShiftEntryParts.moc"

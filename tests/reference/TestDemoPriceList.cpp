#include "common/ProductKind.h"
#include "reference/PriceListExport.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

// The price list over the demo factory: the data users first try the program on, with its
// operations that have no norm entries yet.
class TestDemoPriceList : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("demo_price_list"));
        QFile demo(QStringLiteral(TABEL_DEMO_DATA));
        QVERIFY2(demo.open(QIODevice::ReadOnly), qPrintable(demo.fileName()));
        m_db->run(QString::fromUtf8(demo.readAll()));
    }
    void cleanupTestCase() { m_db.reset(); }

    void listsEveryDemoOperation()
    {
        const int operations = m_db->count(QStringLiteral("select count(*) from accounts_dep.oper"));
        QVERIFY(operations > 20);
        // What the demo promises, and what makes this list differ from the operations list.
        QSqlQuery unpriced = m_db->database().execute(
            QStringLiteral("select trim(izdel.marka), trim(vid_oper.vid), oper.naimen from accounts_dep.oper "
                           "join accounts_dep.izdel on izdel.id = oper.i_id join accounts_dep.vid_oper on "
                           "vid_oper.id = oper.vid "
                           "where not exists (select 1 from accounts_dep.norm where norm.o_id = oper.id)"));
        QStringList withoutNorms;
        while (unpriced.next())
            withoutNorms << QStringList{unpriced.value(0).toString(), unpriced.value(1).toString(),
                                        productKindCaption(unpriced.value(2).toInt())}
                                .join(QLatin1Char('|'));
        QCOMPARE(withoutNorms.size(), 2);
        // The price each operation carries from before this program, by grade, type and kind.
        QSqlQuery stored = m_db->database().execute(
            QStringLiteral("select trim(izdel.marka), trim(vid_oper.vid), oper.naimen, oper.cena_new "
                           "from accounts_dep.oper join accounts_dep.izdel on izdel.id = oper.i_id "
                           "join accounts_dep.vid_oper on vid_oper.id = oper.vid"));
        QHash<QString, double> storedPrices;
        while (stored.next())
            storedPrices.insert(QStringList{stored.value(0).toString(), stored.value(1).toString(),
                                            productKindCaption(stored.value(2).toInt())}
                                    .join(QLatin1Char('|')),
                                stored.value(3).toDouble());
        QCOMPARE(storedPrices.size(), operations);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        ScriptedMessages messages;
        RecordingSpreadsheetViewer viewer;
        SpreadsheetWriter writer(messages, viewer, folder.path());
        PriceListExport(m_db->database(), writer).run();
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join(" | ")));
        QCOMPARE(viewer.opened().size(), 1);
        XlsxReader book(viewer.opened().first());
        QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));

        const QStringList header{"Марка", "Операция", "Цена", "Вид"};
        for (int column = 1; column <= header.size(); ++column) {
            const auto cell = book.cell(column, 1);
            QVERIFY(cell);
            QCOMPARE(cell->value, header.at(column - 1));
        }
        const QSet<QString> captions{"Готовая продукция", "Заготовки"};
        QSet<QString> kinds;
        QStringList exported;
        for (int row = 2; row <= operations + 1; ++row) {
            const auto grade = book.cell(1, row);
            const auto operation = book.cell(2, row);
            const auto price = book.cell(3, row);
            const auto kind = book.cell(4, row);
            QVERIFY2(grade && operation && price && kind, qPrintable(QString::number(row)));
            QVERIFY2(price->isNumber, qPrintable(price->value));
            QVERIFY2(captions.contains(kind->value), qPrintable(kind->value));
            kinds.insert(kind->value);
            const QString key =
                QStringList{grade->value.trimmed(), operation->value.trimmed(), kind->value}.join(
                    QLatin1Char('|'));
            exported << key;
            // Every demo operation has a price of its own, and the list shows that one.
            QVERIFY2(price->value.toDouble() > 0, qPrintable(key));
            QVERIFY2(storedPrices.contains(key), qPrintable(key));
            QCOMPARE(price->value.toDouble(), storedPrices.value(key));
        }
        QCOMPARE(kinds, captions);
        QVERIFY(!book.cell(1, operations + 2));
        QCOMPARE(book.cellCount(), 4 * (operations + 1));
        for (const QString& operation : withoutNorms)
            QVERIFY2(exported.contains(operation), qPrintable(operation));
    }
};

QTEST_GUILESS_MAIN(TestDemoPriceList)
#include "TestDemoPriceList.moc"

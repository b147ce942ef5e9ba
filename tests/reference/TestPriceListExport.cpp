#include "reference/PriceListExport.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

namespace {
// Operation 2 has no norm entries, operation 5 a NULL price as the legacy import may leave,
// operation 6 a product that does not exist (the join leaves it out), operation 7 no kind code
// at all. Grades and types are inserted out of order.
const char* const fixture = R"(
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values
  (10, 'Б-200', '', 6, 1), (11, 'А-100', '', 6, 2);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Сварка'), (2, 'Резка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (1, 1, 0, 10, 12.5), (2, 2, 1, 10, 0), (3, 2, 0, 10, 3), (4, 1, 5, 11, 0.1), (5, 2, 0, 11, NULL),
  (6, 2, 0, 999, 1), (7, 1, NULL, 10, 4);
insert into accounts_dep.norm (o_id, norma, price, prize) values (1, 10, 12.5, 0), (3, 10, 3, 0), (4, 1, 2, 0);
)";
} // namespace

class TestPriceListExport : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_folder;
    ScriptedMessages m_messages;
    RecordingSpreadsheetViewer m_viewer;

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("price_list"));
        m_db->run(QString::fromUtf8(fixture));
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_messages.clear();
        m_viewer = RecordingSpreadsheetViewer();
    }
    void cleanup()
    {
        m_db.reset();
        m_folder.reset();
    }

    void listsEveryOperationInGradeTypeKindOrder()
    {
        SpreadsheetWriter writer(m_messages, m_viewer, m_folder->path());
        PriceListExport priceList(m_db->database(), writer);
        priceList.run();

        QVERIFY2(m_messages.shown().isEmpty(), qPrintable(m_messages.texts().join(" | ")));
        QCOMPARE(m_viewer.opened().size(), 1);
        XlsxReader book(m_viewer.opened().first());
        QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));

        struct Expected
        {
            QString grade, operation;
            double price;
            QString kind;
        };
        const QList<Expected> rows{
            {"А-100", "Резка", 0, "Готовая продукция"},     {"А-100", "Сварка", 0.1, "Заготовки"},
            {"Б-200", "Резка", 3, "Готовая продукция"},     {"Б-200", "Резка", 0, "Заготовки"},
            {"Б-200", "Сварка", 12.5, "Готовая продукция"}, {"Б-200", "Сварка", 4, "Заготовки"},
        };
        const QStringList header{"Марка", "Операция", "Цена", "Вид"};
        for (int column = 1; column <= header.size(); ++column) {
            const auto cell = book.cell(column, 1);
            QVERIFY(cell);
            QVERIFY(!cell->isNumber);
            QCOMPARE(cell->value, header.at(column - 1));
        }
        for (int i = 0; i < rows.size(); ++i) {
            const int row = i + 2;
            const Expected& expected = rows.at(i);
            const auto grade = book.cell(1, row);
            const auto operation = book.cell(2, row);
            const auto price = book.cell(3, row);
            const auto kind = book.cell(4, row);
            QVERIFY(grade && operation && price && kind);
            QCOMPARE(grade->value, expected.grade);
            QCOMPARE(operation->value, expected.operation);
            QVERIFY2(price->isNumber, qPrintable(price->value));
            QCOMPARE(price->value.toDouble(), expected.price);
            QCOMPARE(kind->value, expected.kind);
        }
        QCOMPARE(book.cellCount(), 4 * (rows.size() + 1));
    }

    void writerThatCannotOpenStopsTheExport()
    {
        const QString notAFolder = m_folder->filePath(QStringLiteral("file"));
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        SpreadsheetWriter writer(m_messages, m_viewer, notAFolder);
        PriceListExport priceList(m_db->database(), writer);
        priceList.run();

        // Only the writer's own message: no cell write was tried, so no write error either.
        QCOMPARE(m_messages.texts(), QStringList{"Невозможно открыть Microsoft Excel."});
        QVERIFY(m_viewer.opened().isEmpty());
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"file"});
    }
};

QTEST_GUILESS_MAIN(TestPriceListExport)
#include "TestPriceListExport.moc"

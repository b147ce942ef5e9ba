// How long the editing windows keep a user waiting on a big plant's database: opening the
// operations list, and saving one production record from validation to the reloaded list
// (duplicate check, insert, ledger recompute, shift list reopened). Each save is rolled back,
// so the database is left as it was.
//
//   tabel_bench_editing SOCKET_FOLDER DATABASE [RUNS]

#include "Figures.h"

#include "common/Clock.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "production_log/ProductionRecordSaver.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>

using namespace tabel;
using namespace tabel::bench;

namespace {
class SilentMessages : public Messages
{
public:
    MessageAnswer show(const Message&) override { return MessageAnswer::Ok; }
};

void print(QTextStream& out, const QString& what, const Figures& f)
{
    out << QString("  %1 %2 %3 %4\n")
               .arg(what, -58)
               .arg(f.median, 8, 'f', 2)
               .arg(f.p90, 8, 'f', 2)
               .arg(f.min, 8, 'f', 2);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: tabel_bench_editing SOCKET_FOLDER DATABASE [RUNS]\n";
        return 2;
    }
    const int runs = args.size() > 3 ? args.at(3).toInt() : 30;
    ConnectionSettings settings;
    settings.host = args.at(1);
    settings.database = args.at(2);
    Database database;
    database.open(settings);
    SilentMessages messages;
    DataModule module(database);
    QTextStream out(stdout);

    out << "Editing on " << settings.database << ", " << runs
        << " runs after 2 untimed; median / p90 / min ms\n";

    QList<double> openings;
    for (int run = 0; run < runs + 2; ++run) {
        const double ms = wallClock([&] { module.operations().reopen(); })();
        if (run >= 2)
            openings << ms;
    }
    out << "  (" << module.operations().rowCount() << " operations with prices)\n";
    print(out, QStringLiteral("operations list opened (Oper, all rows fetched)"), figuresOf(openings));

    // Records of real workers and operations on the newest day with records.
    QSqlQuery sample = database.execute(QStringLiteral(
        "select w_id, i_id, o_id, data, smena from accounts_dep.smena where data = (select max(data) from "
        "accounts_dep.smena) order by id limit 200"));
    QList<ProductionRecord> records;
    while (sample.next()) {
        ProductionRecord r;
        r.workerId = sample.value(0).toInt();
        r.productId = sample.value(1).toInt();
        r.operationId = sample.value(2).toInt();
        r.date = sample.value(3).toDate();
        r.shift = sample.value(4).toInt();
        r.price = 2.5;
        r.quantity = 10;
        r.hours = 4;
        r.colour = 900000 + int(QRandomGenerator::global()->bounded(1000)); // a colour no record has
        records << r;
    }
    if (records.isEmpty()) {
        out << "no records to copy\n";
        return 1;
    }
    FixedClock clock(records.first().date);
    module.setDailyListDate(records.first().date);
    module.setDailyListExcludedMark(QStringLiteral("ta"));
    QList<double> saves;
    for (int run = 0; run < runs + 2; ++run) {
        const ProductionRecord& record = records.at(run % records.size());
        const double ms = wallClock([&] {
            Transaction outer(database); // rolled back: the benchmark leaves no trace
            ProductionRecordSaver(module, messages, clock).add(record);
            module.dailyList(record.shift).reopen();
        })();
        if (run >= 2)
            saves << ms;
    }
    print(out, QStringLiteral("one save: check, insert, ledger, shift list reopened"), figuresOf(saves));
    out << "Goal: one save <= 30 ms: " << (figuresOf(saves).median <= 30 ? "met" : "NOT met") << "\n";
    return 0;
}

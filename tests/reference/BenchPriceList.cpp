// Time to export the price list of many operations, from the statement to the workbook file
// handed to the viewer. Prints figures; it checks nothing and is not one of the tests.
//
//   TABEL_TEST_PGHOST=<socket folder> tabel_bench_price_list [--operations N] [--runs N]
//
// The server and template come from the same variables as the tests (scripts/test).

#include "db/Database.h"
#include "reference/PriceListExport.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace tabel;

namespace {

int option(const QStringList& arguments, const QString& name, int fallback)
{
    const int at = int(arguments.indexOf(name));
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
}

double elapsedMs(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return double(timer.nsecsElapsed()) / 1e6;
}

QString figures(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const double median =
        ms.size() % 2 ? ms.at(ms.size() / 2) : (ms.at(ms.size() / 2 - 1) + ms.at(ms.size() / 2)) / 2;
    return QStringLiteral("median %1 ms, min %2 ms, max %3 ms")
        .arg(median, 0, 'f', 1)
        .arg(ms.first(), 0, 'f', 1)
        .arg(ms.last(), 0, 'f', 1);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int operations = option(arguments, QStringLiteral("--operations"), 10000);
    const int runs = std::max(1, option(arguments, QStringLiteral("--runs"), 7));
    QTextStream out(stdout);

    TestDatabase db(QStringLiteral("bench_price_list"));
    // Ten operation types for every product, half of them for blanks.
    const int products = std::max(1, (operations + 9) / 10);
    db.run(
        QStringLiteral("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa) "
                       "select 'М-' || lpad(g::text, 6, '0'), '', 6, 1 from generate_series(1, :products) g"),
        {{":products", products}});
    db.run(QStringLiteral(
        "insert into accounts_dep.vid_oper (vid) select 'Операция ' || g from generate_series(1, 10) g"));
    db.run(QStringLiteral(
               "insert into accounts_dep.oper (vid, naimen, i_id, cena_new) "
               "select v.id, ((p.id + v.id) % 2)::smallint, p.id, round((random() * 100)::numeric, 3) "
               "from accounts_dep.vid_oper v cross join cmn_gds_and_srv.gds_and_srv p "
               "order by p.id, v.id limit :operations"),
           {{":operations", operations}});
    db.run(QStringLiteral("analyze"));
    const int rows = db.count(QStringLiteral("select count(*) from accounts_dep.oper"));

    QTemporaryDir folder;
    ScriptedMessages messages;
    RecordingSpreadsheetViewer viewer;
    SpreadsheetWriter writer(messages, viewer, folder.path());
    PriceListExport priceList(db.database(), writer);

    QList<double> exportMs;
    QList<double> queryMs;
    qint64 fileSize = 0;
    for (int run = 0; run <= runs; ++run) { // the first run warms caches and is not counted
        const double whole = elapsedMs([&] { priceList.run(); });
        const double query = elapsedMs([&] {
            QSqlQuery result = db.database().execute(PriceListExport::statement());
            while (result.next()) {
            }
        });
        fileSize = QFileInfo(viewer.opened().last()).size();
        for (const QString& file : QDir(folder.path()).entryList(QDir::Files))
            QFile::remove(folder.filePath(file));
        if (run > 0) {
            exportMs.append(whole);
            queryMs.append(query);
        }
    }
    if (!messages.shown().isEmpty())
        out << "messages shown: " << messages.texts().join(QStringLiteral(" | ")) << "\n";
    out << "price list of " << rows << " operations, " << runs << " runs, workbook " << fileSize / 1024
        << " KiB\n";
    out << "  export (statement, cells, file): " << figures(exportMs) << "\n";
    out << "  statement alone:                 " << figures(queryMs) << "\n";
    return 0;
}

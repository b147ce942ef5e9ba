// How long the shift entry keeps a foreman waiting on a big plant's database: the completion
// list answering a key over every worker and every operation that can be chosen, and one line
// saved after its Enter. When the database has fewer than 5,000 such operations, the missing
// ones are added inside a transaction that is rolled back at the end, as every save is: the
// database is left as it was.
//
//   tabel_bench_shift_entry SOCKET_FOLDER DATABASE [RUNS]

#include "Figures.h"

#include "common/Clock.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "production_log/PriceBasisQuery.h"
#include "production_log/ShiftEntryChoices.h"
#include "production_log/ShiftEntryWindow.h"
#include "production_log/ShiftRowSaver.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>

using namespace tabel;
using namespace tabel::bench;

namespace {
constexpr int wantedOperations = 5000;

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

double maximum(const QList<double>& ms)
{
    return ms.isEmpty() ? 0 : *std::max_element(ms.begin(), ms.end());
}

// Operations of the existing products and types, each with one norm entry, until there are
// wantedOperations that can be chosen. Inside the caller's transaction.
int addOperations(Database& database, int have)
{
    const int missing = wantedOperations - have;
    if (missing <= 0)
        return 0;
    database.execute(
        QStringLiteral(
            "with made as (insert into accounts_dep.oper (vid, naimen, i_id, cena_new) "
            "select (select id from accounts_dep.vid_oper order by id offset (g % greatest(1, (select "
            "count(*) from accounts_dep.vid_oper))) limit 1), g % 2, (select id from accounts_dep.izdel "
            "order by id offset (g % greatest(1, (select count(*) from accounts_dep.izdel))) limit 1), 0 "
            "from generate_series(1, :n) g returning id) "
            "insert into accounts_dep.norm (o_id, norma, price, prize) select id, 100, 1.5, 0 from made"),
        {{":n", missing}});
    return missing;
}

// What a foreman types into the cells: the start of names, a letter at a time.
QStringList typedWorkerKeys(const ShiftEntryChoices& choices, int count)
{
    QStringList keys;
    for (int i = 0; i < count && !choices.workers().isEmpty(); ++i) {
        const QString name =
            choices.workers().at(QRandomGenerator::global()->bounded(choices.workers().size())).text;
        for (int length = 1; length <= std::min<qsizetype>(4, name.size()); ++length)
            keys << name.left(length);
    }
    return keys;
}

QStringList typedOperationKeys(const ShiftEntryChoices& choices, int count)
{
    QStringList keys;
    for (int i = 0; i < count && !choices.operations().isEmpty(); ++i) {
        const QString text =
            choices.operations().at(QRandomGenerator::global()->bounded(choices.operations().size())).text;
        // "кор кр": the grade's start, a blank, the start of the operation type.
        const QStringList parts = text.split(QStringLiteral("; "));
        const QString typed = parts.value(0).left(3) + QLatin1Char(' ') + parts.value(1).left(2);
        for (int length = 1; length <= typed.size(); ++length)
            keys << typed.left(length);
    }
    return keys;
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: tabel_bench_shift_entry SOCKET_FOLDER DATABASE [RUNS]\n";
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
    out << "Shift entry on " << settings.database << "; median / p90 / min ms\n";

    Transaction outer(database); // rolled back at the end: the benchmark leaves no trace
    ShiftEntryChoices choices;
    choices.load(database);
    const int added = addOperations(database, int(choices.operations().size()));
    QList<double> loads;
    for (int run = 0; run < 5; ++run)
        loads << wallClock([&] { choices.load(database); })();
    out << "  (" << choices.workers().size() << " workers, " << choices.operations().size()
        << " operations with prices";
    if (added > 0)
        out << ", " << added << " of them added for the run and rolled back";
    out << ")\n";
    print(out, QStringLiteral("workers and operations read at opening"), figuresOf(loads));

    QList<double> workerKeys;
    for (const QString& typed : typedWorkerKeys(choices, 500))
        workerKeys << wallClock([&] { choices.matchingWorkers(typed, 50); })();
    print(out, QStringLiteral("worker completion, one key"), figuresOf(workerKeys));
    QList<double> operationKeys;
    for (const QString& typed : typedOperationKeys(choices, 300))
        operationKeys << wallClock([&] { choices.matchingOperations(typed, 50); })();
    print(out, QStringLiteral("operation completion, one key"), figuresOf(operationKeys));

    // Through the window: a key typed into the cell until the list under it is filled.
    QSqlQuery day = database.execute(QStringLiteral("select max(data) from accounts_dep.smena"));
    const QDate newest = day.next() ? day.value(0).toDate() : QDate::currentDate();
    FixedClock clock(newest);
    module.setDailyListDate(newest);
    module.setDailyListExcludedMark(QStringLiteral("ta"));
    module.dailyList(1).open();
    ShiftEntryWindow window(module, messages, clock);
    window.prepare({newest, 1, false, {}});
    window.show();
    QApplication::processEvents();
    QList<double> windowKeys;
    const QStringList typedInWindow = typedWorkerKeys(choices, 100);
    for (const QString& typed : typedInWindow) {
        QLineEdit* cell = window.cellEditor();
        if (typed.size() == 1)
            cell->clear();
        windowKeys << wallClock([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed.right(1));
            QApplication::sendEvent(cell, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed.right(1));
            QApplication::sendEvent(cell, &release);
            QApplication::processEvents();
        })();
    }
    print(out, QStringLiteral("worker key in the window, list shown"), figuresOf(windowKeys));
    window.hide();
    const double worstKey = std::max({maximum(workerKeys), maximum(operationKeys), maximum(windowKeys)});
    out << "  slowest key of all: " << QString::number(worstKey, 'f', 2) << " ms\n";
    out << "Goal: completion <= 50 ms after a key: " << (worstKey <= 50 ? "met" : "NOT met") << "\n";

    // Lines of real workers and operations, saved on the day after the newest, where none of
    // them is a duplicate yet; each save is undone before the next.
    QSqlQuery sample = database.execute(
        QStringLiteral(
            "select w_id, i_id, o_id from accounts_dep.smena where data = :d order by id limit 200"),
        {{":d", newest}});
    QList<ShiftEntryRow> rows;
    while (sample.next()) {
        ShiftEntryRow row;
        row.workerId = sample.value(0).toInt();
        row.worker = QStringLiteral("бенч");
        row.operation =
            ShiftEntryOperation{sample.value(1).toInt(), sample.value(2).toInt(),
                                QStringLiteral("бенч; резка; Готовая продукция"), PriceBasis{2.5, 1, 1}};
        row.quantity = QStringLiteral("10");
        row.hours = QStringLiteral("4");
        rows << row;
    }
    if (rows.isEmpty()) {
        out << "no records to copy\n";
        return 1;
    }
    const WorkingDay saveDay{newest.addDays(1), 1, false, {}};
    QList<double> saves;
    QList<double> bases;
    int refused = 0;
    for (int run = 0; run < runs + 2; ++run) {
        const ShiftEntryRow& row = rows.at(run % rows.size());
        database.execute(QStringLiteral("savepoint line"));
        const double basis = wallClock([&] { readPriceBasis(database, row.operation->operationId); })();
        const double ms = wallClock([&] {
            if (!ShiftRowSaver(module, clock, saveDay).save(row).saved)
                ++refused;
        })();
        database.execute(QStringLiteral("rollback to savepoint line"));
        if (run >= 2) {
            saves << ms;
            bases << basis;
        }
    }
    print(out, QStringLiteral("price basis read when the operation is taken"), figuresOf(bases));
    print(out, QStringLiteral("one line saved (checks, insert, ledger)"), figuresOf(saves));
    if (refused > 0)
        out << "  (" << refused << " saves refused)\n";
    out << "Goal: one line saved <= 30 ms after its Enter: "
        << (figuresOf(saves).median <= 30 ? "met" : "NOT met") << "\n";
    return 0;
}

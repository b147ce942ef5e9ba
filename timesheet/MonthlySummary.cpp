#include "timesheet/MonthlySummary.h"

#include "db/Database.h"
#include "db/SharedStatements.h"

#include <QVariant>

namespace tabel {

QString MonthlySummary::statement()
{
    return QStringList{
        QStringLiteral(
            "select person.s_caption fio,sum(d1) as sd1,sum(d2) as sd2,sum(d3) as sd3,sum(d4) as sd4,"),
        QStringLiteral("sum(d5) as sd5,sum(d6) as sd6,sum(d7) as sd7,sum(d8) as sd8,sum(d9) as sd9,"),
        QStringLiteral("sum(d10) as sd10,sum(d11) as sd11,sum(d12) as sd12,sum(d13) as sd13,"),
        QStringLiteral("sum(d14) as sd14,sum(d15) as sd15,sum(d16) as sd16,sum(d17) as sd17,"),
        QStringLiteral("sum(d18) as sd18,sum(d19) as sd19,sum(d20) as sd20,sum(d21) as sd21,"),
        QStringLiteral("sum(d22) as sd22,sum(d23) as sd23,sum(d24) as sd24,sum(d25) as sd25,"),
        QStringLiteral("sum(d26) as sd26,sum(d27) as sd27,sum(d28) as sd28,sum(d29) as sd29,"),
        QStringLiteral("sum(d30) as sd30,sum(d31) as sd31 from accounts_dep.h_tabel, ") +
            statements::recordPersons() + QStringLiteral(" person where"),
        QStringLiteral("h_tabel.w_id=person.worker_id and month=:mnth and"),
        QStringLiteral("year=:yea group by fio order by fio"),
    }
        .join(QLatin1Char('\n'));
}

QSqlQuery MonthlySummary::open(Database& database, int month, int year)
{
    return database.execute(statement(), {{QStringLiteral(":mnth"), month}, {QStringLiteral(":yea"), year}});
}

qint64 MonthlySummary::dayHours(const QSqlQuery& row, int day)
{
    // Column 0 is the name; day d is column d.
    return row.value(day).toLongLong();
}

qint64 MonthlySummary::monthHours(const QSqlQuery& row)
{
    qint64 total = 0;
    for (int day = 1; day <= days; ++day)
        total += dayHours(row, day);
    return total;
}

const QStringList& monthNames()
{
    static const QStringList names = {
        QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
        QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
        QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
        QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь"),
    };
    return names;
}

} // namespace tabel

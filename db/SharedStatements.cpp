#include "db/SharedStatements.h"

#include <QStringList>

namespace tabel::statements {

namespace {
// True for a person whose code is not exactly the text of its id. Where it is false, the
// person's number is its id; the test is cheap enough to run on every person before the
// dearer reading of the code as a number.
QString codeIsNotId(const QString& person)
{
    return QStringLiteral("%1.s_code collate \"C\" is distinct from %1.id::text").arg(person);
}
} // namespace

QString workers()
{
    return QStringLiteral("select * from accounts_dep.person order by fio");
}

QString products()
{
    return QStringLiteral("select *  from accounts_dep.IZDEL order by marka");
}

QString operationTypes()
{
    return QStringLiteral("select * from accounts_dep.VID_OPER order by vid");
}

QString operations()
{
    return QStringList{
        QStringLiteral("select izdel.MARKA, vid_oper.VID, oper.NAIMEN, (SELECT (CASE naimen WHEN 0 THEN "
                       "'Готовая продукция' ELSE 'Заготовки' END)) as nmn,"),
        QStringLiteral("count(o_id) norma, min(price)::numeric cena,"),
        QStringLiteral("oper.id, oper.i_id, oper.VID as oper_vid from "
                       "accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where "
                       "OPER.i_id=IZDEL.id and norm.o_id=oper.id"),
        QStringLiteral("and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, "
                       "oper.i_id, oper.VID order by izdel.marka, vid_oper.vid, oper.naimen"),
    }
        .join(QLatin1Char('\n'));
}

QString dailyList(int shift)
{
    // A record is listed once for every person whose id or whose number (s_code) is its
    // worker. Written as one join with "w_id=person.id or number=w_id", the server
    // can only test every record of the day against every person; the two halves below
    // give exactly the same rows and each runs as a hash join. The last condition of the
    // second half follows from the two before it; it is there so that the server can
    // leave out the persons whose number is their id before joining, instead of sorting
    // every person by number; and where every code is its person's id, as for everyone
    // entered through this program, the "exists" lets it skip the second half altogether.
    // The "exists" compares texts, which costs a fraction of reading every code as a number.
    const QString columns = QStringLiteral(
        "select smena.id, smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, \n"
        "smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN "
        "'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen,  smena.brak, "
        "smena.kol_vo::numeric,\n"
        "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, color,time, smena.ok, vvod, "
        "smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use\n"
        "from cmn_contractor.person person, "
        "accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper \n");
    const QString day =
        QStringLiteral("oper.vid=vid_oper.id and smena.smena=%1 and smena.data=:data and ok<>:ok").arg(shift);
    const QString order = shift == 1 ? QStringLiteral("order by fio, marka, vid, naimen, color")
                                     : QStringLiteral("order by fio");
    return columns +
           QStringLiteral("where smena.i_id=izdel.id and smena.o_id=oper.id and w_id=person.id and \n") +
           day + QStringLiteral("\nunion all\n") + columns +
           QStringLiteral("where smena.i_id=izdel.id and smena.o_id=oper.id and %1=w_id "
                          "and person.id is distinct from w_id and %1 <> person.id and exists (select 1 from "
                          "cmn_contractor.person numbered where %2) and \n")
               .arg(personNumber(QStringLiteral("person")), codeIsNotId(QStringLiteral("numbered"))) +
           day + QLatin1Char('\n') + order;
}

QString timesheetRows(int shift)
{
    return QStringList{
        QStringLiteral("select person.s_caption fio, h_tabel.*,(d1+d2+d3+d4+d5+d6+d7+d8+d9+d10+d11"),
        QStringLiteral("+d12+d13+d14+d15+d16+d17+d18+d19+d20+d21+d22+d23+d24+d25"),
        QStringLiteral("+d26+d27+d28+d29+d30+d31) as summ from accounts_dep.h_tabel, ") + recordPersons() +
            QStringLiteral(" person where"),
        QStringLiteral("h_tabel.w_id=person.worker_id and h_tabel.smena=%1 and month=:mnth and ").arg(shift),
        QStringLiteral("year=:yea order by fio"),
    }
        .join(QLatin1Char('\n'));
}

QString personNumber(const QString& person)
{
    // A bare cast fails on any code that is not a number; CASE evaluates its branches in
    // order, so each cast only sees what the test before it let through. The pattern under
    // "C" takes only ASCII blanks and digits, all of which the casts accept in any locale, and
    // the numeric comparison keeps a number too long for an integer away from its cast. The
    // first branch answers the usual case, a code that is the id, without the pattern.
    return QStringLiteral("case when %1.s_code collate \"C\" = %1.id::text then %1.id "
                          "when %1.s_code collate \"C\" ~ '^\\s*[-+]?[0-9]+\\s*$' then "
                          "case when %1.s_code::numeric between -2147483648 and 2147483647 "
                          "then %1.s_code::integer end end")
        .arg(person);
}

QString recordPersons()
{
    // Numbered persons fully joined to persons by id on number = id: a number that has persons
    // gives them; an id that is nobody's number comes alone from the other side. The owner's
    // name is then read from the person table itself, so that the server estimates rows and
    // widths as for the table, and the statements around keep the plans they had with it. A
    // union of the two halves was estimated at half again as many rows, and names taken
    // through the join were estimated as wide as the column allows; either turned the year's
    // summaries to slower plans.
    return QStringLiteral(
               "(select person.id, person.s_caption, owner.worker_id from (select "
               "coalesce(numbered.id, by_id.id) as id, coalesce(numbered.worker_id, by_id.id) as "
               "worker_id from (select person.id, %1 as worker_id from cmn_contractor.person person) "
               "numbered full join cmn_contractor.person by_id on numbered.worker_id=by_id.id) owner "
               "join cmn_contractor.person person on person.id=owner.id where owner.worker_id is not null)")
        .arg(personNumber(QStringLiteral("person")));
}

} // namespace tabel::statements

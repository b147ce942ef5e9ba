#include "production_log/ProductionRecordSaver.h"

#include "common/Clock.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "db/ReferenceUse.h"
#include "db/SharedStatements.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"

#include <QSqlQuery>
#include <tuple>

namespace tabel {

ProductionRecordSaver::ProductionRecordSaver(DataModule& dataModule, Messages& messages, const Clock& clock)
    : m_dataModule(dataModule), m_messages(messages), m_clock(clock)
{
}

SqlParams ProductionRecordSaver::recordParams(const ProductionRecord& record) const
{
    return {{":w", record.workerId}, {":i", record.productId},     {":o", record.operationId},
            {":cena", record.price}, {":kol_vo", record.quantity}, {":brak", record.rejects},
            {":data", record.date},  {":s", record.shift},         {":color", record.colour},
            {":time", record.hours}, {":vvod", m_clock.today()}};
}

QString ProductionRecordSaver::goneReference(const ProductionRecord& record, Fault& fault)
{
    Database& db = m_dataModule.database();
    ReferenceUse(db).holdForSave(record.workerId, record.operationId);
    // A record finds its worker by the person's id or by the person's number.
    fault = Fault::Worker;
    if (db.readInt(
            QStringLiteral("select count(*) as n from cmn_contractor.person person where id=:w or %1=:w")
                .arg(statements::personNumber(QStringLiteral("person"))),
            QStringLiteral("n"), {{":w", record.workerId}}) == 0)
        return QStringLiteral("Рабочий удалён из списка, запись не сохранена. Выберите рабочего заново.");
    fault = Fault::Operation;
    if (db.readInt(QStringLiteral("select count(*) as n from accounts_dep.oper where id=:o"),
                   QStringLiteral("n"), {{":o", record.operationId}}) == 0)
        return QStringLiteral("Операция удалена из списка, запись не сохранена. Выберите операцию заново.");
    if (db.readInt(QStringLiteral("select count(*) as n from accounts_dep.izdel where id=:i"),
                   QStringLiteral("n"), {{":i", record.productId}}) == 0)
        return QStringLiteral("Изделие удалено из списка, запись не сохранена. Выберите операцию заново.");
    return QString();
}

bool ProductionRecordSaver::refuse(Fault fault, const QString& text)
{
    m_lastFault = fault;
    m_messages.error(text);
    return true;
}

bool ProductionRecordSaver::refused(const ProductionRecord& record, std::optional<int> excludedId)
{
    m_lastFault = Fault::None;
    if (record.rejects > record.quantity)
        return refuse(Fault::Rejects, QStringLiteral("Брак не может быть больше количества!"));
    // A working day has 24 hours, and the ledger's day column could not hold much more.
    if (record.hours > maxDayHours)
        return refuse(Fault::Hours, QStringLiteral("Время не может быть больше 24 часов!"));
    Fault goneFault = Fault::None;
    if (const QString gone = goneReference(record, goneFault); !gone.isEmpty()) {
        m_dataModule.database().rollback();
        return refuse(goneFault, gone);
    }
    const bool duplicate = m_dataModule.isDuplicate(
        QStringLiteral("smena/%1/%2/%3/%4/%5/%6")
            .arg(record.workerId)
            .arg(record.operationId)
            .arg(record.productId)
            .arg(record.date.toString(Qt::ISODate))
            .arg(record.shift)
            .arg(record.colour),
        QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id=:w and o_id=:o and "
                       "i_id=:i and data=:data and smena=:s and color=:color"),
        {{":w", record.workerId},
         {":o", record.operationId},
         {":i", record.productId},
         {":data", record.date},
         {":s", record.shift},
         {":color", record.colour}},
        excludedId);
    if (duplicate)
        return refuse(Fault::Duplicate, QStringLiteral("Позиция с такими параметрами уже заведена!"));
    const int others = HoursLedger(m_dataModule.database())
                           .dayHours(record.workerId, record.shift, record.date, excludedId.value_or(0));
    if (others + record.hours > maxDayHours) {
        m_dataModule.database().rollback();
        return refuse(Fault::DayHours, QStringLiteral("У рабочего за эту смену и день уже %1 ч.: вместе с "
                                                      "этой записью получится больше 24 часов!")
                                           .arg(others));
    }
    return false;
}

bool ProductionRecordSaver::add(const ProductionRecord& record)
{
    Database& db = m_dataModule.database();
    Transaction transaction(db);
    if (refused(record, std::nullopt))
        return false;
    db.execute(
        QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                       "color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, "
                       "id_cons_use) values(:w, :i, :o, :cena, :kol_vo, :brak, :data, :s, :color, :time, "
                       ":vvod, 'no', 0, 0, 0, 0, 0, 0)"),
        recordParams(record));
    HoursLedger(db).recomputeAfterSave(record.workerId, record.shift, record.date);
    transaction.commit();
    return true;
}

bool ProductionRecordSaver::change(int recordId, const ProductionRecord& record)
{
    Database& db = m_dataModule.database();
    Transaction transaction(db);
    if (refused(record, recordId))
        return false;
    // Where the record stands now, not where this window saw it: another copy may have
    // moved it since, and the day it leaves must be the one it really leaves.
    QSqlQuery stored =
        db.execute(QStringLiteral("select w_id, data, smena from accounts_dep.smena where id=:id for update"),
                   {{":id", recordId}});
    if (!stored.next()) {
        db.rollback(); // nothing to keep locked while the user reads why
        m_messages.error(QStringLiteral("Позиция не найдена: её уже удалили."));
        return false;
    }
    const int storedWorker = stored.value(0).toInt();
    const QDate storedDate = stored.value(1).toDate();
    const int storedShift = stored.value(2).toInt();
    db.execute(
        QStringLiteral("update accounts_dep.SMENA set w_id=:w, i_id=:i, o_id=:o, cena=:cena, kol_vo=:kol_vo, "
                       "brak=:brak, data=:data, smena=:s, color=:color, time=:time, vvod=:vvod, prize=0, "
                       "id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, id_cons_use=0 where id=:id"),
        recordParams(record) << SqlParams{{":id", recordId}});
    // A record moved to another worker, day or shift leaves its old day behind. The two
    // days are taken in a fixed order so that two clients moving records in opposite
    // directions never wait for each other's ledger rows.
    using Day = std::tuple<int, int, QDate>;
    Day joined{record.workerId, record.shift, record.date};
    Day left{storedWorker, storedShift, storedDate};
    if (left < joined)
        std::swap(left, joined);
    HoursLedger ledger(db);
    ledger.recomputeAfterSave(std::get<0>(joined), std::get<1>(joined), std::get<2>(joined));
    if (left != joined)
        ledger.recomputeAfterSave(std::get<0>(left), std::get<1>(left), std::get<2>(left));
    transaction.commit();
    return true;
}

} // namespace tabel

#include "legacy_import/ImportSteps.h"

namespace tabel {

namespace {
QList<ImportField> integers(const QStringList& names)
{
    QList<ImportField> fields;
    for (const QString& name : names)
        fields.append({name, FieldKind::Integer});
    return fields;
}

QList<ImportField> timesheetFields()
{
    QStringList names = {QStringLiteral("id"), QStringLiteral("w_id"), QStringLiteral("month"),
                         QStringLiteral("year"), QStringLiteral("smena")};
    for (int day = 1; day <= 31; ++day)
        names.append(QStringLiteral("d%1").arg(day));
    return integers(names);
}
} // namespace

const QList<ImportStep>& legacyImportSteps()
{
    using K = FieldKind;
    static const QList<ImportStep> steps = {
        {QStringLiteral("H_TABEL"), QStringLiteral("accounts_dep.h_tabel"), SourceConnection::Legacy, true,
         timesheetFields()},
        {QStringLiteral("IZDEL"),
         QStringLiteral("accounts_dep.izdel"),
         SourceConnection::Legacy,
         true,
         {{QStringLiteral("id"), K::Integer},
          {QStringLiteral("marka"), K::Text},
          {QStringLiteral("nom"), K::Text},
          {QStringLiteral("massa"), K::Decimal}}},
        {QStringLiteral("NOMENKL"),
         QStringLiteral("accounts_dep.nomenkl"),
         SourceConnection::Legacy,
         false,
         {{QStringLiteral("marka"), K::Text}, {QStringLiteral("nom"), K::Text}}},
        {QStringLiteral("OPER"),
         QStringLiteral("accounts_dep.oper"),
         SourceConnection::Legacy,
         true,
         {{QStringLiteral("id"), K::Integer},
          {QStringLiteral("vid"), K::Integer},
          {QStringLiteral("naimen"), K::Integer},
          {QStringLiteral("cena"), K::Decimal},
          {QStringLiteral("i_id"), K::Integer}}},
        {QStringLiteral("VID_OPER"),
         QStringLiteral("accounts_dep.vid_oper"),
         SourceConnection::Legacy,
         true,
         {{QStringLiteral("id"), K::Integer}, {QStringLiteral("vid"), K::Text}}},
        {QStringLiteral("WORKERS"),
         QStringLiteral("accounts_dep.workers"),
         SourceConnection::Legacy,
         true,
         {{QStringLiteral("id"), K::Integer},
          {QStringLiteral("fio"), K::Text},
          {QStringLiteral("addr"), K::Text}}},
        {QStringLiteral("smena"),
         QStringLiteral("accounts_dep.smena"),
         SourceConnection::Main,
         true,
         {{QStringLiteral("id"), K::Integer},
          {QStringLiteral("w_id"), K::Integer},
          {QStringLiteral("i_id"), K::Integer},
          {QStringLiteral("o_id"), K::Integer},
          {QStringLiteral("kol_vo"), K::Integer},
          {QStringLiteral("brak"), K::Integer},
          {QStringLiteral("smena"), K::Integer},
          {QStringLiteral("cena"), K::Decimal},
          {QStringLiteral("color"), K::Integer},
          {QStringLiteral("ok"), K::ThroughText},
          {QStringLiteral("data"), K::ThroughText},
          {QStringLiteral("time"), K::ThroughText},
          {QStringLiteral("vvod"), K::ThroughText}}},
    };
    return steps;
}

} // namespace tabel

#include "legacy_import/LegacyFixture.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <odbcinst.h>

namespace tabel {

namespace {
// Debian installs the ODBC drivers under the architecture's library folder.
QString driverFile(const QString& name)
{
    const QStringList found = QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*")}, QDir::Dirs);
    for (const QString& folder : found) {
        const QString path = QStringLiteral("/usr/lib/%1/odbc/%2").arg(folder, name);
        if (QFile::exists(path))
            return path;
    }
    qFatal("ODBC driver %s is not installed (scripts/install-deps)", qPrintable(name));
}

const char* const legacySchema[] = {
    "create table H_TABEL (w_id integer, month smallint, smena smallint, year smallint, id integer primary "
    "key "
    "autoincrement, d1 smallint, d2 smallint, d3 smallint, d4 smallint, d5 smallint, d6 smallint, d7 "
    "smallint, d8 "
    "smallint, d9 smallint, d10 smallint, d11 smallint, d12 smallint, d13 smallint, d14 smallint, d15 "
    "smallint, d16 "
    "smallint, d17 smallint, d18 smallint, d19 smallint, d20 smallint, d21 smallint, d22 smallint, d23 "
    "smallint, d24 "
    "smallint, d25 smallint, d26 smallint, d27 smallint, d28 smallint, d29 smallint, d30 smallint, d31 "
    "smallint)",
    "create table IZDEL (MARKA varchar(50), ID integer primary key autoincrement, nom varchar(100), massa "
    "decimal(19,4))",
    "create table NOMENKL (Nom varchar(150), marka varchar(7))",
    "create table OPER (ID integer primary key autoincrement, VID integer, NAIMEN smallint, CENA "
    "decimal(19,4), "
    "I_ID integer)",
    "create table VID_OPER (VID varchar(50), ID integer primary key autoincrement)",
    "create table WORKERS (FIO varchar(50), ID integer primary key autoincrement, ADDR varchar(100))",
};
} // namespace

LegacyFixture::LegacyFixture(TestDatabase& target, Legacy legacy)
    : m_target(target), m_connection(QStringLiteral("legacy-fixture"))
{
    writeDataSources({QStringLiteral("Tabel"), QStringLiteral("Tabel_PgSQL")});
    dropTriggersAndAddSmena();
    if (legacy == Legacy::WithoutLegacyFile)
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connection);
    db.setDatabaseName(QStringLiteral("Tabel"));
    if (!db.open())
        qFatal("legacy file: %s", qPrintable(db.lastError().text()));
    for (const QString& table : legacyTables())
        legacyRun(QStringLiteral("drop table if exists %1").arg(table));
    for (const char* statement : legacySchema)
        legacyRun(QString::fromLatin1(statement));
}

void LegacyFixture::dropTriggersAndAddSmena()
{
    m_target.run(QStringLiteral(
        "drop trigger h_tabel_id_sequence on accounts_dep.h_tabel;"
        "drop trigger oper_id_sequence on accounts_dep.oper;"
        "drop trigger vid_oper_id_sequence on accounts_dep.vid_oper;"
        "drop trigger workers_id_sequence on accounts_dep.workers;"
        "drop trigger smena_id_sequence on accounts_dep.smena;"
        "drop trigger gds_and_srv_id_sequence on cmn_gds_and_srv.gds_and_srv;"
        "create table public.smena (w_id integer, i_id integer, o_id integer, kol_vo integer, brak smallint, "
        "data timestamp, smena smallint, id serial primary key, cena double precision, color integer, time "
        "integer, "
        "ok varchar(255), vvod timestamp);"));
}

QTemporaryDir& LegacyFixture::folder()
{
    static QTemporaryDir folder;
    if (!folder.isValid())
        qFatal("no temporary folder");
    return folder;
}

LegacyFixture::~LegacyFixture()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void LegacyFixture::writeDataSources(const QStringList& left)
{
    QFile drivers(folder().filePath(QStringLiteral("odbcinst.ini")));
    if (!drivers.open(QIODevice::WriteOnly))
        qFatal("cannot write odbcinst.ini");
    drivers.write(
        QStringLiteral("[SQLite3]\nDriver=%1\n\n[PostgreSQL Unicode]\nDriver=%2\n")
            .arg(driverFile(QStringLiteral("libsqlite3odbc.so")), driverFile(QStringLiteral("psqlodbcw.so")))
            .toUtf8());
    drivers.close();
    qputenv("ODBCSYSINI", QFile::encodeName(folder().path()));
    qputenv("ODBCINI", QFile::encodeName(folder().filePath(QStringLiteral("odbc.ini"))));

    // Through the installer's own calls, as odbcinst does: the driver manager keeps what it read
    // of the files for a while, and only these calls make it read them again.
    const ConnectionSettings server = m_target.settings();
    const QList<std::pair<QString, QList<std::pair<QString, QString>>>> sources = {
        {QStringLiteral("Tabel"),
         {{QStringLiteral("Driver"), QStringLiteral("SQLite3")},
          {QStringLiteral("Database"), folder().filePath(QStringLiteral("legacy.db"))}}},
        {QStringLiteral("Tabel_PgSQL"),
         {{QStringLiteral("Driver"), QStringLiteral("PostgreSQL Unicode")},
          {QStringLiteral("Servername"), server.host},
          {QStringLiteral("Port"), QString::number(server.port)},
          {QStringLiteral("Database"), server.database},
          {QStringLiteral("Username"), server.user},
          {QStringLiteral("Password"), server.password}}},
    };
    for (const auto& [name, keys] : sources) {
        const QByteArray dsn = name.toUtf8();
        SQLRemoveDSNFromIni(dsn.constData());
        if (!left.contains(name))
            continue;
        if (!SQLWriteDSNToIni(dsn.constData(), keys.first().second.toUtf8().constData()))
            qFatal("cannot register %s", dsn.constData());
        for (const auto& [key, value] : keys.mid(1))
            SQLWritePrivateProfileString(dsn.constData(), key.toUtf8().constData(),
                                         value.toUtf8().constData(), "odbc.ini");
    }
}

void LegacyFixture::forgetDataSource(const QString& name)
{
    QStringList left = {QStringLiteral("Tabel"), QStringLiteral("Tabel_PgSQL")};
    left.removeAll(name);
    writeDataSources(left);
}

QSqlDatabase LegacyFixture::legacy() const
{
    return QSqlDatabase::database(m_connection, false);
}

void LegacyFixture::legacyRun(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(legacy());
    if (!query.prepare(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
}

QStringList LegacyFixture::legacyTables()
{
    return {QStringLiteral("H_TABEL"), QStringLiteral("IZDEL"),    QStringLiteral("NOMENKL"),
            QStringLiteral("OPER"),    QStringLiteral("VID_OPER"), QStringLiteral("WORKERS")};
}

void LegacyFixture::fillSmallSource()
{
    legacyRun(QStringLiteral(
        "insert into H_TABEL (id, w_id, month, year, smena, d1, d2, d31) values "
        "(1, 1, 3, 2009, 1, 8, null, 12), (2, 2, 3, 2009, 4, 0, 7, 0), (9, 1, 4, 2009, 2, 1, 2, 3)"));
    legacyRun(QStringLiteral("insert into IZDEL (ID, MARKA, nom, massa) values (?, ?, ?, ?), (?, ?, ?, ?)"),
              {1, QStringLiteral("А-100"), QStringLiteral("Ящик «Север»"), 12.5, 40, QStringLiteral("О'Б-7"),
               QStringLiteral("Рама О'Брайена"), 0.125});
    legacyRun(QStringLiteral("insert into NOMENKL (Nom, marka) values (?, ?), (?, ?), (?, ?)"),
              {QStringLiteral("Ящик"), QStringLiteral("А-100"), QStringLiteral("Рама"), QStringLiteral("Б-2"),
               QStringLiteral("Дверь"), QVariant(QMetaType::fromType<QString>())});
    legacyRun(QStringLiteral("insert into OPER (ID, VID, NAIMEN, CENA, I_ID) values "
                             "(1, 1, 0, 2.75, 1), (2, 2, 1, 10, 40), (205, 1, 1, 0.3333, 40)"));
    legacyRun(QStringLiteral("insert into VID_OPER (ID, VID) values (?, ?), (?, ?)"),
              {1, QStringLiteral("Резка"), 2, QStringLiteral("Сварка 'шов'")});
    legacyRun(QStringLiteral("insert into WORKERS (ID, FIO, ADDR) values (?, ?, ?), (?, ?, ?)"),
              {1, QStringLiteral("Иванов И.И."), QStringLiteral("ул. Ленина, 1"), 17,
               QStringLiteral("О'Брайен"), QVariant(QMetaType::fromType<QString>())});
    m_target.run(QStringLiteral(
        "insert into public.smena (id, w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, ok, "
        "vvod) "
        "values (1, 1, 1, 1, 10, 1, '2009-03-06', 1, 2.75, 0, 8, 'ok', '2009-03-06 17:45:00'),"
        "       (2, 17, 40, 2, 4, 0, '2009-03-07 00:00:00', 4, 10, 2, 3, 'no', null),"
        "       (30, 17, 40, 205, 1, 0, '2009-04-01', 2, 0.3333, 1, 12, null, '2009-04-02 08:00:00')"));
}

void LegacyFixture::seedTargets()
{
    m_target.run(QStringLiteral(
        "insert into accounts_dep.h_tabel (id, w_id, smena, month, year) values (-3, 1, 1, 1, 2000), (0, 1, "
        "1, 1, "
        "2000), (5, 1, 1, 1, 2000);"
        "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs) values (-3, 'a', "
        "'', 6), "
        "(0, 'b', '', 6), (5, 'c', '', 6);"
        "insert into accounts_dep.nomenkl (id, nom, marka) values (-3, 'a', 'a'), (0, 'b', 'b'), (5, 'c', "
        "'c');"
        "insert into accounts_dep.oper (id, vid, naimen, i_id) values (-3, 1, 0, 1), (0, 1, 0, 1), (5, 1, 0, "
        "1);"
        "insert into accounts_dep.vid_oper (id, vid) values (-3, 'a'), (0, 'b'), (5, 'c');"
        "insert into accounts_dep.workers (id, fio) values (-3, 'a'), (0, 'b'), (5, 'c');"
        "insert into accounts_dep.smena (id, w_id, data, smena) values (-3, 1, '2000-01-01', 1), (0, 1, "
        "'2000-01-01', 1), (5, 1, '2000-01-01', 1);"));
}

QList<int> LegacyFixture::targetIds(const QString& table)
{
    QList<int> ids;
    QSqlQuery query = m_target.database().execute(QStringLiteral("select id from %1 order by id").arg(table));
    while (query.next())
        ids.append(query.value(0).toInt());
    return ids;
}

} // namespace tabel

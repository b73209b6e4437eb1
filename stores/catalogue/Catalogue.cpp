#include "stores/catalogue/Catalogue.h"

#include "platform/ProgramDir.h"
#include "platform/Statement.h"
#include "stores/catalogue/Backup.h"

#include <QFile>
#include <QScopeGuard>

namespace Catalogue {

QString file() {
    return programDir() + QStringLiteral("/tv.mdb");
}

Database openConnection() {
    return Database::OpenDatabase(file());
}

Recordset openTable(Database& connection) {
    const std::chrono::milliseconds wait = connection.busyWait();
    connection.setBusyWait(std::chrono::milliseconds(0));
    const auto waitAgain = qScopeGuard([&] { connection.setBusyWait(wait); });
    return connection.OpenRecordset(Table);
}

void createTable(Database& empty) {
    QFile schema(QStringLiteral(":/catalogue/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("the catalogue schema is not built into the program");
    empty.execute(QString::fromUtf8(schema.readAll()));
}

Database& opened(std::optional<Database>& connection) {
    if (!connection)
        throw DbError("电台目录 tv.mdb 打不开");
    return *connection;
}

StationQuery StationQuery::stationsOfCategory(const QString& category) {
    return {QStringLiteral("类别 = ?"), category};
}

StationQuery StationQuery::stationByName(const QString& name) {
    return {QStringLiteral("名称 = ?"), name};
}

StationQuery StationQuery::nameSearch(const QString& partOfName) {
    return {QStringLiteral("名称 like ?"), u'*' + partOfName + u'*'};
}

StationQuery StationQuery::categorySearch(const QString& partOfCategory) {
    return {QStringLiteral("类别 like ?"), u'*' + partOfCategory + u'*'};
}

StationQuery StationQuery::allStations() {
    return {QString(), QString()};
}

Recordset StationQuery::open(Database& connection) const {
    return connection.OpenRecordset(Table, condition_, value_);
}

int recordWalk(Recordset& records, const std::function<void(Recordset&)>& eachRecord) {
    if (!(records.AtBOF() && records.AtEOF())) {
        while (!records.AtEOF()) {
            eachRecord(records);
            records.MoveNext();
        }
    }
    const int count = records.RecordCount();
    records.Close();
    return count;
}

bool firstRecordLookup(Recordset& records) {
    if (records.AtBOF() && records.AtEOF())
        return false;
    records.MoveLast();
    records.MoveFirst();
    return true;
}

void addStation(Recordset& table, const QString& name, const QString& address, const QString& category) {
    backUpBeforeWriting();
    table.AddNew();
    table.Fields(Name).setValue(name);
    table.Fields(Address).setValue(address);
    table.Fields(Category).setValue(category);
    table.Update();
}

bool changeStation(Database& connection, const StationQuery& query, const QString& name, const QString& address) {
    Recordset records = query.open(connection);
    if (!firstRecordLookup(records))
        return false;
    backUpBeforeWriting();
    records.Edit();
    records.Fields(NameField).setValue(name);
    records.Fields(AddressField).setValue(address);
    records.Update();
    return true;
}

std::vector<Station> stations(Database& connection, const std::optional<QString>& category) {
    Statement query(connection, category
                                    ? QStringLiteral("SELECT 类别, 名称, 网址 FROM radio WHERE 类别 = ? ORDER BY rowid")
                                    : QStringLiteral("SELECT 类别, 名称, 网址 FROM radio ORDER BY rowid"));
    if (category)
        query.bind(1, *category);
    std::vector<Station> all;
    while (query.step())
        all.push_back({query.text(0), query.text(1), query.text(2)});
    return all;
}

void createIndexes(Database& connection) {
    connection.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS radio_station ON radio (名称, 类别, 网址)"));
}

} // namespace Catalogue

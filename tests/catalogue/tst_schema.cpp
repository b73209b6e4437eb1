#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Schema.h"
#include "sqlite/Statement.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Catalogue;

// Catalogues as earlier releases left them, brought up to date when the program opens them.
class TestSchema : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void earlierCatalogue_isBroughtUpToDate_afterABackup_keepingEveryRow_data();
    void earlierCatalogue_isBroughtUpToDate_afterABackup_keepingEveryRow();
    void newerCatalogue_isRefusedUntouched();

private:
    QStringList rows(const QString& sql);
};

QStringList TestSchema::rows(const QString& sql) {
    Database connection = Database::OpenDatabase(dir->catalogue());
    Statement query(connection, sql);
    QStringList all;
    while (query.step()) {
        QStringList fields;
        for (int i = 0; i < query.columnCount(); ++i)
            fields.append(query.column(i).toString());
        all.append(fields.join(u'|'));
    }
    return all;
}

namespace {

const QString SchemaOf = u"SELECT type, name, tbl_name FROM sqlite_master ORDER BY type, name"_s;
const QString Radio = u"SELECT 编号, 类别, 名称, 网址 FROM radio ORDER BY rowid"_s;
const QString RadioFields = u"SELECT * FROM pragma_table_info('radio')"_s;

// The tables of the program's own as the releases before schema versions created them where they were used.
const QString SideTablesOfEarlierReleases =
    u"CREATE TABLE station_health (station INTEGER PRIMARY KEY, address TEXT, time TEXT NOT NULL, "
    "result TEXT NOT NULL, detail TEXT NOT NULL);"
    "CREATE TABLE recent_stations (station INTEGER PRIMARY KEY, played INTEGER NOT NULL);"
    "CREATE TABLE subscription (id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE, category TEXT, etag TEXT, "
    "last_modified TEXT, digest TEXT, updated TEXT, result TEXT);"
    "CREATE TABLE subscription_entry (subscription INTEGER NOT NULL, entry TEXT NOT NULL, station INTEGER, "
    "category TEXT, name TEXT, address TEXT, PRIMARY KEY (subscription, entry)) WITHOUT ROWID;"
    "INSERT INTO recent_stations VALUES (3, 1);"
    "INSERT INTO subscription (address) VALUES ('http://127.0.0.1/list.m3u');"_s;

} // namespace

void TestSchema::earlierCatalogue_isBroughtUpToDate_afterABackup_keepingEveryRow_data() {
    QTest::addColumn<QString>("earlier");
    // Every earlier catalogue has table radio and version 0; they differ in what stands beside it.
    QTest::newRow("shipped") << QString();
    QTest::newRow("converted from Jet") << u"DROP INDEX radio_listing; DROP INDEX radio_station; DROP INDEX "
                                           "radio_names; DELETE FROM radio; INSERT INTO radio VALUES "
                                           "(5, '国内电视', 'A', 'http://a/'), (9, NULL, 'B', NULL), "
                                           "(20, '港台广播', NULL, 'http://c/');"_s;
    QTest::newRow("with the side tables") << SideTablesOfEarlierReleases;
}

void TestSchema::earlierCatalogue_isBroughtUpToDate_afterABackup_keepingEveryRow() {
    QFETCH(QString, earlier);
    const QStringList current = rows(SchemaOf);
    QString toEarlier;
    for (const QString& object : current) {
        const QStringList parts = object.split(u'|');
        if (parts[2] != u"radio" && parts[0] != u"index")
            toEarlier += u"DROP %1 IF EXISTS %2;"_s.arg(parts[0], parts[1]);
        else if (parts[0] == u"trigger")
            toEarlier += u"DROP TRIGGER %1;"_s.arg(parts[1]);
    }
    dir->changeCatalogue(toEarlier + earlier + u"PRAGMA user_version = 0;"_s);
    const QStringList stations = rows(Radio);
    const QStringList fields = rows(RadioFields);
    const QStringList sideRows = rows(u"SELECT name FROM sqlite_master WHERE name = 'recent_stations'"_s).isEmpty()
                                     ? QStringList()
                                     : rows(u"SELECT * FROM recent_stations"_s);

    Database upgraded = openConnection();
    QCOMPARE(versionOf(upgraded), currentVersion());
    QCOMPARE(rows(SchemaOf), current);
    QCOMPARE(rows(Radio), stations);
    QCOMPARE(rows(RadioFields), fields);
    if (!sideRows.isEmpty())
        QCOMPARE(rows(u"SELECT * FROM recent_stations"_s), sideRows);
    // The day's backup holds the catalogue as it was.
    const QStringList backups = QDir(backupFolder()).entryList(QDir::Files);
    QCOMPARE(backups.size(), 1);
    Database backup = Database::OpenDatabase(QDir(backupFolder()).filePath(backups[0]));
    QCOMPARE(versionOf(backup), 0);
}

void TestSchema::newerCatalogue_isRefusedUntouched() {
    dir->changeCatalogue(u"PRAGMA user_version = %1"_s.arg(currentVersion() + 1));
    dir->changeCatalogue(u"DROP INDEX radio_listing"_s);
    const QByteArray before = dir->read(u"tv.mdb"_s);

    QVERIFY_THROWS_EXCEPTION(NewerCatalogueError, openConnection());
    QVERIFY_THROWS_EXCEPTION(NewerCatalogueError, openChecked());
    QCOMPARE(dir->read(u"tv.mdb"_s), before);
    QVERIFY(!QDir(backupFolder()).exists());
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"

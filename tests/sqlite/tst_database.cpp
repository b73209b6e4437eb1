#include "catalogue/Catalogue.h"
#include "sqlite/Database.h"
#include "sqlite/Statement.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestProgramDir.h"

#include <QFile>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

// Record sets over a fresh copy of the shipped catalogue; each test adds the few stations it talks about,
// under a category of its own so the shipped stations never get in the way.
class TestDatabase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void emptyResult_isAtBothEndsWithCountZero();
    void fullWalk_visitsEveryRecordInTableOrder();
    void moveLastThenMoveFirst_landsOnTheFirstRecord();
    void movingPastTheEnd_isAnError();
    void edit_changesExactlyTheRecordItIsOn();
    void addNew_setsFieldsByNameAndLeavesOthersToTheTable();
    void nullField_readAsText_isAnErrorTheCallerCanCatch();
    void fieldsByPositionAndByName_areTheSameField();
    void twoConnections_seeEachOthersWritesAndNeverLock();
    void valuesAreBound_soQuotesAndPatternsAreJustText();
    void like_isTheCatalogueLikeOnEveryCatalogueConnection();
    void missingFile_isAnErrorAndIsNotCreated();
    void notACatalogue_failsAtTheFirstRecordSet();
    void notADatabase_isSaidSoWithItsFile();
    void transaction_landsOnlyWhenCommitted();
    void transactionFailingOnAFullDisk_leavesTheFileWholeAndNoJournal();

private:
    Recordset inCategory(const QString& category) { return db->OpenRecordset(u"radio"_s, u"类别 = ?"_s, category); }
    void add(const QString& category, const QVariant& name, const QString& address);

    std::optional<TestProgramDir> dir;
    std::optional<Database> db;
};

void TestDatabase::init() {
    dir.emplace();
    db = Database::OpenDatabase(dir->catalogue());
}

void TestDatabase::cleanup() {
    db.reset();
    dir.reset();
}

void TestDatabase::add(const QString& category, const QVariant& name, const QString& address) {
    Recordset table = db->OpenRecordset(u"radio"_s);
    table.AddNew();
    table.Fields(u"类别"_s).setValue(category);
    table.Fields(u"名称"_s).setValue(name);
    table.Fields(u"网址"_s).setValue(address);
    table.Update();
}

void TestDatabase::emptyResult_isAtBothEndsWithCountZero() {
    Recordset records = inCategory(u"无此类别"_s);
    QVERIFY(records.AtBOF());
    QVERIFY(records.AtEOF());
    QCOMPARE(records.RecordCount(), 0);
    QVERIFY_THROWS_EXCEPTION(DbError, records.MoveFirst());
    QVERIFY_THROWS_EXCEPTION(DbError, records.Fields(2).Value());
}

void TestDatabase::fullWalk_visitsEveryRecordInTableOrder() {
    for (const QString& name : {u"丙"_s, u"甲"_s, u"乙"_s})
        add(u"测试"_s, name, u"http://example.org/"_s + name);

    Recordset records = inCategory(u"测试"_s);
    QVERIFY(!records.AtBOF());
    QStringList names;
    while (!records.AtEOF()) {
        names.append(records.Fields(2).Text());
        records.MoveNext();
    }
    QCOMPARE(names, QStringList({u"丙"_s, u"甲"_s, u"乙"_s}));
    QCOMPARE(records.RecordCount(), 3);
}

void TestDatabase::moveLastThenMoveFirst_landsOnTheFirstRecord() {
    add(u"测试"_s, u"第一"_s, u"http://one.example/"_s);
    add(u"测试"_s, u"第二"_s, u"http://two.example/"_s);

    Recordset records = inCategory(u"测试"_s);
    records.MoveLast();
    QCOMPARE(records.Fields(2).Text(), u"第二"_s);
    records.MoveFirst();
    QCOMPARE(records.Fields(2).Text(), u"第一"_s);
    QCOMPARE(records.Fields(3).Text(), u"http://one.example/"_s);
}

void TestDatabase::movingPastTheEnd_isAnError() {
    add(u"测试"_s, u"唯一"_s, u"http://only.example/"_s);
    Recordset records = inCategory(u"测试"_s);
    records.MoveNext();
    QVERIFY(records.AtEOF());
    QVERIFY_THROWS_EXCEPTION(DbError, records.MoveNext());
}

void TestDatabase::edit_changesExactlyTheRecordItIsOn() {
    // Two stations of one name: only the position of the record set tells them apart.
    add(u"测试"_s, u"同名"_s, u"http://first.example/"_s);
    add(u"测试"_s, u"同名"_s, u"http://second.example/"_s);
    add(u"测试"_s, u"别的"_s, u"http://other.example/"_s);

    Recordset records = inCategory(u"测试"_s);
    records.MoveNext();
    records.Edit();
    records.Fields(2).setValue(u"改名"_s);
    records.Fields(3).setValue(u"http://changed.example/"_s);
    records.Update();
    QCOMPARE(records.Fields(2).Text(), u"改名"_s);

    Recordset after = inCategory(u"测试"_s);
    QStringList stored;
    while (!after.AtEOF()) {
        stored.append(after.Fields(2).Text() + u' ' + after.Fields(3).Text());
        after.MoveNext();
    }
    QCOMPARE(stored, QStringList({u"同名 http://first.example/"_s, u"改名 http://changed.example/"_s,
                                  u"别的 http://other.example/"_s}));
}

void TestDatabase::addNew_setsFieldsByNameAndLeavesOthersToTheTable() {
    const int before = db->OpenRecordset(u"radio"_s).RecordCount();
    Recordset table = db->OpenRecordset(u"radio"_s);
    table.AddNew();
    table.Fields(u"名称"_s).setValue(u"新台"_s);
    table.Fields(u"网址"_s).setValue(u"http://new.example/"_s);
    table.Update();

    Recordset stored = db->OpenRecordset(u"radio"_s, u"名称 = ?"_s, u"新台"_s);
    QCOMPARE(stored.RecordCount(), 1);
    QCOMPARE(stored.Fields(u"网址"_s).Text(), u"http://new.example/"_s);
    QVERIFY(stored.Fields(u"类别"_s).Value().isNull());
    QVERIFY(!stored.Fields(0).Value().isNull()); // the key the table numbers itself
    QCOMPARE(db->OpenRecordset(u"radio"_s).RecordCount(), before + 1);
}

void TestDatabase::nullField_readAsText_isAnErrorTheCallerCanCatch() {
    add(u"测试"_s, QVariant(), u"http://nameless.example/"_s);
    Recordset records = inCategory(u"测试"_s);
    QVERIFY(records.Fields(2).Value().isNull());
    QVERIFY_THROWS_EXCEPTION(NullFieldError, records.Fields(2).Text());
    QCOMPARE(records.Fields(3).Text(), u"http://nameless.example/"_s);
}

void TestDatabase::fieldsByPositionAndByName_areTheSameField() {
    add(u"测试"_s, u"某台"_s, u"http://some.example/"_s);
    Recordset records = inCategory(u"测试"_s);
    QCOMPARE(records.Fields(2).Text(), records.Fields(u"名称"_s).Text());
    QCOMPARE(records.Fields(3).Text(), records.Fields(u"网址"_s).Text());
    QVERIFY_THROWS_EXCEPTION(DbError, records.Fields(u"无此字段"_s));
    QVERIFY_THROWS_EXCEPTION(DbError, records.Fields(4));
}

void TestDatabase::twoConnections_seeEachOthersWritesAndNeverLock() {
    Database other = Database::OpenDatabase(dir->catalogue());
    // A record set left open on one connection must not hold the file against the other's writes.
    Recordset heldOpen = db->OpenRecordset(u"radio"_s);
    QVERIFY(heldOpen.RecordCount() > 0);

    Recordset table = other.OpenRecordset(u"radio"_s);
    table.AddNew();
    table.Fields(u"类别"_s).setValue(u"测试"_s);
    table.Fields(u"名称"_s).setValue(u"他处新增"_s);
    table.Update();
    QCOMPARE(inCategory(u"测试"_s).RecordCount(), 1);

    Recordset mine = inCategory(u"测试"_s);
    mine.Edit();
    mine.Fields(2).setValue(u"此处改名"_s);
    mine.Update();
    Recordset seen = other.OpenRecordset(u"radio"_s, u"类别 = ?"_s, u"测试"_s);
    QCOMPARE(seen.Fields(2).Text(), u"此处改名"_s);
}

void TestDatabase::valuesAreBound_soQuotesAndPatternsAreJustText() {
    add(u"测试"_s, u"Mary's Radio"_s, u"http://mary.example/"_s);
    Recordset byName = db->OpenRecordset(u"radio"_s, u"名称 = ?"_s, u"Mary's Radio"_s);
    QCOMPARE(byName.RecordCount(), 1);
    QCOMPARE(db->OpenRecordset(u"radio"_s, u"名称 = ?"_s, u"x' OR '1'='1"_s).RecordCount(), 0);
}

void TestDatabase::like_isTheCatalogueLikeOnEveryCatalogueConnection() {
    db = Catalogue::openConnection();
    add(u"测试"_s, u"100% Jazz"_s, u"http://jazz.example/"_s);
    add(u"测试"_s, u"1000 Jazz"_s, u"http://other-jazz.example/"_s);
    const auto count = [&](const QString& pattern) {
        return db->OpenRecordset(u"radio"_s, u"名称 like ?"_s, pattern).RecordCount();
    };
    QCOMPARE(count(u"*100%*"_s), 1);
    QCOMPARE(count(u"*JAZZ*"_s), 2);
    QCOMPARE(count(u"10#% Jazz"_s), 1);
    QCOMPARE(count(u"10#? Jazz"_s), 2);
    QCOMPARE(count(u"*Jaz_*"_s), 0);
}

void TestDatabase::missingFile_isAnErrorAndIsNotCreated() {
    const QString missing = dir->file(u"gone.mdb"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, Database::OpenDatabase(missing));
    QVERIFY(!QFile::exists(missing));
}

void TestDatabase::notACatalogue_failsAtTheFirstRecordSet() {
    dir->write(u"tv.mdb"_s, "Standard Jet DB\0 not a catalogue this program can read");
    Database broken = Database::OpenDatabase(dir->catalogue());
    QVERIFY_THROWS_EXCEPTION(DbError, broken.OpenRecordset(u"radio"_s));
}

// The engine cannot roll back at once after a write the disk refused: without more, the journal would stay beside
// the file, which stays half-changed until some later connection reads it, and a copy taken meanwhile is damaged.
void TestDatabase::transactionFailingOnAFullDisk_leavesTheFileWholeAndNoJournal() {
    const QByteArray before = dir->read(u"tv.mdb"_s);
    try {
        const FileSizeLimit full(before.size() + 64 * 1024);
        Transaction transaction(*db);
        Statement insert(*db, u"INSERT INTO radio (类别, 名称, 网址) VALUES ('满', ?, 'http://full.example/')"_s);
        for (int n = 0;; ++n) {
            insert.bind(1, QString(200, QChar(u'a' + n % 26)));
            insert.step();
            insert.reset();
        }
    } catch (const DbError&) {
    }
    QVERIFY(!QFile::exists(dir->file(u"tv.mdb-journal"_s)));
    QCOMPARE(dir->read(u"tv.mdb"_s), before);
}

// What a message box says of it, in the system's words.
void TestDatabase::notADatabase_isSaidSoWithItsFile() {
    dir->write(u"tv.mdb"_s, QByteArray(4096, 'x'));
    Database broken = Database::OpenDatabase(dir->catalogue());
    try {
        Statement(broken, u"SELECT * FROM radio"_s);
        QFAIL("a file of x was read as a database");
    } catch (const DbError& error) {
        QCOMPARE(failureText(error), u"不是数据库文件，或已损坏（%1）"_s.arg(dir->catalogue()));
    }
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"

void TestDatabase::transaction_landsOnlyWhenCommitted() {
    const auto count = [&] { return inCategory(u"事务"_s).RecordCount(); };
    {
        Transaction abandoned(*db);
        add(u"事务"_s, u"A"_s, u"http://a/"_s);
    }
    QCOMPARE(count(), 0);
    Transaction kept(*db);
    add(u"事务"_s, u"B"_s, u"http://b/"_s);
    kept.commit();
    Statement names(*db, u"SELECT 名称 FROM radio WHERE 类别 = ?"_s);
    names.bind(1, u"事务"_s);
    QVERIFY(names.step());
    QCOMPARE(names.text(0), u"B"_s);
    QVERIFY(!names.step());
}

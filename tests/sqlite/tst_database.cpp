#include "sqlite/Database.h"
#include "sqlite/Statement.h"
#include "tests/support/TestProgramDir.h"

#include <QFile>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

// The wrapper over a fresh copy of the shipped catalogue; each test adds the few stations it talks about, under a
// category of its own so the shipped stations never get in the way.
class TestDatabase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void missingFile_isAnErrorAndIsNotCreated();
    void notACatalogue_failsAtTheFirstStatement();
    void transaction_landsOnlyWhenCommitted();

private:
    QStringList names(const QString& category);
    void add(const QString& category, const QString& name);

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

QStringList TestDatabase::names(const QString& category) {
    Statement query(*db, u"SELECT 名称 FROM radio WHERE 类别 = ?"_s);
    query.bind(1, category);
    QStringList found;
    while (query.step())
        found.append(query.text(0));
    return found;
}

void TestDatabase::add(const QString& category, const QString& name) {
    Statement insert(*db, u"INSERT INTO radio (类别, 名称) VALUES (?, ?)"_s);
    insert.bind(1, category);
    insert.bind(2, name);
    insert.step();
}

void TestDatabase::missingFile_isAnErrorAndIsNotCreated() {
    const QString missing = dir->file(u"gone.mdb"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, Database::OpenDatabase(missing));
    QVERIFY(!QFile::exists(missing));
}

void TestDatabase::notACatalogue_failsAtTheFirstStatement() {
    dir->write(u"tv.mdb"_s, "Standard Jet DB\0 not a catalogue this program can read");
    Database broken = Database::OpenDatabase(dir->catalogue());
    QVERIFY_THROWS_EXCEPTION(DbError, Statement(broken, u"SELECT * FROM radio"_s));
}

void TestDatabase::transaction_landsOnlyWhenCommitted() {
    {
        Transaction abandoned(*db);
        add(u"事务"_s, u"A"_s);
    }
    QCOMPARE(names(u"事务"_s), QStringList());
    Transaction kept(*db);
    add(u"事务"_s, u"B"_s);
    kept.commit();
    QCOMPARE(names(u"事务"_s), QStringList{u"B"_s});
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"

#include "sqlite/Database.h"
#include "sqlite/Statement.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestProgramDir.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <optional>
#include <thread>

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
    void notADatabase_isSaidSoWithItsFile();
    void transaction_landsOnlyWhenCommitted();
    void transactionFailingOnAFullDisk_leavesTheFileWholeAndNoJournal();
    void write_waitsForALockHeldAMoment_andSaysSo();
    void lockHeldOn_isSaidInChinese_andTheNextReadWaitsAgain();

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
    } catch (const DbError& error) {
        // Past the limit on a file's size as on a full disk.
        QCOMPARE(failureText(error), u"磁盘空间不足（%1）"_s.arg(dir->catalogue()));
        QVERIFY2(QByteArray(error.what()).startsWith("disk full"), error.what());
    }
    QVERIFY(!QFile::exists(dir->file(u"tv.mdb-journal"_s)));
    QCOMPARE(dir->read(u"tv.mdb"_s), before);
}

// Another program's import, a listing of a large category: a write waits for them longer than a click would, and a
// command tells its terminal what it waits for.
void TestDatabase::write_waitsForALockHeldAMoment_andSaysSo() {
    std::optional<CatalogueLock> other(dir->lockCatalogue());
    std::chrono::milliseconds told{};
    Database::setWaitingNotice([&](std::chrono::milliseconds patience) { told = patience; });
    const auto quiet = qScopeGuard([] { Database::setWaitingNotice({}); });
    {
        const std::jthread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            other.reset();
        });
        add(u"等测"_s, u"等来台"_s);
    }
    QCOMPARE(names(u"等测"_s), QStringList{u"等来台"_s});
    QCOMPARE(told, Database::WriteWait);
}

// A statement that gave up waiting leaves the connection as patient as before for the next one.
void TestDatabase::lockHeldOn_isSaidInChinese_andTheNextReadWaitsAgain() {
    std::optional<CatalogueLock> other(dir->lockCatalogue());
    db->setBusyWait(std::chrono::milliseconds(0));
    try {
        Statement(*db, u"PRAGMA user_version"_s).step();
        QFAIL("a locked catalogue was read");
    } catch (const BusyError& error) {
        QCOMPARE(failureText(error), u"电台目录正被另一个程序使用，请稍后再试（%1）"_s.arg(dir->catalogue()));
    }
    db->setBusyWait(std::chrono::seconds(10));
    const std::jthread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.reset();
    });
    QCOMPARE(names(u"等测"_s), QStringList());
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

#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ReadOnly.h"
#include "tests/support/TestProgramDir.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;
using namespace Catalogue;

namespace {

QString backupOf(const QDate& day) {
    return u"backup/tv-%1.mdb"_s.arg(day.toString(Qt::ISODate));
}

qsizetype stationCount(const QString& catalogue) {
    Database db = Database::OpenDatabase(catalogue);
    return std::ssize(stations(db));
}

} // namespace

class TestBackup : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void firstWriteOfARun_keepsTheCatalogueAsItWasBefore_data();
    void firstWriteOfARun_keepsTheCatalogueAsItWasBefore();
    void todaysBackup_isNeverMadeTwice();
    void onlyTheNewestSevenAreKept();
    void backupsDatedAfterToday_pushNoneOut_andAreSaid();
    void noBackup_stopsTheWriteUnlessARecentOneOrTheRuleLetsItGoOn_data();
    void noBackup_stopsTheWriteUnlessARecentOneOrTheRuleLetsItGoOn();
    void damagedCatalogue_makesNoBackupAndPushesNoGoodOneOut_data();
    void damagedCatalogue_makesNoBackupAndPushesNoGoodOneOut();
    void backupOnAFullDisk_leavesNothingBehind();
    void inspection_tellsACatalogueFromWhatIsNone_data();
    void inspection_tellsACatalogueFromWhatIsNone();
    void newestSoundBackup_passesOverDamagedOnes();
    void restore_putsTheBackupInPlaceAndKeepsTheDamagedFileAside();

private:
    void addStation(const QString& name);
    // Good backups of these days ago in backup/.
    void backedUp(const QList<int>& daysAgo);
    QStringList backups() const { return QDir(dir->file(u"backup"_s)).entryList(QDir::Files, QDir::Name); }
};

void TestBackup::addStation(const QString& name) {
    Database db = openConnection();
    Catalogue::addStation(db, {Categories::SpecialInterestRadio, name, u"http://example.org/"_s});
}

void TestBackup::backedUp(const QList<int>& daysAgo) {
    QDir(dir->path()).mkdir(u"backup"_s);
    for (int days : daysAgo)
        QVERIFY(QFile::copy(dir->catalogue(), dir->file(backupOf(QDate::currentDate().addDays(-days)))));
}

void TestBackup::firstWriteOfARun_keepsTheCatalogueAsItWasBefore_data() {
    QTest::addColumn<bool>("adding");
    QTest::newRow("a station added") << true;
    QTest::newRow("a station changed") << false;
}

void TestBackup::firstWriteOfARun_keepsTheCatalogueAsItWasBefore() {
    QFETCH(bool, adding);
    const QString backup = dir->file(backupOf(QDate::currentDate()));
    const qsizetype before = stationCount(dir->catalogue());

    if (adding) {
        addStation(u"新台"_s);
    } else {
        Database db = openConnection();
        QVERIFY(changeStation(db, StationQuery::stationsOfCategory(SlotNames[0]), u"新台"_s, u"http://new.example/"_s));
    }
    addStation(u"又一台"_s);

    QCOMPARE(stationCount(backup), before);
    Database copy = Database::OpenDatabase(backup);
    QCOMPARE(StationQuery::nameSearch(u"新台"_s).names(copy).count, 0);
    QVERIFY(copy.IntegrityCheck());
}

// Made earlier today, perhaps by a run that has ended since: it stays as it is.
void TestBackup::todaysBackup_isNeverMadeTwice() {
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    QVERIFY(QFile::copy(dir->catalogue(), dir->file(backupOf(QDate::currentDate()))));
    dir->changeCatalogue(u"DELETE FROM radio"_s);

    addStation(u"新台"_s);
    QVERIFY(stationCount(dir->file(backupOf(QDate::currentDate()))) > 1);
}

void TestBackup::onlyTheNewestSevenAreKept() {
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    const QDate today = QDate::currentDate();
    for (int daysAgo = 1; daysAgo <= 9; ++daysAgo)
        QVERIFY(QFile::copy(dir->catalogue(), dir->file(backupOf(today.addDays(-daysAgo)))));
    dir->write(u"backup/notes.txt"_s, "kept");

    addStation(u"新台"_s);

    QStringList expected{u"notes.txt"_s};
    for (int daysAgo = 0; daysAgo <= 6; ++daysAgo)
        expected.append(QFileInfo(backupOf(today.addDays(-daysAgo))).fileName());
    QStringList kept = QDir(dir->file(u"backup"_s)).entryList(QDir::Files);
    kept.sort();
    expected.sort();
    QCOMPARE(kept, expected);
}

// Made while the clock ran ten years ahead, they would sort newest and push out the good backups dated in the past,
// and today's right after it was made.
void TestBackup::backupsDatedAfterToday_pushNoneOut_andAreSaid() {
    backedUp({1, 2, 3, 4, 5, 6, -3650, -3651});
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"2 backups dated after today"_s));

    addStation(u"新台"_s);

    QCOMPARE(backups().size(), 9);
    QVERIFY(QFile::exists(dir->file(backupOf(QDate::currentDate()))));
    QVERIFY(QFile::exists(dir->file(backupOf(QDate::currentDate().addDays(-6)))));
}

// The backup folder cannot be written into, as on a full disk: a recent good backup or the rule of the windows and
// of --no-backup lets the write go on, once a run; otherwise it stops before it writes anything.
void TestBackup::noBackup_stopsTheWriteUnlessARecentOneOrTheRuleLetsItGoOn_data() {
    QTest::addColumn<QList<int>>("daysAgo"); // of the good backups there
    QTest::addColumn<bool>("rule");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("no backup at all") << QList<int>{} << false << false;
    QTest::newRow("the last one eight days old") << QList<int>{8} << false << false;
    QTest::newRow("one seven days old") << QList<int>{9, 7} << false << true;
    QTest::newRow("one dated after today") << QList<int>{-3650} << false << false;
    QTest::newRow("no backup, a rule that lets it go on") << QList<int>{} << true << true;
}

void TestBackup::noBackup_stopsTheWriteUnlessARecentOneOrTheRuleLetsItGoOn() {
    QFETCH(QList<int>, daysAgo);
    QFETCH(bool, rule);
    QFETCH(bool, goesOn);
    backedUp(daysAgo);
    const QStringList before = backups();
    QStringList told;
    if (rule)
        setNoBackupRule([&](const DbError& why) { told.append(QString::fromUtf8(why.what())); });
    const auto noRule = qScopeGuard([] { setNoBackupRule({}); });
    const ReadOnly full(dir->file(u"backup"_s));
    if (!full.ok())
        QSKIP("the backup folder cannot be made read-only here");

    for (int write = 0; write < 2; ++write) {
        try {
            backUpBeforeWriting();
            QVERIFY(goesOn);
        } catch (const NoBackupError& error) {
            QVERIFY2(!goesOn, error.what());
        }
    }
    QCOMPARE(told.size(), rule ? 1 : 0);
    QCOMPARE(backups(), before);
}

void TestBackup::damagedCatalogue_makesNoBackupAndPushesNoGoodOneOut_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("an empty file") << QByteArray("");
    QTest::newRow("no SQLite file") << QByteArray("a list of stations\r\n");
    QTest::newRow("an index page damaged") << QByteArray("index");
}

void TestBackup::damagedCatalogue_makesNoBackupAndPushesNoGoodOneOut() {
    QFETCH(QByteArray, content);
    backedUp({1, 2, 3, 4, 5, 6, 7});
    const QStringList before = backups();
    if (content == "index")
        dir->damageAnIndex();
    else
        dir->write(u"tv.mdb"_s, content);

    QVERIFY_THROWS_EXCEPTION(DamagedError, backUpBeforeWriting());
    QCOMPARE(backups(), before);
}

// A copy cut short by a full disk is removed, and the rotation never ran for it.
void TestBackup::backupOnAFullDisk_leavesNothingBehind() {
    backedUp({1, 2, 3, 4, 5, 6, 7});
    const QStringList before = backups();
    {
        const FileSizeLimit full(8192);
        backUpBeforeWriting();
    }
    QCOMPARE(backups(), before);
}

void TestBackup::inspection_tellsACatalogueFromWhatIsNone_data() {
    QTest::addColumn<QByteArray>("content"); // null: the shipped catalogue; "cut": its first two pages
    QTest::addColumn<QString>("change");     // SQL run on the shipped catalogue first
    QTest::addColumn<bool>("locked");        // by another program, while start-up looks at it
    QTest::addColumn<Found>("found");
    const QByteArray shipped;
    const QString none;
    QTest::newRow("the shipped catalogue") << shipped << none << false << Found::Readable;
    QTest::newRow("locked by another program") << shipped << none << true << Found::Busy;
    QTest::newRow("without the table radio") << shipped << u"DROP TABLE radio"_s << false << Found::Unreadable;
    QTest::newRow("no SQLite file") << QByteArray("a list of stations\r\n") << none << false << Found::Unreadable;
    QTest::newRow("an empty file") << QByteArray("") << none << false << Found::Unreadable;
    QTest::newRow("cut short") << QByteArray("cut") << none << false << Found::Unreadable;
    QTest::newRow("an old Jet catalogue")
        << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24) << none << false << Found::OldFormat;
}

void TestBackup::inspection_tellsACatalogueFromWhatIsNone() {
    QFETCH(QByteArray, content);
    QFETCH(QString, change);
    QFETCH(bool, locked);
    QFETCH(Found, found);
    if (!change.isEmpty())
        dir->changeCatalogue(change);
    if (content == "cut")
        content = dir->read(u"tv.mdb"_s).left(8192);
    if (!content.isNull())
        dir->write(u"tv.mdb"_s, content);
    std::optional<CatalogueLock> lock;
    if (locked)
        lock.emplace(dir->catalogue());
    QCOMPARE(inspectCatalogue(), found);
}

void TestBackup::newestSoundBackup_passesOverDamagedOnes() {
    const QDate today = QDate::currentDate();
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    QVERIFY(QFile::copy(dir->catalogue(), dir->file(backupOf(today.addDays(-3)))));
    QVERIFY(QFile::copy(dir->catalogue(), dir->file(backupOf(today.addDays(-2)))));
    // Cut short after its first pages, as a full disk leaves a file.
    dir->write(backupOf(today.addDays(-1)), dir->read(u"tv.mdb"_s).left(8192));

    QCOMPARE(newestSoundBackup(), dir->file(backupOf(today.addDays(-2))));
}

void TestBackup::restore_putsTheBackupInPlaceAndKeepsTheDamagedFileAside() {
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    const QString backup = dir->file(backupOf(QDate::currentDate()));
    QVERIFY(QFile::copy(dir->catalogue(), backup));
    const QByteArray damaged = "no catalogue";
    dir->write(u"tv.mdb"_s, damaged);
    dir->write(u"tv.mdb-journal"_s, "a journal of the damaged file");

    const QString aside = restoreFromBackup(backup);

    QCOMPARE(stationCount(dir->catalogue()), stationCount(backup));
    QVERIFY(!QFile::exists(dir->file(u"tv.mdb-journal"_s)));
    QCOMPARE(QFileInfo(aside).dir(), QDir(dir->path()));
    QFile asideFile(aside);
    QVERIFY(asideFile.open(QIODevice::ReadOnly));
    QCOMPARE(asideFile.readAll(), damaged);
    QVERIFY(QFile::exists(aside + u"-journal"_s));
    QCOMPARE(inspectCatalogue(), Found::Readable);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"

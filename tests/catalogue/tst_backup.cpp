#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "tests/support/TestProgramDir.h"

#include <QDate>
#include <QDir>
#include <QFile>
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
    void aBackupThatCannotBeMade_doesNotStopTheWrite();
    void inspection_tellsACatalogueFromWhatIsNone_data();
    void inspection_tellsACatalogueFromWhatIsNone();
    void newestSoundBackup_passesOverDamagedOnes();
    void restore_putsTheBackupInPlaceAndKeepsTheDamagedFileAside();

private:
    void addStation(const QString& name);
};

void TestBackup::addStation(const QString& name) {
    Database db = openConnection();
    Catalogue::addStation(db, {Categories::SpecialInterestRadio, name, u"http://example.org/"_s});
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

// A file where the folder should be: no backup today, the station is stored all the same.
void TestBackup::aBackupThatCannotBeMade_doesNotStopTheWrite() {
    dir->write(u"backup"_s, "in the way");
    addStation(u"新台"_s);
    Database db = openConnection();
    QCOMPARE(StationQuery::nameSearch(u"新台"_s).names(db).count, 1);
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

    QCOMPARE(dir->read(u"tv.mdb"_s), dir->read(backupOf(QDate::currentDate())));
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

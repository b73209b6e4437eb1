#include "app/CatalogueRestore.h"
#include "catalogue/Backup.h"
#include "tests/support/MsgBoxScript.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

// The one box start-up shows when tv.mdb can no longer be read, and what each answer leaves on disk.
class TestRestore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void damagedCatalogue_offersTheNewestSoundBackup_data();
    void damagedCatalogue_offersTheNewestSoundBackup();
};

void TestRestore::damagedCatalogue_offersTheNewestSoundBackup_data() {
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("backedUp");
    QTest::addColumn<int>("answer"); // 0: no box is shown
    QTest::addColumn<bool>("restored");
    QTest::newRow("yes restores") << true << true << int(vbYes) << true;
    QTest::newRow("no starts with the damaged file") << true << true << int(vbNo) << false;
    QTest::newRow("without a backup there is nothing to offer") << true << false << 0 << false;
    QTest::newRow("a sound catalogue is left alone") << false << true << 0 << false;
}

void TestRestore::damagedCatalogue_offersTheNewestSoundBackup() {
    QFETCH(bool, damaged);
    QFETCH(bool, backedUp);
    QFETCH(int, answer);
    QFETCH(bool, restored);
    TestProgramDir dir;
    MsgBoxScript boxes;
    if (answer)
        boxes.answerNext(MsgBoxResult(answer));
    if (backedUp) {
        QVERIFY(QDir(dir.path()).mkdir(u"backup"_s));
        QVERIFY(QFile::copy(dir.catalogue(), dir.file(u"backup/tv-2024-05-01.mdb"_s)));
    }
    const QByteArray before = damaged ? QByteArray("no catalogue") : dir.read(u"tv.mdb"_s);
    dir.write(u"tv.mdb"_s, before);

    offerCatalogueRestore();

    QCOMPARE(boxes.boxes().size(), answer ? 1 : 0);
    if (answer) {
        QCOMPARE(boxes.boxes().first().buttons, vbYesNo);
        QVERIFY(boxes.prompts().first().contains(u"2024-05-01"_s));
    }
    const QStringList aside = QDir(dir.path()).entryList({u"tv.mdb.damaged-*"_s});
    QCOMPARE(aside.size(), restored ? 1 : 0);
    QCOMPARE(Catalogue::inspectCatalogue() == Catalogue::Found::Readable, restored || !damaged);
    if (!restored)
        QCOMPARE(dir.read(u"tv.mdb"_s), before);
}

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_restore.moc"

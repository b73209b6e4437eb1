#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "tests/support/JetSamples.h"
#include "tests/support/TestProgramDir.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

// The import and export commands as a script calls them: options, exit codes, files.
class TestCommands : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void wrongCommandLines_exitWithUsage_data();
    void wrongCommandLines_exitWithUsage();
    void import_ofAMissingFile_fails_andChangesNothing();
    void import_takesItsCategoryAndDryRun();
    void export_choosesTheFormatByOptionThenByExtension_data();
    void export_choosesTheFormatByOptionThenByExtension();
    void exportThenImport_findsEveryStationPresent();
    void import_ofAnOldCatalogue_addsItsStationsOnceAndLeavesItAlone();
    void commands_convertAnOldCatalogueFirst();

private:
    int run(const QStringList& arguments);
    std::vector<Catalogue::Station> stations() {
        Database catalogue = Catalogue::openConnection();
        return Catalogue::stations(catalogue);
    }
};

int TestCommands::run(const QStringList& arguments) {
    const QString command = arguments.value(0);
    return command == u"import"_s ? CommandLine::importStations(arguments) : CommandLine::exportStations(arguments);
}

void TestCommands::wrongCommandLines_exitWithUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("import without files") << QStringList{u"import"_s};
    QTest::newRow("import with an unknown option") << QStringList{u"import"_s, u"--bogus"_s, u"a.m3u"_s};
    QTest::newRow("export without a file") << QStringList{u"export"_s};
    QTest::newRow("export to two files") << QStringList{u"export"_s, u"a.m3u"_s, u"b.m3u"_s};
    QTest::newRow("export in an unknown format") << QStringList{u"export"_s, u"a.m3u"_s, u"--format"_s, u"wav"_s};
}

void TestCommands::wrongCommandLines_exitWithUsage() {
    QFETCH(QStringList, arguments);
    QCOMPARE(run(arguments), int(CommandLine::Usage));
}

void TestCommands::import_ofAMissingFile_fails_andChangesNothing() {
    dir->write(u"a.m3u"_s, "http://a.example/\n");
    const auto before = stations();
    QCOMPARE(run({u"import"_s, dir->file(u"a.m3u"_s), dir->file(u"missing.m3u"_s)}), int(CommandLine::Failed));
    QCOMPARE(stations(), before);
}

void TestCommands::import_takesItsCategoryAndDryRun() {
    dir->write(u"a.pls"_s, "[playlist]\nFile1=http://a.example/\nTitle1=甲\nGroup1=国内电视\n");
    const auto before = stations();
    QCOMPARE(run({u"import"_s, dir->file(u"a.pls"_s), u"--category"_s, u"快速选台一"_s, u"--dry-run"_s}),
             int(CommandLine::Done));
    QCOMPARE(stations(), before);
    QCOMPARE(run({u"import"_s, dir->file(u"a.pls"_s), u"--category"_s, u"快速选台一"_s}), int(CommandLine::Done));
    QCOMPARE(stations().back(), (Catalogue::Station{u"快速选台一"_s, u"甲"_s, u"http://a.example/"_s}));
}

void TestCommands::export_choosesTheFormatByOptionThenByExtension_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("M3U unless told otherwise") << u"list.txt"_s << QStringList() << "#EXTM3U\n"_ba;
    QTest::newRow("PLS by extension") << u"list.PLS"_s << QStringList() << "[playlist]\n"_ba;
    QTest::newRow("the option over the extension")
        << u"list.m3u"_s << QStringList{u"--format"_s, u"xspf"_s} << "<?xml"_ba;
}

void TestCommands::export_choosesTheFormatByOptionThenByExtension() {
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, start);
    QCOMPARE(run(QStringList{u"export"_s, dir->file(file)} + options), int(CommandLine::Done));
    QVERIFY(dir->read(file).startsWith(start));
}

void TestCommands::exportThenImport_findsEveryStationPresent() {
    const auto before = stations();
    QCOMPARE(run({u"export"_s, dir->file(u"all.m3u"_s)}), int(CommandLine::Done));
    QCOMPARE(run({u"export"_s, dir->file(u"radio.xspf"_s), u"--category"_s, u"国内广播"_s}), int(CommandLine::Done));
    QCOMPARE(run({u"import"_s, dir->file(u"all.m3u"_s), dir->file(u"radio.xspf"_s)}), int(CommandLine::Done));
    QCOMPARE(stations(), before);
}

void TestCommands::import_ofAnOldCatalogue_addsItsStationsOnceAndLeavesItAlone() {
    const QByteArray old = JetSamples::bytes(u"tv-jet4-reordered.mdb"_s);
    dir->write(u"old.mdb"_s, old);
    const auto before = stations();

    QCOMPARE(run({u"import"_s, dir->file(u"old.mdb"_s)}), int(CommandLine::Done));
    const auto after = stations();
    QCOMPARE(after.size(), before.size() + 20);
    QCOMPARE(after[before.size()],
             (Catalogue::Station{u"新闻"_s, u"中国之声"_s, u"http://example.com/live/voice.m3u8"_s}));
    // Its NULL category is no group, so the station takes the channel editor's blank.
    QCOMPARE(after[before.size() + 10],
             (Catalogue::Station{u" "_s, u"未分类电台"_s, u"http://example.com/live/misc.mp3"_s}));

    QCOMPARE(run({u"import"_s, dir->file(u"old.mdb"_s)}), int(CommandLine::Done));
    QCOMPARE(stations(), after);
    QCOMPARE(dir->read(u"old.mdb"_s), old);
}

void TestCommands::commands_convertAnOldCatalogueFirst() {
    dir->write(u"tv.mdb"_s, JetSamples::bytes(u"tv-jet4-reordered.mdb"_s));
    QCOMPARE(run({u"export"_s, dir->file(u"all.m3u"_s)}), int(CommandLine::Done));
    QCOMPARE(stations().size(), size_t(20));
    QCOMPARE(dir->read(u"tv.mdb.jet"_s), JetSamples::bytes(u"tv-jet4-reordered.mdb"_s));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"

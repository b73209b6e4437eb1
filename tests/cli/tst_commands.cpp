#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "desktop/SingleInstance.h"
#include "desktop/Translations.h"
#include "health/HealthTable.h"
#include "tests/support/Commands.h"
#include "tests/support/JetSamples.h"
#include "tests/support/ReadOnly.h"
#include "tests/support/StandardStreams.h"
#include "tests/support/TestProgramDir.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTest>
#include <QTranslator>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString backupOf(int daysAgo) {
    return u"backup/tv-%1.mdb"_s.arg(QDate::currentDate().addDays(-daysAgo).toString(Qt::ISODate));
}

} // namespace

// The commands as a script calls them: options, exit codes, files, pipes, what they print.
class TestCommands : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8()); }

    void wrongCommandLines_exitWithUsage_data();
    void wrongCommandLines_exitWithUsage();
    void import_ofAMissingFile_fails_andChangesNothing();
    void import_readsStandardInputOnce_data();
    void import_readsStandardInputOnce();
    void import_ofNoPlaylistAtAll_fails_andChangesNothing_data();
    void import_ofNoPlaylistAtAll_fails_andChangesNothing();
    void import_takesItsCategoryAndDryRun();
    void export_choosesTheFormatByOptionThenByExtension_data();
    void export_choosesTheFormatByOptionThenByExtension();
    void export_toStandardOutput_failsWhenItCannotBeWritten_data();
    void export_toStandardOutput_failsWhenItCannotBeWritten();
    void export_ofACategoryWithoutStations_failsAndNamesTheCategories();
    void exportThenImport_findsEveryStationPresent();
    void import_ofAnOldCatalogue_addsItsStationsOnceAndLeavesItAlone();
    void commands_convertAnOldCatalogueFirst();
    void import_withoutABackup_stopsBeforeWriting_unlessToldNoBackup();
    void import_stoppedByCtrlC_leavesTheCatalogueAsItWasAndNoJournal();
    void damagedCatalogue_isCalledSo_andItsNewestGoodBackupNamed_data();
    void damagedCatalogue_isCalledSo_andItsNewestGoodBackupNamed();
    void restore_putsAGoodBackupInPlace_andRefusesAnythingElse_data();
    void restore_putsAGoodBackupInPlace_andRefusesAnythingElse();
    void checkHelp_namesTheCatalogueUsed();
    void checkReport_readsACatalogueThatCannotBeWritten();
    void playlist_isNeverWrittenOverTheCatalogueItsBackupsOrADatabase_data();
    void playlist_isNeverWrittenOverTheCatalogueItsBackupsOrADatabase();
    void textFromOutside_isPrintedWithItsControlCharactersEscaped();
    void chinese_isWhatAPersonReads_neverWhatAProgramReads();

private:
    // Runs a command as the program runs it; what it prints on the error stream lands in `errors`.
    int run(const QStringList& arguments);
    void backUp(int daysAgo) const { QVERIFY(QFile::copy(dir->catalogue(), dir->file(backupOf(daysAgo)))); }
    std::vector<Catalogue::Station> stations() {
        Database catalogue = Catalogue::openConnection();
        return Catalogue::stations(catalogue);
    }

    QTemporaryDir runtime;
    QString errors;
};

int TestCommands::run(const QStringList& arguments) {
    const CommandRun ran = runCommand(arguments);
    errors = QString::fromUtf8(ran.errors);
    return ran.exit;
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

void TestCommands::import_readsStandardInputOnce_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Catalogue::Station>("last");
    const QByteArray playlist = "#EXTM3U\n#EXTINF:-1 group-title=\"测试\",甲\nhttp://a.example/\n";
    const Catalogue::Station station{u"测试"_s, u"甲"_s, u"http://a.example/"_s};
    QTest::newRow("-") << u"-"_s << playlist << station;
    QTest::newRow("/dev/stdin") << u"/dev/stdin"_s << playlist << station;
    QTest::newRow("an old catalogue on -")
        << u"-"_s << JetSamples::bytes(u"tv-jet4-reordered.mdb"_s)
        << Catalogue::Station{u"测试"_s, u"最大编号"_s, u"http://example.com/live/max.mp3"_s};
}

void TestCommands::import_readsStandardInputOnce() {
    QFETCH(QString, file);
    QFETCH(QByteArray, input);
    QFETCH(Catalogue::Station, last);
    QCOMPARE(runCommand({u"import"_s, file}, input).exit, int(CommandLine::Done));
    QCOMPARE(stations().back(), last);
}

void TestCommands::import_ofNoPlaylistAtAll_fails_andChangesNothing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("binary data") << "\x89PNG\r\n\x1a\n\0\0\0\rIHDR http://a.example/\n"_ba;
    QTest::newRow("a web page") << "<!DOCTYPE html><html><body>http://a.example/</body></html>"_ba;
    QTest::newRow("an empty file") << QByteArray();
}

void TestCommands::import_ofNoPlaylistAtAll_fails_andChangesNothing() {
    QFETCH(QByteArray, content);
    dir->write(u"junk.m3u"_s, content);
    const QByteArray before = dir->read(u"tv.mdb"_s);
    const CommandRun ran = runCommand({u"import"_s, dir->file(u"junk.m3u"_s)});
    QCOMPARE(ran.exit, int(CommandLine::Failed));
    QCOMPARE(ran.errors, "vimaro import: nothing was imported: none of the files is a playlist.\n"_ba);
    QCOMPARE(dir->read(u"tv.mdb"_s), before);
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

void TestCommands::export_toStandardOutput_failsWhenItCannotBeWritten_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QByteArray>("said");
    QTest::newRow("a pipe") << QString() << int(CommandLine::Done) << "Wrote 8 stations to standard output.\n"_ba;
    QTest::newRow("a full disk") << u"/dev/full"_s << int(CommandLine::Failed)
                                 << "vimaro export: cannot write standard output: disk full\n"_ba;
}

void TestCommands::export_toStandardOutput_failsWhenItCannotBeWritten() {
    QFETCH(QString, output);
    QFETCH(int, exit);
    QFETCH(QByteArray, said);
    const CommandRun ran = runCommand({u"export"_s, u"-"_s, u"--category"_s, u"国内广播"_s}, {}, output);
    QCOMPARE(ran.exit, exit);
    QCOMPARE(ran.errors, said);
    if (output.isEmpty())
        QVERIFY(ran.output.startsWith("#EXTM3U\n#EXTINF:-1 group-title=\"国内广播\","));
}

void TestCommands::export_ofACategoryWithoutStations_failsAndNamesTheCategories() {
    dir->changeCatalogue(u"DELETE FROM radio WHERE 类别 <> '国内广播' AND 类别 <> '快速选台一'"_s);
    const CommandRun ran = runCommand({u"export"_s, dir->file(u"none.m3u"_s), u"--category"_s, u"不存在"_s});
    QCOMPARE(ran.exit, int(CommandLine::Failed));
    QCOMPARE(QString::fromUtf8(ran.errors), u"vimaro export: no station has the category \"不存在\"; nothing was "
                                            "written. The categories are:\n  \"国内广播\"\n  \"快速选台一\"\n"_s);
    QVERIFY(!QFile::exists(dir->file(u"none.m3u"_s)));
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

    const CommandRun ran = runCommand({u"import"_s, dir->file(u"old.mdb"_s)});
    QCOMPARE(ran.exit, int(CommandLine::Done));
    QVERIFY(ran.output.contains("\nUnreadable records: 0\n"));
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

void TestCommands::import_withoutABackup_stopsBeforeWriting_unlessToldNoBackup() {
    dir->write(u"a.m3u"_s, "http://a.example/\n");
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    const ReadOnly full(dir->file(u"backup"_s));
    if (!full.ok())
        QSKIP("the backup folder cannot be made read-only here");
    const auto before = stations();

    QCOMPARE(run({u"import"_s, dir->file(u"a.m3u"_s)}), int(CommandLine::Failed));
    QVERIFY2(errors.contains(u"--no-backup"_s), qPrintable(errors));
    QCOMPARE(stations(), before);

    QCOMPARE(run({u"import"_s, dir->file(u"a.m3u"_s), u"--no-backup"_s}), int(CommandLine::Done));
    QCOMPARE(stations().size(), before.size() + 1);
}

// Ended by Ctrl+C in the middle of its transaction, an import would leave a hot journal, and a copy of tv.mdb taken
// then would be damaged.
void TestCommands::import_stoppedByCtrlC_leavesTheCatalogueAsItWasAndNoJournal() {
    QByteArray playlist;
    for (int n = 0; n < 200000; ++n)
        playlist += "http://many.example/" + QByteArray::number(n) + '\n';
    dir->write(u"many.m3u"_s, playlist);
    const QByteArray before = dir->read(u"tv.mdb"_s);
    const CommandRun ran =
        runCommandStoppedWhileWriting({u"import"_s, dir->file(u"many.m3u"_s)}, dir->file(u"tv.mdb-journal"_s));

    QCOMPARE(ran.exit, int(CommandLine::Failed));
    QVERIFY2(ran.errors.contains("stopped by Ctrl+C"), ran.errors.constData());
    QVERIFY(!QFile::exists(dir->file(u"tv.mdb-journal"_s)));
    QCOMPARE(dir->read(u"tv.mdb"_s), before);
}

void TestCommands::damagedCatalogue_isCalledSo_andItsNewestGoodBackupNamed_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<bool>("header"); // damaged there, else in an index, which only a full check finds
    QTest::newRow("import") << QStringList{u"import"_s, u"a.m3u"_s} << true;
    QTest::newRow("export") << QStringList{u"export"_s, u"out.m3u"_s} << true;
    QTest::newRow("check") << QStringList{u"check"_s} << true;
    QTest::newRow("import, an index damaged") << QStringList{u"import"_s, u"a.m3u"_s} << false;
    QTest::newRow("check, an index damaged") << QStringList{u"check"_s} << false;
}

void TestCommands::damagedCatalogue_isCalledSo_andItsNewestGoodBackupNamed() {
    QFETCH(QStringList, command);
    QFETCH(bool, header);
    dir->write(u"a.m3u"_s, "http://a.example/\n");
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    backUp(3);
    dir->write(backupOf(1), "a backup cut short");
    if (header)
        dir->write(u"tv.mdb"_s, dir->read(u"tv.mdb"_s).replace(0, 16, "no database now"));
    else
        dir->damageAnIndex();
    const QByteArray damaged = dir->read(u"tv.mdb"_s);

    for (qsizetype file = 1; file < command.size(); ++file)
        command[file] = dir->file(command[file]);
    QCOMPARE(run(command), int(CommandLine::Failed));

    QVERIFY2(errors.contains(u"is damaged"_s), qPrintable(errors));
    QVERIFY2(errors.contains(dir->file(backupOf(3)) + u": \"vimaro restore\" puts it in place"_s), qPrintable(errors));
    QCOMPARE(dir->read(u"tv.mdb"_s), damaged);
    QVERIFY(!QFile::exists(dir->file(u"out.m3u"_s)));
    QCOMPARE(QDir(dir->file(u"backup"_s)).entryList(QDir::Files).size(), 2);
}

void TestCommands::restore_putsAGoodBackupInPlace_andRefusesAnythingElse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("windowsRun"); // their environment's runtime folder: "" not at all, "here" this one
    QTest::addColumn<QString>("restored");   // none: nothing may change
    QTest::newRow("the newest good backup") << QStringList() << QString() << backupOf(2);
    QTest::newRow("a backup by its name") << QStringList{backupOf(3).mid(7)} << QString() << backupOf(3);
    QTest::newRow("a damaged backup by its name") << QStringList{backupOf(1).mid(7)} << QString() << QString();
    QTest::newRow("while the windows run") << QStringList() << u"here"_s << QString();
    QTest::newRow("while the windows run in another environment") << QStringList() << u"elsewhere"_s << QString();
}

void TestCommands::restore_putsAGoodBackupInPlace_andRefusesAnythingElse() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, windowsRun);
    QFETCH(QString, restored);
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    dir->changeCatalogue(u"DELETE FROM radio WHERE rowid > 1"_s);
    backUp(3);
    dir->changeCatalogue(u"DELETE FROM radio"_s);
    backUp(2);
    dir->write(backupOf(1), "a backup cut short");
    const QByteArray damaged = "no catalogue";
    dir->write(u"tv.mdb"_s, damaged);
    const QTemporaryDir elsewhere;
    if (windowsRun == u"elsewhere"_s)
        qputenv("XDG_RUNTIME_DIR", elsewhere.path().toUtf8());
    SingleInstance windows(dir->path());
    if (!windowsRun.isEmpty())
        QCOMPARE(windows.start(), SingleInstance::Start::First);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());

    const int exit = run(QStringList{u"restore"_s} + arguments);

    if (restored.isEmpty()) {
        QCOMPARE(exit, int(CommandLine::Failed));
        QCOMPARE(dir->read(u"tv.mdb"_s), damaged);
        return;
    }
    QCOMPARE(exit, int(CommandLine::Done));
    QCOMPARE(stations().size(), restored == backupOf(3) ? size_t(1) : size_t(0));
    const QStringList aside = QDir(dir->path()).entryList({u"tv.mdb.damaged-*"_s});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(dir->read(aside.first()), damaged);
}

void TestCommands::checkHelp_namesTheCatalogueUsed() {
    const CommandRun ran = runCommand({u"check"_s, u"--help"_s});
    QCOMPARE(ran.exit, int(CommandLine::Done));
    QVERIFY(QString::fromUtf8(ran.output)
                .simplified()
                .contains(u"in the catalogue it checks, %1."_s.arg(dir->catalogue())));
}

void TestCommands::checkReport_readsACatalogueThatCannotBeWritten() {
    const ReadOnly locked(dir->catalogue());
    if (!locked.ok())
        QSKIP("the catalogue cannot be made read-only here");
    const CommandRun reported = runCommand({u"check"_s, u"--report"_s});
    QCOMPARE(reported.exit, int(CommandLine::Done));
    QCOMPARE(reported.output, "No findings yet: vimaro check checks the stations.\n"_ba);
}

// Mistyped, an export's target could be the catalogue, a backup or another database, by name or through a link.
void TestCommands::playlist_isNeverWrittenOverTheCatalogueItsBackupsOrADatabase_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("target");
    const QStringList exporting{u"export"_s};
    QTest::newRow("the catalogue") << exporting << u"tv.mdb"_s;
    QTest::newRow("the catalogue, by a link") << exporting << u"link.m3u"_s;
    QTest::newRow("its journal") << exporting << u"tv.mdb-journal"_s;
    QTest::newRow("a backup") << exporting << backupOf(1);
    QTest::newRow("a new file among the backups") << exporting << u"backup/all.m3u"_s;
    QTest::newRow("another database") << exporting << u"other.db"_s;
    QTest::newRow("the catalogue, by check")
        << QStringList{u"check"_s, u"--report"_s, u"--export-dead"_s} << u"tv.mdb"_s;
}

void TestCommands::playlist_isNeverWrittenOverTheCatalogueItsBackupsOrADatabase() {
    QFETCH(QStringList, command);
    QFETCH(QString, target);
    QVERIFY(QDir(dir->path()).mkdir(u"backup"_s));
    backUp(1);
    QVERIFY(QFile::link(dir->catalogue(), dir->file(u"link.m3u"_s)));
    QVERIFY(QFile::copy(dir->catalogue(), dir->file(u"other.db"_s)));
    const auto files = [&] {
        QStringList all;
        for (const QString& name : {u"tv.mdb"_s, u"other.db"_s, backupOf(1)})
            all.append(QString::fromLatin1(dir->read(name).toBase64()));
        return all + QDir(dir->file(u"backup"_s)).entryList(QDir::Files) + QDir(dir->path()).entryList(QDir::Files);
    };
    const QStringList before = files();

    QCOMPARE(run(command + QStringList{dir->file(target)}), int(CommandLine::Failed));
    QVERIFY2(errors.contains(u"a playlist is never written over it"_s), qPrintable(errors));
    QCOMPARE(files(), before);
}

// A file's name, a station's and a server's answer, each with the escape sequences that retitle a terminal's
// window and clear its screen, or characters that turn a line around or hide in it. A name keeps none of them.
void TestCommands::textFromOutside_isPrintedWithItsControlCharactersEscaped() {
    const QString file = dir->file(u"list\x1B[2J\u202E.pls"_s);
    dir->write(QFileInfo(file).fileName(),
               "[playlist]\nFile1=file:///a\nTitle1=\x1B]0;台\a\u202E\u200B\xC2\x85\n[other]\n");
    const CommandRun imported = runCommand({u"import"_s, file});
    QCOMPARE(imported.exit, int(CommandLine::Done));
    dir->changeCatalogue(u"INSERT INTO station_health SELECT max(rowid), 网址, '2026-01-01T00:00:00Z', 'not-found', "
                         "'HTTP 404 ' || char(27) || '[2J' FROM radio"_s);
    const CommandRun reported = runCommand({u"check"_s, u"--report"_s});
    QCOMPARE(reported.exit, int(CommandLine::Done));

    const QString printed = QString::fromUtf8(imported.output + reported.output);
    const QString listed = dir->file(u"list\\x1B[2J\\u202E.pls"_s);
    QVERIFY2(printed.contains(listed + u" line 2: ]0;台  file:///a\n"_s), qPrintable(printed));
    QVERIFY2(printed.contains(listed + u" line 4 starts a section other than [playlist]\n"_s), qPrintable(printed));
    // A stored detail is made one printable line already when it is read back.
    QVERIFY2(printed.contains(u"]0;台  file:///a  HTTP 404 ?[2J\n"_s), qPrintable(printed));
    QVERIFY(!printed.contains(u'\x1B') && !printed.contains(u'\a') && !printed.contains(u'\u202E'));
}

// Under a Chinese locale the report is Chinese, and the findings as JSON, the exported playlist and the exit codes are
// the same bytes as under English.
void TestCommands::chinese_isWhatAPersonReads_neverWhatAProgramReads() {
    dir->changeCatalogue(u"INSERT INTO station_health SELECT min(rowid), 网址, '2026-01-01T00:00:00Z', 'not-found', "
                         "'HTTP 404' FROM radio"_s);
    const auto run = [] {
        QList<CommandRun> runs;
        for (const QStringList& arguments : {QStringList{u"check"_s, u"--report"_s, u"--json"_s},
                                             QStringList{u"export"_s, u"-"_s}, QStringList{u"check"_s, u"--report"_s}})
            runs.append(runCommand(arguments));
        return runs;
    };
    const QList<CommandRun> english = run();
    loadTranslations(QLocale(QLocale::Chinese, QLocale::China));
    const QList<CommandRun> chinese = run();
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());

    for (int i = 0; i < 2; ++i) {
        QCOMPARE(chinese[i].exit, english[i].exit);
        QCOMPARE(chinese[i].output, english[i].output);
    }
    QVERIFY2(english[2].output.contains("Last findings of 1 station: 0 play, 1 do not"), english[2].output.constData());
    QVERIFY2(chinese[2].output.contains("1 个电台的上次检查结果：0 个能播放，1 个不能"), chinese[2].output.constData());
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"

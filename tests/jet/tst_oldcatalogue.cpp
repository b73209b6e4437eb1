#include "catalogue/Catalogue.h"
#include "jet/OldCatalogue.h"
#include "sqlite/Statement.h"
#include "tests/support/JetSamples.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Every file of a folder with its bytes.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QDir(folder).filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }
    return files;
}

// The catalogue's records in catalogue order, fields by position, NULL written as \N.
QList<QStringList> records() {
    Database connection = Catalogue::openConnection();
    Statement table(connection, u"SELECT * FROM radio ORDER BY rowid"_s);
    QList<QStringList> result;
    while (table.step()) {
        QStringList fields;
        for (int position = 0; position < table.columnCount(); ++position) {
            const QVariant value = table.column(position);
            fields.append(value.isNull() ? u"\\N"_s : value.toString());
        }
        result.append(fields);
    }
    return result;
}

// The rows of a .rows file with their fields in the catalogue's order: 编号, 类别, 名称, 网址.
QList<QStringList> inCatalogueOrder(const QList<QStringList>& sample) {
    QList<QStringList> result;
    for (const QStringList& row : sample.mid(1)) {
        QStringList fields;
        for (const QString& name : {Catalogue::Number, Catalogue::Category, Catalogue::Name, Catalogue::Address})
            fields.append(row[sample.first().indexOf(name)]);
        result.append(fields);
    }
    return result;
}

// Root writes into any folder; a read-only folder stops only an ordinary user, so the test becomes one meanwhile,
// real user too: a child started with the two apart runs restricted (a sanitizer's leak check cannot look into it).
// Root stays the saved user, to come back to.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(folder) {
        const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            QFile::setPermissions(QDir(folder).filePath(name), readable);
        QFile::setPermissions(folder, readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        const uid_t nobody = getpwnam("nobody")->pw_uid;
        if (asRoot_ && setresuid(nobody, nobody, 0) != 0)
            qFatal("cannot act as an ordinary user");
    }
    ~ReadOnlyFolder() {
        if (asRoot_ && setresuid(0, 0, 0) != 0)
            qFatal("cannot act as root again");
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString folder_;
    bool asRoot_ = geteuid() == 0;
};

} // namespace

// Converting an old Jet tv.mdb into a catalogue, in a throw-away program directory.
class TestOldCatalogue : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void convert_bringsEveryStationOverInRecordOrder_data();
    void convert_bringsEveryStationOverInRecordOrder();
    void convert_withoutOldNumbers_numbersTheStationsInRecordOrder();
    void convert_keepsAnEarlierOldFileAndTakesTheNextName();
    void convert_failing_leavesTheFolderAsItWas_data();
    void convert_failing_leavesTheFolderAsItWas();
    void convert_leavesAnythingButAJetFileAlone();
    void jetCatalogueOpenedAsItIs_saysWhatItIs();
    void reader_endsWithItsParent();
};

void TestOldCatalogue::convert_bringsEveryStationOverInRecordOrder_data() {
    QTest::addColumn<QString>("sample");
    // 类别 stands first there, and 编号 second.
    QTest::newRow("20 stations, fields out of place") << u"tv-jet4-reordered"_s;
    QTest::newRow("2,000 stations") << u"tv-jet4-2000"_s;
}

void TestOldCatalogue::convert_bringsEveryStationOverInRecordOrder() {
    QFETCH(QString, sample);
    const QByteArray jet = JetSamples::bytes(sample + u".mdb"_s);
    dir->write(u"tv.mdb"_s, jet);

    const std::optional<OldCatalogue::Conversion> done = OldCatalogue::convert(dir->catalogue());

    const QList<QStringList> expected = inCatalogueOrder(JetSamples::rows(sample + u".rows"_s));
    QVERIFY(done);
    QCOMPARE(done->stations, expected.size());
    QCOMPARE(done->keptAs, dir->file(u"tv.mdb.jet"_s));
    QCOMPARE(records(), expected);
    const QMap<QString, QByteArray> files = contents(dir->path());
    QCOMPARE(files.keys(), (QStringList{u"tv.mdb"_s, u"tv.mdb.jet"_s, u"tvset.ini"_s}));
    QVERIFY(files[u"tv.mdb.jet"_s] == jet);
}

void TestOldCatalogue::convert_withoutOldNumbers_numbersTheStationsInRecordOrder() {
    dir->write(u"tv.mdb"_s, JetSamples::renamingField(u"tv-jet4-reordered.mdb"_s, u"编号"_s, u"序号"_s));
    QVERIFY(OldCatalogue::convert(dir->catalogue()));

    QList<QStringList> expected = inCatalogueOrder(JetSamples::rows(u"tv-jet4-reordered.rows"_s));
    for (qsizetype row = 0; row < expected.size(); ++row)
        expected[row][0] = QString::number(row + 1);
    QCOMPARE(records(), expected);
}

void TestOldCatalogue::convert_keepsAnEarlierOldFileAndTakesTheNextName() {
    dir->write(u"tv.mdb.jet"_s, "kept by an earlier conversion");
    dir->write(u"tv.mdb"_s, JetSamples::bytes(u"tv-jet4-reordered.mdb"_s));

    const std::optional<OldCatalogue::Conversion> done = OldCatalogue::convert(dir->catalogue());

    QVERIFY(done);
    QCOMPARE(done->keptAs, dir->file(u"tv.mdb.2.jet"_s));
    QCOMPARE(dir->read(u"tv.mdb.jet"_s), "kept by an earlier conversion");
    QCOMPARE(dir->read(u"tv.mdb.2.jet"_s), JetSamples::bytes(u"tv-jet4-reordered.mdb"_s));
}

void TestOldCatalogue::convert_failing_leavesTheFolderAsItWas_data() {
    QTest::addColumn<QByteArray>("jet");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QByteArray>("reader");
    QTest::addColumn<QString>("saying");
    const QByteArray catalogue = JetSamples::bytes(u"tv-jet4-2000.mdb"_s);
    QTest::newRow("no table radio") << JetSamples::bytes(u"jet4-datetest.mdb"_s) << false << ""_ba
                                    << u"中没有表 radio"_s;
    QTest::newRow("radio without 网址") << JetSamples::renamingField(u"tv-jet4-reordered.mdb"_s, u"网址"_s, u"网站"_s)
                                        << false << ""_ba << u"的表 radio 缺少字段“网址”"_s;
    QTest::newRow("cut off before its tables")
        << catalogue.left(65536) << false << ""_ba << u"读不出来：文件不完整或已损坏"_s;
    QTest::newRow("cut off within the rows")
        << catalogue.left(49 * 4096) << false << ""_ba << u"的表 radio 读不出来：文件不完整或已损坏"_s;
    QTest::newRow("read-only folder") << catalogue << true << ""_ba << u"无法在文件夹"_s;
    // What the Jet library may do with a damaged file, played by a stand-in for the reading child.
    QTest::newRow("the reader crashes") << catalogue << false << "kill -SEGV $$"_ba << u"读取时出错中止"_s;
    QTest::newRow("the reader hangs") << catalogue << false << "exec sleep 60"_ba << u"秒内没有读完"_s;
}

void TestOldCatalogue::convert_failing_leavesTheFolderAsItWas() {
    QFETCH(QByteArray, jet);
    QFETCH(bool, readOnly);
    QFETCH(QByteArray, reader);
    QFETCH(QString, saying);
    dir->write(u"tv.mdb"_s, jet);
    const QMap<QString, QByteArray> before = contents(dir->path());
    QTemporaryDir standIn;
    if (!reader.isEmpty()) {
        QFile script(standIn.filePath(u"reader"_s));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\n" + reader + '\n') > 0);
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        OldCatalogue::setReaderForTesting(script.fileName(), std::chrono::seconds(1));
    }

    QString message;
    {
        std::optional<ReadOnlyFolder> folder;
        if (readOnly)
            folder.emplace(dir->path());
        try {
            OldCatalogue::convert(dir->catalogue());
        } catch (const DbError& error) {
            message = QString::fromUtf8(error.what());
        }
    }

    QVERIFY2(message.contains(saying), qPrintable(message));
    QVERIFY(contents(dir->path()) == before);
}

void TestOldCatalogue::convert_leavesAnythingButAJetFileAlone() {
    const QMap<QString, QByteArray> shipped = contents(dir->path());
    QVERIFY(!OldCatalogue::convert(dir->catalogue()));
    QVERIFY(contents(dir->path()) == shipped);
    dir->remove(u"tv.mdb"_s);
    QVERIFY(!OldCatalogue::convert(dir->catalogue()));
    QVERIFY(!QFile::exists(dir->catalogue()));
}

void TestOldCatalogue::jetCatalogueOpenedAsItIs_saysWhatItIs() {
    dir->write(u"tv.mdb"_s, JetSamples::bytes(u"tv-jet4-reordered.mdb"_s));
    try {
        Catalogue::openConnection();
        QFAIL("a Jet file opened as a catalogue");
    } catch (const DbError& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(u"是旧版的 Access (Jet) 数据库"_s), error.what());
    }
}

// A parent killed while its reader spins on a damaged file takes the reader with it. The test adopts the orphaned
// reader, so that it learns how the reader ended.
void TestOldCatalogue::reader_endsWithItsParent() {
    QTemporaryDir standIn;
    QFile script(standIn.filePath(u"reader"_s));
    QVERIFY(script.open(QIODevice::WriteOnly) &&
            script.write("#!/bin/sh\necho $$ > '" + dir->file(u"started"_s).toUtf8() + "'\nexec sleep 30\n") > 0);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
    const auto noLongerAdopting = qScopeGuard([] { ::prctl(PR_SET_CHILD_SUBREAPER, 0); });
    QProcess parent;
    parent.start(QStringLiteral(READER_PARENT), {script.fileName(), dir->catalogue()});
    QTRY_VERIFY(dir->read(u"started"_s).endsWith('\n'));
    const pid_t reader = dir->read(u"started"_s).trimmed().toInt();

    parent.kill();
    QVERIFY(parent.waitForFinished());

    int status = 0;
    QCOMPARE(::waitpid(reader, &status, 0), reader);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGKILL);
}

QTEST_GUILESS_MAIN(TestOldCatalogue)
#include "tst_oldcatalogue.moc"

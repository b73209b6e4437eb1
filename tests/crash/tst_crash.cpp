#include "catalogue/Catalogue.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

// A writer of the settings file and a writer of the catalogue, each killed with SIGKILL at random moments, over and
// over: whatever moment the kill comes at, the files are whole. VIMARO_CRASH_KILLS sets how many kills of each
// (tools/crashtest runs thousands).
class TestCrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedSettingsWrite_leavesEachFileOldOrNewAndWhole();
    void killedCatalogueWrite_losesNoStationAndHalvesNone();

private:
    static int kills() {
        bool set = false;
        const int wanted = qEnvironmentVariableIntValue("VIMARO_CRASH_KILLS", &set);
        return set ? wanted : 24;
    }
    static QStringList runAndKill(const QStringList& arguments);
};

// Starts the writer, lets it run a random while once its first write is done, kills it and returns every line it
// printed: each names a write that had returned before the kill.
QStringList TestCrash::runAndKill(const QStringList& arguments) {
    QProcess writer;
    writer.start(QStringLiteral(CRASH_WRITER), arguments);
    if (!writer.waitForReadyRead(30'000))
        qFatal("the writer never wrote: %s", writer.readAllStandardError().constData());
    QThread::usleep(QRandomGenerator::global()->bounded(30'000));
    writer.kill();
    writer.waitForFinished();
    return QString::fromUtf8(writer.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void TestCrash::killedSettingsWrite_leavesEachFileOldOrNewAndWhole() {
    TestProgramDir dir;
    // Lines of other text make every write long enough for kills to land in its middle.
    const QByteArray padding = QByteArray("; a line of the user's own\r\n").repeated(2000);
    const auto withColour = [&](const char* colour) {
        return "[setup]\r\ncolor=" + QByteArray(colour) + "\r\n" + padding;
    };
    const QByteArray installed = withColour("&HFFC0C0");
    const QSet<QByteArray> written{withColour("&H00FF00"), withColour("&H0000FF")};
    dir.write(u"tvset.ini"_s, installed);

    int midWrite = 0;
    for (int kill = 0; kill < kills(); ++kill) {
        runAndKill({u"settings"_s, dir.path()});
        midWrite += dir.read(u"tvset.tmp"_s) != dir.read(u"tvset.ini"_s);
        const QByteArray settings = dir.read(u"tvset.ini"_s);
        QVERIFY2(settings == installed || written.contains(settings), qPrintable(u"kill %1: tvset.ini"_s.arg(kill)));
        const bool tmpWhole = !QFile::exists(dir.file(u"tvset.tmp"_s)) || written.contains(dir.read(u"tvset.tmp"_s));
        QVERIFY2(tmpWhole, qPrintable(u"kill %1: tvset.tmp"_s.arg(kill)));
    }
    qInfo("%d kills, %d of them between the two files of one write", kills(), midWrite);
}

namespace {

using Station = QPair<QString, QString>; // name, web address

// Every station in table order, read after the engine's full integrity check has passed.
QList<Station> stationsOf(const QString& catalogue) {
    using namespace Catalogue;
    Database db = Database::OpenDatabase(catalogue);
    if (!db.IntegrityCheck())
        qFatal("%s fails the integrity check", qPrintable(catalogue));
    QList<Station> stations;
    for (const Catalogue::Station& station : Catalogue::stations(db))
        stations.append({station.name, station.address});
    return stations;
}

} // namespace

// The writer adds "crash RUN-N" at http://crash.example/crash/RUN-N and renames every other one, name and address
// together, to "crash RUN-N changed" at .../RUN-N/changed. After any kill the shipped stations are as they were,
// every write the writer saw return is there, no station has one half of a change, and every backup is whole.
void TestCrash::killedCatalogueWrite_losesNoStationAndHalvesNone() {
    TestProgramDir dir;
    const QList<Station> shipped = stationsOf(dir.catalogue());
    static const QRegularExpression crashStation(u"^crash (\\d+-\\d+)( changed)?$"_s);

    int midTransaction = 0;
    for (int kill = 0; kill < kills(); ++kill) {
        const QStringList returned = runAndKill({u"catalogue"_s, dir.path(), QString::number(kill)});
        midTransaction += QFile::exists(dir.file(u"tv.mdb-journal"_s));
        const QString context = u"kill %1"_s.arg(kill);
        QList<Station> others;
        QSet<QString> names;
        for (const Station& station : stationsOf(dir.catalogue())) {
            const QRegularExpressionMatch match = crashStation.match(station.first);
            if (!match.hasMatch()) {
                others.append(station);
                continue;
            }
            const QString address = u"http://crash.example/crash/"_s + match.captured(1) +
                                    (match.hasCaptured(2) ? u"/changed"_s : QString());
            QVERIFY2(station.second == address, qPrintable(context + u": half-written "_s + station.first));
            QVERIFY2(!names.contains(station.first), qPrintable(context + u": twice "_s + station.first));
            names.insert(station.first);
        }
        QVERIFY2(others == shipped, qPrintable(context + u": the shipped stations changed"_s));
        for (const QString& line : returned) {
            const QString name = line.section(u' ', 1);
            const bool stored =
                names.contains(name + u" changed"_s) || (line.startsWith(u"added"_s) && names.contains(name));
            QVERIFY2(stored, qPrintable(context + u": lost, "_s + line));
        }
        const QDir backups(dir.file(u"backup"_s));
        for (const QString& backup : backups.entryList({u"tv-*.mdb"_s}, QDir::Files))
            stationsOf(backups.filePath(backup));
    }
    qInfo("%d kills, %d of them inside a transaction", kills(), midTransaction);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"

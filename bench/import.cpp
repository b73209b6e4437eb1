// Import of a large M3U into a large catalogue, against a floor measured in the same run: SQLite inserting the
// same rows into a copy of the same catalogue, with nothing read, parsed or checked. Each is timed on a fresh copy
// of the catalogue; the median of a few runs is printed. Then a playlist of 10,000 entries imported from a web server
// on this machine, against the same file imported from disk, and an update of an unchanged subscription: its
// requests, its time, and whether the catalogue changed. Last the peak memory of an import, each in a process of its
// own, of ENTRIES and of LARGE entries against that of an import of one: the same, whatever the file's size.
//
//   bench_import [ENTRIES [STATIONS [LARGE]]]   (100000 entries into 1000000 stations, and 5000000, by default)
#include "playlists/Import.h"

#include "bench/Measure.h"
#include "cli/CommandLine.h"
#include "desktop/ProgramDir.h"
#include "internet/Download.h"
#include "internet/Subscriptions.h"
#include "playlists/Input.h"
#include "sqlite/Statement.h"
#include "tests/support/WebServer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Runs = 3;

void exec(sqlite3* db, const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("%s", error ? error : sqlite3_errmsg(db));
}

// New stations, none of them in the catalogue yet, as the public lists are shaped: group, name, stream address.
std::vector<Catalogue::Station> newStations(int count, int first = 0) {
    std::vector<Catalogue::Station> stations;
    for (int i = first; i < first + count; ++i)
        stations.push_back({Catalogue::SlotNames[i % 9].left(2) + u"频道 %1"_s.arg(i % 40), u"新台 %1 HD"_s.arg(i),
                            u"https://cdn%1.example.net/hls/channel-%2/index.m3u8"_s.arg(i % 7).arg(i)});
    return stations;
}

// The median of a few runs of `work`, each on a fresh copy of the catalogue `base`.
template <typename Work> Time onFreshCopies(const QString& base, const QString& copy, Work work) {
    std::vector<Time> runs;
    for (int run = 0; run < Runs; ++run) {
        QFile::remove(copy);
        QFile::copy(base, copy);
        runs.push_back(timed([&] { work(copy); }));
    }
    return median(runs);
}

void bareInsert(const QString& path, const std::vector<Catalogue::Station>& stations) {
    std::vector<std::array<QByteArray, 3>> rows;
    for (const Catalogue::Station& s : stations)
        rows.push_back({s.category.toUtf8(), s.name.toUtf8(), s.address.toUtf8()});
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO radio (类别, 名称, 网址) VALUES (?, ?, ?)", -1, &insert, nullptr);
    exec(db, u"BEGIN"_s);
    for (const auto& row : rows) {
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_text(insert, i + 1, row[i].constData(), int(row[i].size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    exec(db, u"COMMIT"_s);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

// What `vimaro import FILE` does: read the playlist as it imports it.
Playlists::ImportReport import(const QString& catalogue, const QString& playlist) {
    QFile file(playlist);
    file.open(QIODevice::ReadOnly);
    Playlists::InputBlocks input(file, playlist);
    Database connection = Database::OpenDatabase(catalogue);
    return Playlists::importPlaylists(connection, {Playlists::playlistFile(input)});
}

// An M3U of `count` new stations, written a part at a time so that the benchmark itself holds none of it whole.
void writePlaylist(const QString& path, int count) {
    constexpr int Part = 100000;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int first = 0; first < count; first += Part)
        file.write(Playlists::writeM3u(newStations(std::min(Part, count - first), first)));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// What `vimaro import URL` does: download the list, read it, import it.
Playlists::ImportReport importFrom(const QString& catalogue, const QUrl& address) {
    QNetworkAccessManager network;
    Internet::Request request;
    request.address = address;
    request.playlist = true;
    const QByteArray list = Internet::Download(network, request).run().body;
    Database connection = Database::OpenDatabase(catalogue);
    return Playlists::importPlaylists(connection,
                                      {Playlists::playlistFile({address.toString(), Playlists::read(list)})});
}

// A web server serving the file `playlist` at every path, in a thread of its own as a real server would be.
class ListServer {
public:
    explicit ListServer(const QString& playlist) {
        anchor_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            &anchor_,
            [this, list = readFile(playlist)] {
                server_ = std::make_unique<WebServer>(WebServer::files([list](const QByteArray&) { return list; }));
            },
            Qt::BlockingQueuedConnection);
    }
    ~ListServer() {
        QMetaObject::invokeMethod(
            &anchor_, [this] { server_.reset(); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    QUrl address() const { return server_->address(u"/list.m3u"_s); }
    int requests() const { return server_->requests(); }

private:
    QThread thread_;
    QObject anchor_;
    std::unique_ptr<WebServer> server_;
};

// Subscribes the program directory's catalogue to the list, then times `vimaro update` on the list unchanged.
void unchangedUpdate(const QString& base, const QString& playlist) {
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(u"tv.mdb"_s);
    QFile::copy(base, catalogue);
    setProgramDirForTesting(dir.path());
    ListServer server(playlist);
    {
        QNetworkAccessManager network;
        Internet::Request request;
        request.address = server.address();
        const Internet::Answer answer = Internet::Download(network, request).run();
        Database connection = Database::OpenDatabase(catalogue);
        Transaction transaction(connection);
        Subscriptions::Subscription subscription =
            Subscriptions::subscribe(connection, server.address().toString(), std::nullopt);
        Subscriptions::update(connection, subscription, {server.address().toString(), Playlists::read(answer.body)},
                              {answer.etag, answer.lastModified, answer.body});
        transaction.commit();
    }
    const auto fingerprint = [&] {
        return QCryptographicHash::hash(readFile(catalogue), QCryptographicHash::Sha256) +
               QFileInfo(catalogue).lastModified().toString(Qt::ISODateWithMs).toLatin1();
    };
    const QByteArray before = fingerprint();
    const int requests = server.requests();
    std::fflush(stdout);
    const Time took = timed([] { CommandLine::updateSubscriptions({u"update"_s}); });
    std::printf("  %-50s %7.0f ms %7.0f ms   %d request, the catalogue %s\n", "update of an unchanged subscription",
                took.wall, took.processor, server.requests() - requests,
                fingerprint() == before ? "unchanged" : "CHANGED");
    setProgramDirForTesting({});
}

// The most memory a new process held while it imported `playlist` into a fresh copy of `base`, in megabytes, as
// the process itself tells it: the kernel's own count for a child would include the memory of the benchmark it
// was forked from.
double peakOfImport(const QString& base, const QString& copy, const QString& playlist) {
    QFile::remove(copy);
    QFile::copy(base, copy);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--import"_s, copy, playlist});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("the import of %s failed", qPrintable(playlist));
    return child.readAllStandardOutput().toDouble();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The day's backup goes beside the catalogue, in the benchmark's folder.
    if (argc == 4 && qstrcmp(argv[1], "--import") == 0) {
        setProgramDirForTesting(QFileInfo(QString::fromUtf8(argv[2])).path());
        if (import(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3])).added == 0)
            return 1;
        std::printf("%.1f", peakResidentMegabytes());
        return 0;
    }
    const int entries = argc > 1 ? atoi(argv[1]) : 100000;
    const int size = argc > 2 ? atoi(argv[2]) : 1000000;
    const int large = argc > 3 ? atoi(argv[3]) : 5000000;
    QTemporaryDir dir;
    setProgramDirForTesting(dir.path());
    makeCatalogue(dir.filePath(u"tv.mdb"_s), 0);
    const QString unindexed = dir.filePath(u"unindexed.mdb"_s), base = dir.filePath(u"base.mdb"_s);
    const QString copy = dir.filePath(u"copy.mdb"_s), playlist = dir.filePath(u"list.m3u"_s);

    makeCatalogue(unindexed, size);
    QFile::copy(unindexed, base);
    const Time indexing = timed([&] {
        Database connection = Database::OpenDatabase(base);
        Catalogue::createIndexes(connection);
    });
    const std::vector<Catalogue::Station> stations = newStations(entries);
    QFile file(playlist);
    file.open(QIODevice::WriteOnly);
    file.write(Playlists::writeM3u(stations));
    file.close();

    const Time floor = onFreshCopies(base, copy, [&](const QString& path) { bareInsert(path, stations); });
    int added = 0;
    const Time took = onFreshCopies(base, copy, [&](const QString& path) { added = import(path, playlist).added; });
    const Time parsing = onFreshCopies(base, copy, [&](const QString&) {
        QFile list(playlist);
        list.open(QIODevice::ReadOnly);
        Playlists::InputBlocks input(list, playlist);
        Playlists::read(input, {[](const Playlists::Entry&) {}, [](const Playlists::UnreadableLine&) {}});
    });
    const Time first = onFreshCopies(unindexed, copy, [&](const QString& path) { import(path, playlist); });
    if (added != entries)
        qFatal("the import added %d of %d stations", added, entries);

    std::printf("import of %d M3U entries into a catalogue of %d stations, median of %d runs\n", entries, size, Runs);
    printHeading();
    print("floor: bare SQLite insert of the same rows", floor);
    print("import: read, parse, test for duplicates, insert", took, ofTheFloor(took, floor));
    print("  of which reading and parsing the playlist", parsing);
    print("first import into a catalogue without the indexes", first, ofTheFloor(first, floor));
    print("building the indexes alone", indexing, u"once per catalogue"_s);
    std::printf("goal: the import within 2000 ms and x3 of the floor\n");

    const int listed = 10000;
    const QString small = dir.filePath(u"small.m3u"_s);
    QFile smallFile(small);
    smallFile.open(QIODevice::WriteOnly);
    smallFile.write(Playlists::writeM3u(newStations(listed)));
    smallFile.close();
    const ListServer server(small);
    const Time fromDisk = onFreshCopies(base, copy, [&](const QString& path) { import(path, small); });
    const Time fromServer = onFreshCopies(base, copy, [&](const QString& path) {
        if (importFrom(path, server.address()).added != listed)
            qFatal("the import from the server added too little");
    });
    std::printf("\nimport of %d M3U entries (%lld kB) into the same catalogue, median of %d runs\n", listed,
                QFileInfo(small).size() / 1024, Runs);
    print("from disk", fromDisk);
    print("from a web server on this machine", fromServer, ofTheFloor(fromServer, fromDisk));
    std::printf("  %-50s %7.0f ms %7.0f ms\n", "the server's more", fromServer.wall - fromDisk.wall,
                fromServer.processor - fromDisk.processor);
    std::printf("goal: well under a second more from the server\n");
    unchangedUpdate(base, small);
    std::printf("goal: one request, and the catalogue unchanged\n");

    const QString onePlaylist = dir.filePath(u"one.m3u"_s), largePlaylist = dir.filePath(u"large.m3u"_s);
    writePlaylist(onePlaylist, 1);
    writePlaylist(largePlaylist, large);
    const double floorPeak = peakOfImport(base, copy, onePlaylist);
    std::printf("peak memory of an import in a new process, into a catalogue of %d stations\n", size);
    std::printf("  %-50s %7.1f MB\n", "floor: an import of one entry", floorPeak);
    for (const auto& [count, path] : {std::pair(entries, playlist), std::pair(large, largePlaylist)}) {
        const double peak = peakOfImport(base, copy, path);
        const QString what = u"%1 entries (%2 MB of M3U)"_s.arg(count).arg(QFileInfo(path).size() >> 20);
        std::printf("  %-50s %7.1f MB   %+.1f MB\n", qPrintable(what), peak, peak - floorPeak);
    }
    std::printf("goal: the same peak, within a few MB, whatever the number of entries\n");
    return 0;
}

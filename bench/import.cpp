// Import of a large M3U into a large catalogue, against a floor measured in the same run: SQLite inserting the
// same rows into a copy of the same catalogue, with nothing read, parsed or checked. Each is timed on a fresh copy
// of the catalogue; the median of a few runs is printed. Then a playlist of 10,000 entries imported from a web server
// on this machine, against the same file imported from disk, and an update of an unchanged subscription: its
// requests, its time, and whether the catalogue changed. Last the peak memory of an import, each in a process of its
// own, of ENTRIES and of LARGE entries against that of an import of one: the same, whatever the file's size.
//
// Last the peak memory of an import by address against that of the same file from disk, at 10,000 and BY_ADDRESS
// entries, and of an update whose BY_ADDRESS entries all changed their address.
//
//   bench_import [ENTRIES [STATIONS [LARGE [BY_ADDRESS]]]]
//   (100000 entries into 1000000 stations, 5000000, and 1000000 by default)
#include "playlists/Import.h"

#include "bench/Measure.h"
#include "cli/CommandLine.h"
#include "cli/Downloading.h"
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

// An M3U of `count` short entries at `host`, so that a million of them stay below the download's limit.
void writeShortPlaylist(const QString& path, int count, const QByteArray& host) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("#EXTM3U\n");
    for (int i = 0; i < count; ++i)
        file.write("#EXTINF:-1,S" + QByteArray::number(i) + "\nhttp://" + host + "/" + QByteArray::number(i) + "\n");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// What `vimaro import URL` does: download the list into a file as it arrives, and import it as it is read.
Playlists::ImportReport importFrom(const QString& catalogue, const QUrl& address) {
    QNetworkAccessManager network;
    Internet::Request request;
    request.address = address;
    request.playlist = true;
    Internet::DownloadedList list(CommandLine::terminalFetch(network), request, address.toString());
    Database connection = Database::OpenDatabase(catalogue);
    return Playlists::importPlaylists(connection, {Playlists::playlistFile(list.input())});
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
                list_ = list;
                server_ = std::make_unique<WebServer>(WebServer::files([this](const QByteArray&) { return list_; }));
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
    // Serves `playlist` from now on, at the same address.
    void serve(const QString& playlist) {
        QMetaObject::invokeMethod(
            &anchor_, [this, list = readFile(playlist)] { list_ = list; }, Qt::BlockingQueuedConnection);
    }
    int requests() const { return server_->requests(); }

private:
    QThread thread_;
    QObject anchor_;
    QByteArray list_; // touched in the server's thread only
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
        Subscriptions::update(connection, subscription,
                              Playlists::playlistFile({server.address().toString(), Playlists::read(answer.body)}),
                              {answer.etag, answer.lastModified,
                               QCryptographicHash::hash(answer.body, QCryptographicHash::Sha256).toHex()});
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

// The most memory a new process held while it ran `work` (--import FILE, --import-url URL, --subscribe URL,
// --update URL) on
// `catalogue`, in megabytes, as the process itself tells it on its last line: the kernel's own count for a child
// would include the memory of the benchmark it was forked from.
double peakOf(const QString& work, const QString& catalogue, const QString& what) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {work, catalogue, what});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("%s %s failed", qPrintable(work), qPrintable(what));
    return child.readAllStandardOutput().trimmed().split('\n').constLast().toDouble();
}

double peakOfImport(const QString& base, const QString& copy, const QString& playlist, bool byAddress = false) {
    QFile::remove(copy);
    QFile::copy(base, copy);
    if (!byAddress)
        return peakOf(u"--import"_s, copy, playlist);
    const ListServer server(playlist);
    return peakOf(u"--import-url"_s, copy, server.address().toString());
}

// The peak of `vimaro update` when every entry of a subscription of `before` changed its address in `after`.
// Also how long the update took, in a process of its own.
double peakOfChangedUpdate(const QString& base, const QString& before, const QString& after, Time& took) {
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(u"tv.mdb"_s);
    QFile::copy(base, catalogue);
    ListServer server(before);
    peakOf(u"--subscribe"_s, catalogue, server.address().toString());
    server.serve(after);
    double peak = 0;
    took = timed([&] { peak = peakOf(u"--update"_s, catalogue, server.address().toString()); });
    return peak;
}

// A child's work, as peakOf() runs it.
bool childWork(const QString& work, const QString& catalogue, const QString& what) {
    setProgramDirForTesting(QFileInfo(catalogue).path());
    if (work == u"--import"_s)
        return import(catalogue, what).added > 0;
    if (work == u"--import-url"_s)
        return importFrom(catalogue, QUrl(what)).added > 0;
    if (work == u"--subscribe"_s)
        return CommandLine::subscribe({u"subscribe"_s, what, u"--no-backup"_s}) == 0;
    return CommandLine::updateSubscriptions({u"update"_s, what, u"--no-backup"_s}) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The day's backup goes beside the catalogue, in the benchmark's folder.
    if (argc == 4 && qstrncmp(argv[1], "--", 2) == 0) {
        if (!childWork(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3])))
            return 1;
        std::printf("\n%.1f", peakResidentMegabytes());
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

    // By address, the list is downloaded into a file as it arrives and read from there as a file is.
    const int byAddress = argc > 4 ? atoi(argv[4]) : 1000000;
    const QString million = dir.filePath(u"million.m3u"_s), moved = dir.filePath(u"moved.m3u"_s);
    writeShortPlaylist(million, byAddress, "a.example");
    std::printf("\npeak memory by address against the same file from disk, in a new process each\n");
    for (const auto& [count, path] : {std::pair(listed, small), std::pair(byAddress, million)}) {
        const double disk = peakOfImport(base, copy, path);
        const double web = peakOfImport(base, copy, path, true);
        const QString what = u"import of %1 entries: disk, address"_s.arg(count);
        std::printf("  %-50s %7.1f MB %7.1f MB   %+.1f MB\n", qPrintable(what), disk, web, web - disk);
    }
    writeShortPlaylist(moved, byAddress, "b.example");
    Time updating;
    const double update = peakOfChangedUpdate(base, million, moved, updating);
    const double disk = peakOfImport(base, copy, million);
    const QString what = u"update of %1 changed entries, against the import"_s.arg(byAddress);
    std::fflush(stdout);
    std::printf("  %-50s %7.1f MB %7.1f MB   %+.1f MB\n", qPrintable(what), disk, update, update - disk);
    std::printf("goal: by address and the update within a few MB of the import from disk\n");
    std::printf("  %-50s %7.0f ms (wall, the whole process)\n", "the update took", updating.wall);
    return 0;
}

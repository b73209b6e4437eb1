// Import of a large M3U into a large catalogue, against a floor measured in the same run: SQLite inserting the
// same rows into a copy of the same catalogue, with nothing read, parsed or checked. Each is timed on a fresh copy
// of the catalogue; the median of a few runs is printed.
//
//   bench_import [ENTRIES [STATIONS]]      (100000 entries into 1000000 stations by default)
#include "playlists/Import.h"

#include "bench/Measure.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
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
std::vector<Catalogue::Station> newStations(int count) {
    std::vector<Catalogue::Station> stations;
    for (int i = 0; i < count; ++i)
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

// What `vimaro import FILE` does: read the file, read the playlist, import it.
Playlists::ImportReport import(const QString& catalogue, const QString& playlist) {
    QFile file(playlist);
    file.open(QIODevice::ReadOnly);
    Database connection = Database::OpenDatabase(catalogue);
    return Playlists::importPlaylists(connection, {{playlist, Playlists::read(file.readAll())}});
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? atoi(argv[1]) : 100000;
    const int size = argc > 2 ? atoi(argv[2]) : 1000000;
    QTemporaryDir dir;
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
        Playlists::read(list.readAll());
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
    return 0;
}

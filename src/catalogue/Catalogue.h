#pragma once

#include "sqlite/Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

class Statement;

// The station catalogue tv.mdb in the program's directory: table radio, one record per station.
namespace Catalogue {

// The table and its fields, by the names the old catalogues give them too.
inline const QString Table = QStringLiteral("radio");
inline const QString Name = QStringLiteral("名称");
inline const QString Address = QStringLiteral("网址");
inline const QString Category = QStringLiteral("类别");
// The station's number, which orders the stations; never read or written by the windows.
inline const QString Number = QStringLiteral("编号");

// The categories the browser panels list; stored categories must equal these captions exactly.
namespace Categories {
inline const QString DomesticTv = QStringLiteral("国内电视");
inline const QString HongKongTaiwanTv = QStringLiteral("港台电视");
inline const QString OverseasTv = QStringLiteral("海外电视");
inline const QString SelectedMusic = QStringLiteral("精选音乐");
inline const QString SelectedFilms = QStringLiteral("精选电影");
inline const QString SpecialInterestTv = QStringLiteral("个性电视");
inline const QString DomesticRadio = QStringLiteral("国内广播");
inline const QString HongKongTaiwanRadio = QStringLiteral("港台广播");
inline const QString OverseasRadio = QStringLiteral("海外广播");
inline const QString SpecialInterestRadio = QStringLiteral("个性广播");
} // namespace Categories

// The nine quick-select slots, in button order: a station fills slot k when its category equals SlotNames[k-1].
inline const std::array<QString, 9> SlotNames = {
    QStringLiteral("快速选台一"), QStringLiteral("快速选台二"), QStringLiteral("快速选台三"),
    QStringLiteral("快速选台四"), QStringLiteral("快速选台五"), QStringLiteral("快速选台六"),
    QStringLiteral("快速选台七"), QStringLiteral("快速选台八"), QStringLiteral("快速选台九")};

// True for a category that a browser panel lists or a quick-select slot plays; a station of any other category is
// stored, but shown nowhere.
bool isShown(const QString& category);

// The catalogue file, tv.mdb in the program's directory.
QString file();

// A window's own connection to tv.mdb in the program's directory, with the catalogue's like. Throws DbError when
// the file is missing or is an old Jet catalogue, NewerCatalogueError (Schema.h) when a later version of the program
// wrote it. The first connection of the process to a catalogue of an earlier version brings it up to date. The first
// connection of the process to a catalogue that lacks the indexes of createIndexes creates them: seconds for a million
// stations, once; a catalogue that cannot be written goes without them, only slower. A connection only to read
// changes nothing: it neither upgrades nor indexes.
Database openConnection(Database::Access access = Database::Access::ReadWrite);

// Proves that the connection reaches a catalogue, table radio with its fields, as a window's load does: DbError
// when the file is no catalogue. Start-up never waits on the catalogue: where another program holds it locked,
// this throws BusyError at once and the connection stays, so that the next click tries again.
void checkTable(Database& connection);

// A window's connection, or the DbError that it could not be opened when the window loaded.
Database& opened(std::optional<Database>& connection);

// A station's three fields. A field the catalogue holds no value for reads as a null QString, which shows as empty
// text; whole-catalogue work (export, import) takes it for empty text.
struct Station {
    QString category;
    QString name;
    QString address;
    bool operator==(const Station&) const = default;
};

// A station as the program plays it: its row in table radio, which names it for as long as it is stored whatever its
// name becomes, its name and its web address (null where it has none).
struct PlayableStation {
    qint64 row = 0;
    QString name;
    QVariant address;
    bool operator==(const PlayableStation&) const = default;
};

// A query that a window keeps and runs again later: the condition is fixed, V is bound as a value, so an
// apostrophe in V is text like any other while the pattern characters of a "like" keep their meaning.
class StationQuery {
public:
    static StationQuery stationsOfCategory(const QString& category);
    static StationQuery nameSearch(const QString& partOfName);
    static StationQuery categorySearch(const QString& partOfCategory);
    static StationQuery allStations();
    // The one station a row names (StationQuery::Names::rows), whatever its name has become since.
    static StationQuery stationAt(qint64 row);

    // The row of the first station the query finds, in catalogue order; nothing when it finds none.
    std::optional<qint64> firstRow(Database& connection) const;

    // The names of the query's stations in catalogue order, read straight into text: what a station list shows.
    // A station without a name gets no line but is counted. Beside each name the row of its station, which names
    // that one station for as long as it is stored, whatever its name becomes.
    struct Names {
        QStringList names;
        std::vector<qint64> rows;
        int count = 0;
    };
    Names names(Database& connection) const;

    // The station that the line of a list of this query's names plays: of the stations of the query named `name`,
    // the one at `occurrence` (counted from 0) in catalogue order. Nothing when there is no such station any more.
    std::optional<PlayableStation> stationOf(Database& connection, const QString& name, int occurrence) const;
    // The query's first station in catalogue order, or nothing.
    std::optional<PlayableStation> first(Database& connection) const;

    bool operator==(const StationQuery&) const = default;

private:
    // A list of the query's stations reads them a page at a time.
    friend class StationPages;
    StationQuery(QString condition, QString value) : condition_(std::move(condition)), value_(std::move(value)) {}
    // The query's condition with `also` added, as a WHERE clause.
    QString where(const QString& also = {}) const;
    // Binds V where the condition takes it; returns the number of the next parameter.
    int bindValue(Statement& query) const;
    // The station of the query's first row, the query having selected rowid, name and web address.
    static std::optional<PlayableStation> station(Statement& query);
    QString condition_;
    QString value_;
};

// The station a row names; nothing when it is no longer stored.
std::optional<Station> station(Database& connection, qint64 row);

// The first station the query finds, in catalogue order, with its category: what the preset editor shows for its
// slot. Nothing when it finds none.
std::optional<Station> firstStation(Database& connection, const StationQuery& query);

// Add station: appends a new station, even one that is there already.
void addStation(Database& connection, const Station& station);

// Change station: runs the query again and gives the first station it finds a new name and web address; the
// category stays. Returns false, changing nothing, when the query finds no station any more.
bool changeStation(Database& connection, const StationQuery& query, const QString& name, const QString& address);

// Change a station found earlier: gives the station of `found.row` a new name and web address, the category staying,
// only while that row still holds the station as it was found, its name and web address. Returns false, changing
// nothing, when the station was changed or deleted since (by another window, a command, another program), and
// when its row now holds another station: the engine gives a deleted station's row to the next one added.
bool changeFoundStation(Database& connection, const PlayableStation& found, const QString& name,
                        const QString& address);

// Every station, or those of one category, in catalogue order, read in one pass.
std::vector<Station> stations(Database& connection, const std::optional<QString>& category = std::nullopt);

// A station with its row, for work over many stations that keeps what it finds under the row.
struct StationAtRow : Station {
    qint64 row = 0;
};

// How many stations the catalogue holds, or one category of it (an empty category means every station).
qint64 stationCount(Database& connection, const QString& category = {});

// Up to `count` stations whose rows come after `afterRow`, in row order, of one category or of all (an empty one): a
// page of a run over any number of stations, which holds no read lock from one page to the next.
std::vector<StationAtRow> stationsAfter(Database& connection, qint64 afterRow, const QString& category, int count);

// The categories that hold a station, each once, in the order of their bytes.
QStringList categories(Database& connection);

// Table radio as the program's other tables join it (findings, subscription entries, programme guides keep station
// rows of their own): a FROM item named `alias`, read as alias.row, alias.category, alias.name and alias.address.
// The engine folds it into the statement around it, so a join by row still finds the row by its key and a
// condition on a field still uses its index.
QString stationsAs(const QString& alias);

// A statement that removes the stations whose rows the query `rows` selects; its parameters are the query's.
QString removingStationsIn(const QString& rows);

// The indexes that keep work on a large catalogue fast, created where they are missing. Indexes change neither
// the table's shape nor the order of its rows:
// - radio_listing holds the names of each category in catalogue order: a category is listed from it alone;
// - radio_station finds a station by its name, category and web address at once: the station of a clicked line,
//   and the import's test for a station already present;
// - radio_names holds every name in catalogue order, a quarter of the table's size: what a name search reads.
void createIndexes(Database& connection);

} // namespace Catalogue

#pragma once

#include <QString>
#include <QVariant>
#include <chrono>
#include <optional>
#include <vector>

// A catalogue of the old program: a Jet file whose table radio holds the stations.
namespace OldCatalogue {

// One station as the old table radio holds it. Category, name and web address keep NULL as a null QVariant and an
// empty text as an empty one; the number is the old 编号, when the table has that field and the record a number.
struct Station {
    std::optional<int> number;
    QVariant category;
    QVariant name;
    QVariant address;
};

// The stations of table radio in record order, with 类别, 名称 and 网址 found by name wherever they stand.
// Throws DbError saying what is wrong when the file cannot be read, or lacks the table or one of the three fields.
// The Jet library can crash or spin for ever on a damaged file, so a child process of this program reads it, within
// ReadingLimit: a child that crashes or runs out of time has met a damaged file, and the program goes on.
std::vector<Station> readStations(const QString& jetFile);

constexpr std::chrono::milliseconds ReadingLimit = std::chrono::seconds(20);

// What the child does: the same reading, in this process.
std::vector<Station> readStationsHere(const QString& jetFile);

// The child's side. When the program was started to read an old catalogue for its parent (with an argument no help
// lists), reads it, hands the stations or the reason over on standard output and gives the exit code; otherwise
// gives nothing and the program starts as usual.
std::optional<int> readForParent(int argc, char* argv[]);

// Tests have old catalogues read by the built program, or by a stand-in that crashes or hangs, within a limit of
// their own. An empty program is this program again.
void setReaderForTesting(const QString& program, std::chrono::milliseconds limit = ReadingLimit);

// What a conversion did: how many stations came over, and where the old file is kept.
struct Conversion {
    int stations;
    QString keptAs;

    // Tells the user both.
    QString message() const;
};

// Converts the catalogue file `catalogue` when it is a Jet file: every station, in record order, goes into a new
// catalogue written beside it that then takes its name, and the Jet file itself is kept, unchanged, as
// tv.mdb.jet (or the next free name like it). Nothing happens to any other file. A failure throws DbError and
// leaves the folder as it was: the Jet file in its place and no new file.
std::optional<Conversion> convert(const QString& catalogue);

} // namespace OldCatalogue

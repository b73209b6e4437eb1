#pragma once

#include <QString>
#include <QVariant>
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
std::vector<Station> readStations(const QString& jetFile);

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

#pragma once

#include "catalogue/Catalogue.h"
#include "sqlite/Database.h"

#include <QString>
#include <vector>

namespace Health {

// A station as a check sees it: its record in table radio, with the record's rowid, under which its finding is
// kept.
struct Station : Catalogue::Station {
    qint64 id = 0;
};

// The stations of the catalogue, or of one category, in catalogue order, read a page at a time: a run over any
// number of stations holds one page in memory, and no read lock outlives the reading of a page.
class StationPages {
public:
    // An empty category means every station.
    StationPages(Database& connection, QString category);

    qint64 count() const;
    // The next stations in catalogue order; empty once every station has been read.
    std::vector<Station> next(int size);

private:
    Database& connection_;
    QString category_;
    qint64 after_ = 0;
};

} // namespace Health

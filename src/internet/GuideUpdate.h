#pragma once

#include "catalogue/StationAttributes.h"
#include "guide/Import.h"
#include "internet/DownloadedList.h"

class Database;

// A guide source brought up to date: its guide downloaded with the validators of the last answer, so that an
// unchanged guide costs one request, and taken into the catalogue as its bytes arrive.
namespace Internet {

// Nothing when the server said the guide did not change. Throws FetchError, or GuideError after recording the
// reason with the source (its previous guide stays), or DbError.
std::optional<Guide::ImportReport> updateGuide(Database& catalogue, const Guide::Source& source, const QDateTime& now,
                                               const Fetch& fetch);

// The guides a playlist names in its header, url-tvg or x-tvg-url, each a comma-separated list of addresses.
QStringList guidesNamed(const Catalogue::Attributes& listAttributes);

} // namespace Internet

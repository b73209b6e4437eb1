#pragma once

#include "guide/Import.h"
#include "internet/Download.h"
#include "playlists/Playlist.h"

#include <functional>

class Database;

// A guide source brought up to date: its guide downloaded with the validators of the last answer, so that an
// unchanged guide costs one request, and taken into the catalogue as its bytes arrive.
namespace Internet {

// How a download runs: with a progress line on a terminal, or quietly. Throws FetchError.
using Fetch = std::function<Answer(const Request&)>;

// Nothing when the server said the guide did not change. Throws FetchError, or GuideError after recording the
// reason with the source (its previous guide stays), or DbError.
std::optional<Guide::ImportReport> updateGuide(Database& catalogue, const Guide::Source& source, const QDateTime& now,
                                               const Fetch& fetch);

// The guides a playlist names in its header, url-tvg or x-tvg-url, each a comma-separated list of addresses.
QStringList guidesNamed(const Catalogue::Attributes& listAttributes);

} // namespace Internet

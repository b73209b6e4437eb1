#pragma once

#include "core/Seam.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

class Database;

// Programme guides (XMLTV): where they come from, and what is on a station now, next and later. Only what the
// stations of the catalogue need is kept: the guide's channels matched to a station, and their programmes from two
// hours ago to seven days ahead, in tables of their own beside table radio (steps/03-programme-guides.sql). Times are
// kept in UTC and shown in the local time zone.
namespace Guide {

// Why a guide was refused as a whole, in a sentence; the guide the source had before stays.
class GuideError : public std::runtime_error {
public:
    explicit GuideError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
};

// Guides are far larger than playlists: up to 120 MB as sent for a provider's 900 channels, 1 GB unpacked.
inline constexpr qint64 MaxSentBytes = qint64(256) << 20;
inline constexpr qint64 MaxUnpackedBytes = qint64(2) << 30;
// A guide may take as long as it needs while its bytes keep coming; a server silent this long has stopped.
inline constexpr int SilenceSeconds = 60;
// The programmes kept: from this long ago to this far ahead of the update.
inline constexpr qint64 KeptBeforeSeconds = 2 * 3600;
inline constexpr qint64 KeptAheadSeconds = 7 * 24 * 3600;

// The time guides are kept and shown against: now, unless a test sets a time of its own.
extern Seam<QDateTime()> clockSeam;

// Where a guide comes from: an address named by a subscribed playlist, or one added by hand.
struct Source {
    qint64 id = 0;
    QString address;
    int shiftHours = 0; // added to every time of the guide, for guides that give wrong offsets
    std::optional<qint64> subscription;
    QByteArray etag;
    QByteArray lastModified;
    QDateTime updated; // invalid before the first guide came
    QString result;    // what the last update did, or why it refused the guide
    int stations = 0;  // of the catalogue's stations, how many have their guide from this source
};

// None in a catalogue of an earlier version that could not be brought up to date.
std::vector<Source> sources(Database& catalogue);
std::optional<Source> findSource(Database& catalogue, const QString& address);

// Records a source by hand, or gives one that exists its new shift.
Source addSource(Database& catalogue, const QString& address, int shiftHours);
// The guides a subscribed list names, each recorded once, and the guides it no longer names forgotten.
void followList(Database& catalogue, qint64 subscription, const QStringList& addresses);
// Forgets a source and what its guide said.
void removeSource(Database& catalogue, const Source& source);
// What an update of the source did: its validators for the next time, and a line saying what came of it.
void recordUpdate(Database& catalogue, const Source& source, const QString& result);

struct Programme {
    QDateTime start;
    QDateTime stop;
    QString title;
    QString subTitle;
    QString description;
    QString category;
};

struct NowNext {
    std::optional<Programme> now;
    std::optional<Programme> next;
    bool empty() const { return !now && !next; }
};

// What is on the station of row `station` at `at`, and what follows: one indexed query. Nothing for a station
// without a guide.
NowNext nowNext(Database& catalogue, qint64 station, const QDateTime& at);

// The programmes of a station that end after `from` and start before `to`, in order.
std::vector<Programme> programmes(Database& catalogue, qint64 station, const QDateTime& from, const QDateTime& to);

// What is on now and next on the stations that have a guide, of one category or of all, in catalogue order.
struct GuidedStation {
    qint64 row = 0;
    QString name;
    QString category;
    NowNext onAir;
};
std::vector<GuidedStation> onAir(Database& catalogue, const std::optional<QString>& category, const QDateTime& at);

// What a station line's tooltip says: "正在播出 20:00–21:00 新闻联播 · 稍后 21:00 天气预报"; empty without a guide.
QString summary(const NowNext& onAir);
// What follows a station's name where its name is shown alone: the title on now, or nothing.
QString nowTitle(const NowNext& onAir);

} // namespace Guide

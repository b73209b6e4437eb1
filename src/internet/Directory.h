#pragma once

#include "catalogue/StationAttributes.h"
#include "internet/Download.h"
#include "playlists/Import.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

class QNetworkAccessManager;

// The community radio directory: a free list of some 50,000 radio stations, searched over HTTPS on servers that
// its DNS SRV record names. Its usage rules are followed: servers tried in random order, the next when one fails,
// requests naming the program, only stations that passed the directory's last check.
namespace Directory {

inline const QString ServiceName = QStringLiteral("_api._tcp.radio-browser.info");
// Names directory servers instead of the SRV record, separated by blanks: a private mirror, or the tests' own.
inline constexpr char ServersVariable[] = "VIMARO_DIRECTORY_SERVER";
// An answer of the directory longer than this is no answer of the directory.
inline constexpr qint64 MaxAnswerBytes = 16 * 1024 * 1024;

struct Query {
    QString name; // part of the station's name
    QString countryCode;
    QString language;
    QString tag;
    int limit = 20;
};

// A station as the directory gives it, every text stripped of control characters and bounded.
struct Station {
    QString uuid;
    QString name;
    QString address; // url_resolved where the directory resolved the playlist behind url, else url
    QString homepage;
    QString tags; // comma-separated
    QString country;
    QString countryCode;
    QString language;
    QString codec;
    int bitrate = 0; // kbit/s
    int votes = 0;
    QString favicon;  // the address of its logo
    bool hls = false; // its stream is HLS
    bool operator==(const Station&) const = default;
};

// The directory's fields a station keeps once added (AttributeSource::Directory): stationuuid, codec, bitrate, hls,
// tags, country, countrycode, language, homepage, favicon, each where the directory gave one.
Catalogue::Attributes attributesOf(const Station& station);

// What is wrong with the directory or its answer.
class DirectoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The request of a search on one server.
QUrl searchAddress(const QUrl& server, const Query& query);

// The first `most` stations of an answer, whatever the server sent, read by their names; other fields are passed
// over, a text longer than its bound is cut, and a station whose address is longer than an address can be is left
// out. Anything that is not the directory's shape (not JSON, not an array of station objects, a field of the wrong
// type) throws DirectoryError.
std::vector<Station> readStations(const QByteArray& json, qsizetype most);

// The directory servers the environment names, as written.
QStringList serversInEnvironment();

// The addresses as directory servers; none when one of them is not a web address.
std::optional<QList<QUrl>> asServers(const QStringList& addresses);

// Adds the stations of `found` at the numbers `picks` (from 1, in the order given) into `category`, under the import's
// rules: no station twice, no address that cannot play, all in one transaction after the day's backup; a cancel
// rolls it back. The report counts the numbers where a playlist has lines. Throws DbError.
Playlists::ImportReport addStations(Database& catalogue, const std::vector<Station>& found,
                                    const std::vector<int>& picks, const QString& category,
                                    const std::atomic_bool* cancel = nullptr);

// One search of the directory: the servers given, or else those of the SRV record, asked in random order until
// one answers. run() throws DirectoryError when none does, and FetchError when cancel() stopped it.
class Search : public QObject {
    Q_OBJECT
public:
    Search(QNetworkAccessManager& network, Query query, std::chrono::milliseconds timeout, QList<QUrl> servers);

    std::vector<Station> run();
    void cancel();

Q_SIGNALS:
    // A server failed and the next is asked.
    void fellOver(const QUrl& server, const QString& reason);

private:
    QList<QUrl> lookUpServers();

    QNetworkAccessManager& network_;
    Query query_;
    std::chrono::milliseconds timeout_;
    QList<QUrl> servers_;
    std::function<void()> stop_; // stops what runs now
    bool cancelled_ = false;
};

} // namespace Directory

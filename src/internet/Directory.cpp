#include "internet/Directory.h"

#include "core/HiddenText.h"
#include "desktop/Shell.h"

#include <QCoreApplication>
#include <QDnsLookup>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTimer>
#include <QUrlQuery>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace Directory {

namespace {

// Longer than any name, tag list or homepage the directory holds; an address may be longer, but not much.
constexpr qsizetype MaxText = 1024;
constexpr qsizetype MaxAddress = 8192;

// Text from the directory as the catalogue may hold it: without control characters, which could rewrite the
// terminal or break a line of an exported playlist, and bounded.
QString cleaned(const QString& text, qsizetype bound) {
    return withoutHidden(text).trimmed().left(bound);
}

// Reads the fields of one station object, and refuses a field of the wrong type.
class Fields {
public:
    Fields(const QJsonObject& object, qsizetype item) : object_(object), item_(item) {}

    // Cut at `bound`: one long name is no reason to refuse the stations around it.
    QString text(const QString& name, qsizetype bound = MaxText) const {
        const QJsonValue value = object_.value(name);
        if (value.isUndefined() || value.isNull())
            return {};
        if (!value.isString())
            refuse(QCoreApplication::translate("Internet", "%1 is not text").arg(name));
        return cleaned(value.toString(), bound);
    }

    bool longerThan(const QString& name, qsizetype bound) const {
        return object_.value(name).toString().size() > bound;
    }

    int number(const QString& name) const {
        const QJsonValue value = object_.value(name);
        if (value.isUndefined() || value.isNull())
            return 0;
        if (!value.isDouble())
            refuse(QCoreApplication::translate("Internet", "%1 is not a number").arg(name));
        return value.toInt();
    }

    [[noreturn]] void refuse(const QString& problem) const {
        throw DirectoryError(QCoreApplication::translate(
                                 "Internet", "the answer is not the directory's list of stations: in station %1, %2")
                                 .arg(item_ + 1)
                                 .arg(problem)
                                 .toStdString());
    }

private:
    const QJsonObject& object_;
    qsizetype item_;
};

// Nothing for a station whose address is longer than any address that plays: cut, it would lead elsewhere.
std::optional<Station> station(const QJsonObject& object, qsizetype item) {
    const Fields fields(object, item);
    Station station;
    if (fields.longerThan(u"url_resolved"_s, MaxAddress) || fields.longerThan(u"url"_s, MaxAddress))
        return std::nullopt;
    station.uuid = fields.text(u"stationuuid"_s);
    station.name = fields.text(u"name"_s);
    station.address = fields.text(u"url_resolved"_s, MaxAddress);
    if (station.address.isEmpty())
        station.address = fields.text(u"url"_s, MaxAddress);
    if (station.address.isEmpty())
        fields.refuse(QCoreApplication::translate("Internet", "there is no url"));
    station.homepage = fields.text(u"homepage"_s, MaxAddress);
    station.tags = fields.text(u"tags"_s);
    station.country = fields.text(u"country"_s);
    station.countryCode = fields.text(u"countrycode"_s);
    station.language = fields.text(u"language"_s);
    station.codec = fields.text(u"codec"_s);
    station.bitrate = fields.number(u"bitrate"_s);
    station.votes = fields.number(u"votes"_s);
    station.favicon = fields.text(u"favicon"_s, MaxAddress);
    station.hls = fields.number(u"hls"_s) != 0;
    return station;
}

} // namespace

Catalogue::Attributes attributesOf(const Station& station) {
    const std::pair<QString, QString> fields[] = {
        {u"stationuuid"_s, station.uuid},
        {u"codec"_s, station.codec},
        {u"bitrate"_s, station.bitrate > 0 ? QString::number(station.bitrate) : QString()},
        {u"hls"_s, station.hls ? u"1"_s : u"0"_s},
        {u"tags"_s, station.tags},
        {u"country"_s, station.country},
        {u"countrycode"_s, station.countryCode},
        {u"language"_s, station.language},
        {u"homepage"_s, station.homepage},
        {u"favicon"_s, station.favicon}};
    Catalogue::Attributes attributes;
    for (const auto& [name, value] : fields) {
        if (!value.isEmpty())
            attributes.push_back({Catalogue::AttributeSource::Directory, name, value});
    }
    return attributes;
}

QUrl searchAddress(const QUrl& server, const Query& query) {
    QUrlQuery parameters;
    const auto add = [&](const QString& key, const QString& value) {
        if (!value.isEmpty())
            parameters.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
    };
    add(u"name"_s, query.name);
    add(u"countrycode"_s, query.countryCode);
    add(u"language"_s, query.language);
    add(u"tag"_s, query.tag);
    add(u"limit"_s, QString::number(query.limit));
    add(u"hidebroken"_s, u"true"_s);
    add(u"order"_s, u"votes"_s);
    add(u"reverse"_s, u"true"_s);
    // Below the server's own path, where a mirror may serve the directory.
    QUrl address = server;
    address.setPath(server.path() + (server.path().endsWith(u'/') ? u""_s : u"/"_s) + u"json/stations/search"_s);
    address.setQuery(parameters);
    return address;
}

std::vector<Station> readStations(const QByteArray& json, qsizetype most) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw DirectoryError(QCoreApplication::translate("Internet", "the answer is not JSON: %1 at byte %2")
                                 .arg(error.errorString())
                                 .arg(error.offset)
                                 .toStdString());
    if (!document.isArray())
        throw DirectoryError("the answer is not the directory's list of stations: it is no JSON array");
    const QJsonArray items = document.array();
    std::vector<Station> stations;
    for (qsizetype i = 0; i < items.size() && qsizetype(stations.size()) < most; ++i) {
        if (!items[i].isObject())
            Fields({}, i).refuse(QCoreApplication::translate("Internet", "it is no JSON object"));
        if (std::optional<Station> found = station(items[i].toObject(), i))
            stations.push_back(std::move(*found));
    }
    return stations;
}

QStringList serversInEnvironment() {
    return qEnvironmentVariable(ServersVariable).split(u' ', Qt::SkipEmptyParts);
}

std::optional<QList<QUrl>> asServers(const QStringList& addresses) {
    QList<QUrl> servers;
    for (const QString& address : addresses) {
        if (!Internet::isWebAddress(address))
            return std::nullopt;
        servers.append(QUrl(address.trimmed()));
    }
    return servers;
}

Search::Search(QNetworkAccessManager& network, Query query, std::chrono::milliseconds timeout, QList<QUrl> servers)
    : network_(network), query_(std::move(query)), timeout_(timeout), servers_(std::move(servers)) {}

std::vector<Station> Search::run() {
    QList<QUrl> servers = servers_.isEmpty() ? lookUpServers() : servers_;
    std::shuffle(servers.begin(), servers.end(), *QRandomGenerator::global());
    QStringList failures;
    for (const QUrl& server : std::as_const(servers)) {
        if (cancelled_)
            throw Internet::FetchError(Internet::FetchError::Kind::Cancelled, u"cancelled"_s);
        Internet::Download download(
            network_, {searchAddress(server, query_), {}, {}, MaxAnswerBytes, timeout_, false, {}, false});
        stop_ = [&download] { download.cancel(); };
        const auto forget = qScopeGuard([this] { stop_ = nullptr; });
        try {
            return readStations(download.run().body, query_.limit);
        } catch (const Internet::FetchError& error) {
            if (error.kind() == Internet::FetchError::Kind::Cancelled)
                throw;
            failures.append(QString::fromUtf8(error.what()));
        } catch (const DirectoryError& error) {
            failures.append(u"%1: %2"_s.arg(server.toDisplayString(), QString::fromUtf8(error.what())));
        }
        if (failures.size() < servers.size())
            Q_EMIT fellOver(server, failures.constLast());
    }
    throw DirectoryError(QCoreApplication::translate("Internet", "no directory server answered:\n  %1")
                             .arg(failures.join(u"\n  "_s))
                             .toStdString());
}

void Search::cancel() {
    cancelled_ = true;
    if (stop_)
        stop_();
}

QList<QUrl> Search::lookUpServers() {
    QDnsLookup lookup(QDnsLookup::SRV, ServiceName);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&lookup, &QDnsLookup::finished, &loop, &QEventLoop::quit);
    connect(&deadline, &QTimer::timeout, &lookup, &QDnsLookup::abort);
    stop_ = [&lookup] { lookup.abort(); };
    deadline.start(timeout_);
    lookup.lookup();
    loop.exec();
    stop_ = nullptr;
    if (cancelled_)
        throw Internet::FetchError(Internet::FetchError::Kind::Cancelled, u"cancelled"_s);
    if (lookup.error() != QDnsLookup::NoError || lookup.serviceRecords().isEmpty())
        throw DirectoryError(
            QCoreApplication::translate("Internet", "cannot find the directory's servers (the DNS record %1): %2")
                .arg(ServiceName, lookup.errorString())
                .toStdString());
    QList<QUrl> servers;
    for (const QDnsServiceRecord& record : lookup.serviceRecords()) {
        QUrl server;
        server.setScheme(u"https"_s);
        server.setHost(record.target().chopped(record.target().endsWith(u'.') ? 1 : 0));
        if (record.port() != 443)
            server.setPort(record.port());
        servers.append(server);
    }
    return servers;
}

Playlists::ImportReport addStations(Database& catalogue, const std::vector<Station>& found,
                                    const std::vector<int>& picks, const QString& category,
                                    const std::atomic_bool* cancel) {
    Playlists::PlaylistFile results{u"search result"_s, {}};
    for (const int pick : picks) {
        const Station& station = found[static_cast<std::size_t>(pick - 1)];
        if (isPlayable(station.address))
            results.playlist.entries.push_back(
                {station.name, station.address, std::nullopt, pick, std::nullopt, attributesOf(station)});
    }
    Playlists::ImportOptions options;
    options.category = category;
    options.cancel = cancel;
    return Playlists::importPlaylists(catalogue, {Playlists::playlistFile(std::move(results))}, options);
}

} // namespace Directory

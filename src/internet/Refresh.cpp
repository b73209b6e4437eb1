#include "internet/Refresh.h"

#include "catalogue/Backup.h"
#include "catalogue/StationRows.h"
#include "internet/GuideUpdate.h"
#include "sqlite/Statement.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace Subscriptions {

namespace {

// True when the list holds a station.
bool holdsStations(Playlists::InputBlocks& list) {
    struct Found {};
    try {
        Playlists::read(list,
                        {[](const Playlists::Entry&) { throw Found{}; }, [](const Playlists::UnreadableLine&) {}});
    } catch (const Found&) {
        return true;
    }
    return false;
}

// One list into the catalogue, inside the caller's transaction; nothing when the cancel came.
std::optional<Report> takeInOne(Database& catalogue, Downloaded& downloaded, const Options& options) {
    Report report = update(catalogue, downloaded.subscription, Playlists::playlistFile(downloaded.list->input()),
                           downloaded.validators, options);
    if (report.import.cancelled)
        return std::nullopt;
    Guide::followList(catalogue, downloaded.subscription.id, Internet::guidesNamed(report.listAttributes));
    return report;
}

} // namespace

Downloaded downloadList(const Internet::Fetch& fetch, const Subscription& subscription,
                        std::chrono::milliseconds timeout, bool wholeList) {
    Internet::Request request;
    request.address = QUrl(subscription.address);
    if (!wholeList) {
        request.etag = subscription.etag;
        request.lastModified = subscription.lastModified;
    }
    request.timeout = timeout;
    request.playlist = true;
    Downloaded downloaded{
        subscription, std::make_unique<Internet::DownloadedList>(fetch, request, subscription.address), {}, false};
    const Internet::Answer& answer = downloaded.list->answer();
    downloaded.unchanged = answer.notModified;
    if (downloaded.unchanged)
        return downloaded;
    downloaded.validators = {answer.etag, answer.lastModified, downloaded.list->digest()};
    downloaded.unchanged = !wholeList && downloaded.validators.digest == subscription.digest;
    if (!downloaded.unchanged && !holdsStations(downloaded.list->input()))
        throw Internet::FetchError(
            Internet::FetchError::Kind::NotAPlaylist,
            QCoreApplication::translate("Internet",
                                        "%1: the list holds no stations now; its stations are left as they were")
                .arg(subscription.address));
    return downloaded;
}

bool newValidators(const Downloaded& downloaded) {
    const Validators& given = downloaded.validators;
    return downloaded.unchanged && !given.digest.isEmpty() &&
           (given.etag != downloaded.subscription.etag || given.lastModified != downloaded.subscription.lastModified);
}

std::optional<Report> subscribeTo(Database& catalogue, Downloaded& downloaded, const std::optional<QString>& category,
                                  const Options& options) {
    Catalogue::backUpBeforeWriting();
    Transaction transaction(catalogue);
    Catalogue::createIndexes(catalogue);
    downloaded.subscription = subscribe(catalogue, downloaded.subscription.address, category);
    std::optional<Report> report = takeInOne(catalogue, downloaded, options);
    if (report)
        transaction.commit();
    return report;
}

std::vector<Report> takeIn(Database& catalogue, std::vector<Downloaded>& lists,
                           const std::vector<Downloaded>& refreshed, const Options& options) {
    Catalogue::backUpBeforeWriting();
    Transaction transaction(catalogue);
    Catalogue::createIndexes(catalogue);
    for (const Downloaded& list : refreshed)
        keepValidators(catalogue, list.subscription, list.validators);
    std::vector<Report> reports;
    for (Downloaded& list : lists) {
        std::optional<Report> report = takeInOne(catalogue, list, options);
        if (!report)
            return {};
        reports.push_back(std::move(*report));
    }
    transaction.commit();
    return reports;
}

void recordAttempt(Database& catalogue, qint64 subscription, const Attempt& attempt) {
    Statement store(catalogue, u"INSERT OR REPLACE INTO subscription_attempt (subscription, time, failed, outcome) "
                               "VALUES (?, ?, ?, ?)"_s);
    store.bind(1, subscription);
    store.bind(2, attempt.time.toUTC().toString(Qt::ISODate));
    store.bind(3, attempt.failed ? 1 : 0);
    store.bind(4, attempt.outcome);
    store.step();
}

QHash<qint64, Attempt> attempts(Database& catalogue) {
    QHash<qint64, Attempt> found;
    Statement exists(catalogue, u"SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'subscription_attempt')"_s);
    if (!exists.step() || exists.integer(0) == 0)
        return found;
    Statement rows(catalogue, u"SELECT subscription, time, failed, outcome FROM subscription_attempt"_s);
    while (rows.step())
        found.insert(rows.integer(0),
                     {QDateTime::fromString(rows.text(1), Qt::ISODate), rows.integer(2) != 0, rows.text(3)});
    return found;
}

std::vector<HeldStation> stationsOf(Database& catalogue, qint64 subscription, int atMost) {
    Statement entries(catalogue,
                      u"SELECT station FROM subscription_entry WHERE subscription = ? AND station IS NOT NULL "
                      "ORDER BY station"_s);
    entries.bind(1, subscription);
    Catalogue::StationRows rows(catalogue);
    std::vector<HeldStation> held;
    // An entry whose station was deleted since has no row to read and is passed over.
    while (std::ssize(held) < atMost && entries.step()) {
        const qint64 row = entries.integer(0);
        if (std::optional<Catalogue::Station> station = rows.read(row))
            held.push_back({row, std::move(*station)});
    }
    return held;
}

} // namespace Subscriptions

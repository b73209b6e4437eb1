#include "internet/Refresh.h"

#include "catalogue/Backup.h"
#include "sqlite/Statement.h"

using namespace Qt::StringLiterals;

namespace Subscriptions {

namespace {

Report takeInOne(Database& catalogue, Downloaded& downloaded, const Options& options) {
    const Internet::Answer& answer = downloaded.answer;
    return update(catalogue, downloaded.subscription, downloaded.list, {answer.etag, answer.lastModified, answer.body},
                  options);
}

bool cancelled(const Options& options) {
    return options.cancel && *options.cancel;
}

} // namespace

std::optional<Downloaded> downloadList(const Fetch& fetch, const Subscription& subscription,
                                       std::chrono::milliseconds timeout, bool wholeList) {
    Internet::Request request;
    request.address = QUrl(subscription.address);
    if (!wholeList) {
        request.etag = subscription.etag;
        request.lastModified = subscription.lastModified;
    }
    request.timeout = timeout;
    request.playlist = true;
    Downloaded downloaded{subscription, fetch(request), {subscription.address, {}}};
    if (downloaded.answer.notModified || (!wholeList && sameList(subscription, downloaded.answer.body)))
        return std::nullopt;
    downloaded.list.playlist = Playlists::read(downloaded.answer.body);
    if (downloaded.list.playlist.entries.empty())
        throw Internet::FetchError(
            Internet::FetchError::Kind::NotAPlaylist,
            u"%1: the list holds no stations now; its stations are left as they were"_s.arg(subscription.address));
    return downloaded;
}

Report subscribeTo(Database& catalogue, Downloaded& downloaded, const std::optional<QString>& category) {
    Catalogue::backUpBeforeWriting();
    Transaction transaction(catalogue);
    Catalogue::createIndexes(catalogue);
    downloaded.subscription = subscribe(catalogue, downloaded.subscription.address, category);
    Report report = takeInOne(catalogue, downloaded, {});
    transaction.commit();
    return report;
}

std::vector<Report> takeIn(Database& catalogue, std::vector<Downloaded>& lists, const Options& options) {
    Catalogue::backUpBeforeWriting();
    Transaction transaction(catalogue);
    Catalogue::createIndexes(catalogue);
    std::vector<Report> reports;
    for (Downloaded& list : lists) {
        reports.push_back(takeInOne(catalogue, list, options));
        if (cancelled(options))
            return {};
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
    Statement rows(catalogue,
                   u"SELECT r.rowid, r.类别, r.名称, r.网址 FROM subscription_entry e "
                   "JOIN radio r ON r.rowid = e.station WHERE e.subscription = ? ORDER BY r.rowid LIMIT ?"_s);
    rows.bind(1, subscription);
    rows.bind(2, atMost);
    std::vector<HeldStation> held;
    while (rows.step())
        held.push_back({rows.integer(0), {rows.text(1), rows.text(2), rows.text(3)}});
    return held;
}

} // namespace Subscriptions

// vimaro subscribe URL [--category 类别], vimaro update [URL] [--prune], vimaro subscriptions,
// vimaro unsubscribe URL: playlists followed at their address.
#include "catalogue/Backup.h"
#include "cli/CommandLine.h"
#include "cli/Downloading.h"
#include "desktop/Interrupt.h"
#include "internet/GuideUpdate.h"
#include "internet/Refresh.h"
#include "sqlite/Statement.h"

#include <QCommandLineParser>
#include <QNetworkAccessManager>
#include <cstdio>

using namespace Qt::StringLiterals;
using Subscriptions::Downloaded;
using Subscriptions::Subscription;

namespace CommandLine {

namespace {

QString stationText(const Catalogue::Station& station) {
    return printable(u"%1  %2  (%3)"_s.arg(station.name, station.address, station.category));
}

// Lists a kind of place that the update met at least once.
template <typename Places, typename Describe>
void listed(const QString& heading, const Places& places, Describe describe, const QString& note = {}) {
    if (places.count > 0)
        printListed(heading, places, describe, note);
}

void printUpdate(const Subscriptions::Report& report) {
    printReport(report.import, false, tr("subscribe to the list again with --category 类别"));
    listed(tr("Changed:"), report.changed, [](const Subscriptions::Difference& difference) {
        return tr("%1\n    now %2").arg(stationText(difference.catalogue), stationText(difference.list));
    });
    listed(
        tr("Your edits kept:"), report.keptEdits,
        [](const Subscriptions::Difference& difference) {
            return tr("%1\n    the list: %2").arg(stationText(difference.catalogue), stationText(difference.list));
        },
        tr(", though the list changed what you changed; the rest of these stations follows the list"));
    if (report.deletedByUser > 0)
        print(stdout, tr("%1%2, not added back\n").arg(labelColumn(tr("Deleted by you:"))).arg(report.deletedByUser));
    listed(
        tr("Gone from list:"), report.gone,
        [](const Subscriptions::Gone& gone) {
            return stationText(gone.station) + (gone.edited ? tr("  changed by you") : QString());
        },
        tr(", kept (vimaro update --prune removes those you did not change)"));
    listed(tr("Not yet removed:"), report.waiting, stationText,
           tr(", gone from the list at this update only: --prune removes them when the next list leaves them out "
              "too, as a list cut short on its way would not"));
    listed(tr("Removed:"), report.pruned, stationText);
}

// The guides of one subscription, or every guide.
std::vector<Guide::Source> guidesOf(Database& catalogue, const std::optional<qint64>& subscription) {
    std::vector<Guide::Source> sources = Guide::sources(catalogue);
    std::erase_if(sources, [&](const Guide::Source& s) { return subscription && s.subscription != subscription; });
    return sources;
}

// Ctrl+C while lists are taken in rolls the transaction back, where being ended would leave a hot journal.
Internet::FetchError stoppedByCtrlC() {
    return {Internet::FetchError::Kind::Cancelled, CommandLine::tr("stopped by Ctrl+C")};
}

void printReports(const std::vector<Downloaded>& lists, const std::vector<Subscriptions::Report>& reports) {
    for (std::size_t i = 0; i < lists.size(); ++i) {
        say(stdout, printable(lists[i].subscription.address) + u':');
        printUpdate(reports[i]);
    }
}

// The URL argument of subscribe and unsubscribe; nothing after saying what is wrong.
std::optional<QString> addressArgument(const QCommandLineParser& parser, const char* command) {
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 1 || !Internet::isWebAddress(arguments[0])) {
        print(stderr,
              tr("vimaro %1: give the one http or https address of a playlist\n").arg(QString::fromUtf8(command)));
        return std::nullopt;
    }
    return arguments[0].trimmed();
}

// A failure of subscribe, update, subscriptions or unsubscribe, in their words.
int reported(const char* command, const std::exception& error) {
    const auto* fetch = dynamic_cast<const Internet::FetchError*>(&error);
    const QString name = QString::fromUtf8(command);
    if (fetch && fetch->kind() == Internet::FetchError::Kind::Cancelled) {
        print(stderr, tr("vimaro %1: stopped by Ctrl+C; nothing was written, the catalogue is as it was\n").arg(name));
        return Failed;
    }
    if (dynamic_cast<const DbError*>(&error))
        return failed(error, tr("vimaro %1: nothing was written: %2%3\n").arg(name),
                      tr("; --no-backup writes without one"));
    return failed(error, u"vimaro %1: %2\n"_s.arg(name));
}

// The lists of the subscriptions, as they came.
struct Came {
    std::vector<Downloaded> lists;
    std::vector<Downloaded> refreshed; // unchanged, with new validators
    bool all = true;
};

// Downloads each subscription's list, saying which are unchanged and which did not come; Ctrl+C stops them all.
Came download(QNetworkAccessManager& network, const std::vector<Subscription>& subscriptions,
              std::chrono::milliseconds downloadTime, bool prune) {
    Came came;
    for (const Subscription& subscription : subscriptions) {
        try {
            Downloaded list = Subscriptions::downloadList(terminalFetch(network), subscription, downloadTime, prune);
            if (list.unchanged)
                say(stdout, printable(subscription.address) + CommandLine::tr(": unchanged"));
            if (Subscriptions::newValidators(list))
                came.refreshed.push_back(std::move(list));
            else if (!list.unchanged)
                came.lists.push_back(std::move(list));
        } catch (const Internet::FetchError& error) {
            if (error.kind() == Internet::FetchError::Kind::Cancelled)
                throw;
            say(stderr, u"vimaro update: %1"_s.arg(printable(QString::fromUtf8(error.what()))));
            came.all = false;
        }
    }
    return came;
}

// Brings in the changes of the subscription to `only`, or of all, then their guides.
int update(const QString& only, std::chrono::milliseconds downloadTime, bool prune) {
    QNetworkAccessManager network;
    Database catalogue = openCatalogue();
    std::vector<Subscription> subscriptions = Subscriptions::all(catalogue);
    std::erase_if(subscriptions, [&](const Subscription& s) { return !only.isEmpty() && s.address != only; });
    if (subscriptions.empty() && (!only.isEmpty() || Guide::sources(catalogue).empty())) {
        say(stderr, only.isEmpty() ? tr("No subscriptions: vimaro subscribe URL adds one.")
                                   : tr("vimaro update: no subscription to %1").arg(printable(only)));
        return only.isEmpty() ? Done : Failed;
    }
    const std::optional<qint64> guidesOfOne = only.isEmpty() ? std::nullopt : std::optional(subscriptions.front().id);
    Came came = download(network, subscriptions, downloadTime, prune);
    if (came.lists.empty() && came.refreshed.empty())
        return updateGuides(catalogue, guidesOf(catalogue, guidesOfOne)) && came.all ? Done : Failed;
    const Interrupt interrupt;
    const std::vector<Subscriptions::Report> reports =
        Subscriptions::takeIn(catalogue, came.lists, came.refreshed, {prune, &Interrupt::wasRequested()});
    if (reports.size() < came.lists.size())
        throw stoppedByCtrlC();
    printReports(came.lists, reports);
    return updateGuides(catalogue, guidesOf(catalogue, guidesOfOne)) && came.all ? Done : Failed;
}

QString updateHelp() {
    return tr("Brings in the changes of the subscribed playlists, or of the one at URL: entries new to a list are "
              "added, stations whose entry has a new address follow it, and entries gone from a list are reported and "
              "kept. Stations you changed keep your changes and stations you deleted are not added back. A list that "
              "did not change since the last update (the server says so, or sends the same list) changes nothing. The "
              "lists that came go into the catalogue together, in one transaction. Then the programme guides are "
              "brought up to date (those of the subscription at URL, or all: vimaro guide sources lists them), each on "
              "its own.");
}

} // namespace

int subscribe(const QStringList& arguments) {
    Invocation invocation(
        "subscribe",
        tr("Subscribes to the playlist at URL: imports its stations as vimaro import does and records the address, so "
           "that vimaro update brings in the list's changes later. Subscribing again to the same address takes its "
           "new --category. The programme guides the list names in its header (url-tvg, x-tvg-url) are taken too."));
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"URL"_s, tr("The http or https address of the playlist."));
    const QCommandLineOption category(
        u"category"_s, tr("Put every station into this category instead of the list's groups."), u"类别"_s);
    const QCommandLineOption timeoutSeconds = timeoutOption();
    parser.addOptions({category, timeoutSeconds, invocation.noBackup()});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const std::optional<QString> address = addressArgument(parser, "subscribe");
    const auto downloadTime = timeout(parser, timeoutSeconds, "subscribe");
    if (!address || !downloadTime)
        return Usage;
    const std::optional<QString> into = parser.isSet(category) ? std::optional(parser.value(category)) : std::nullopt;
    try {
        QNetworkAccessManager network;
        Database catalogue = openCatalogue();
        Subscription asked;
        asked.address = *address;
        std::vector<Downloaded> lists;
        lists.push_back(Subscriptions::downloadList(terminalFetch(network), asked, *downloadTime, true));
        const Interrupt interrupt;
        const std::optional<Subscriptions::Report> report =
            Subscriptions::subscribeTo(catalogue, lists[0], into, {false, &Interrupt::wasRequested()});
        if (!report)
            throw stoppedByCtrlC();
        const std::vector<Subscriptions::Report> reports{*report};
        printReports(lists, reports);
        return updateGuides(catalogue, guidesOf(catalogue, lists[0].subscription.id)) ? Done : Failed;
    } catch (const std::exception& error) {
        return reported("subscribe", error);
    }
}

int updateSubscriptions(const QStringList& arguments) {
    Invocation invocation("update", updateHelp());
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"URL"_s, tr("Only this subscription."), u"[URL]"_s);
    const QCommandLineOption prune(u"prune"_s,
                                   tr("Remove the stations whose entry left their list, except those you changed."));
    const QCommandLineOption timeoutSeconds = timeoutOption();
    parser.addOptions({prune, timeoutSeconds, invocation.noBackup()});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const auto downloadTime = timeout(parser, timeoutSeconds, "update");
    if (!downloadTime)
        return Usage;
    if (parser.positionalArguments().size() > 1) {
        print(stderr, tr("vimaro update: give one subscribed address, or none for all\n"));
        return Usage;
    }
    try {
        return update(parser.positionalArguments().value(0).trimmed(), *downloadTime, parser.isSet(prune));
    } catch (const std::exception& error) {
        return reported("update", error);
    }
}

int listSubscriptions(const QStringList& arguments) {
    Invocation invocation("subscriptions",
                          tr("Lists the subscribed playlists, each with its stations and its last update."));
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    if (!invocation.parser.positionalArguments().isEmpty())
        return Usage;
    try {
        Database catalogue = openCatalogue();
        const std::vector<Subscription> subscriptions = Subscriptions::all(catalogue);
        if (subscriptions.empty())
            say(stdout, tr("No subscriptions: vimaro subscribe URL adds one."));
        for (const Subscription& s : subscriptions) {
            const QString into = s.category ? tr("into %1").arg(*s.category) : tr("into the list's own groups");
            const QString last =
                s.updated.isValid()
                    ? tr("last updated %1: %2").arg(s.updated.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s), s.result)
                    : tr("never updated");
            say(stdout, tr("%1\n  %2, %3 stations, %4")
                            .arg(printable(s.address), printable(into))
                            .arg(s.stations)
                            .arg(printable(last)));
        }
        return Done;
    } catch (const std::exception& error) {
        return reported("subscriptions", error);
    }
}

int unsubscribe(const QStringList& arguments) {
    Invocation invocation(
        "unsubscribe",
        tr("Forgets the subscription to the playlist at URL. Its stations stay in the catalogue, as if imported."));
    invocation.parser.addPositionalArgument(u"URL"_s, tr("The subscribed address, as vimaro subscriptions lists it."));
    invocation.parser.addOption(invocation.noBackup());
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const std::optional<QString> address = addressArgument(invocation.parser, "unsubscribe");
    if (!address)
        return Usage;
    try {
        Database catalogue = openCatalogue();
        const std::optional<Subscription> subscription = Subscriptions::find(catalogue, *address);
        if (!subscription) {
            say(stderr, tr("vimaro unsubscribe: no subscription to %1; vimaro subscriptions lists them")
                            .arg(printable(*address)));
            return Failed;
        }
        Catalogue::backUpBeforeWriting();
        Transaction transaction(catalogue);
        Subscriptions::unsubscribe(catalogue, *subscription);
        transaction.commit();
        say(stdout, tr("Unsubscribed from %1; its %2 stations stay in the catalogue.")
                        .arg(printable(*address))
                        .arg(subscription->stations));
        return Done;
    } catch (const std::exception& error) {
        return reported("unsubscribe", error);
    }
}

} // namespace CommandLine

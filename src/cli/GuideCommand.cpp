// vimaro guide add URL [--shift H] | remove URL | sources | STATION [--json], vimaro now [CATEGORY] [--json]:
// programme guides, where they come from and what they say.
#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "cli/Downloading.h"
#include "internet/GuideUpdate.h"
#include "sqlite/Database.h"
#include "sqlite/Statement.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

// A shift beyond a day is no wrong offset but a wrong guide.
constexpr int MaxShiftHours = 24;

QString clock(const QDateTime& time) {
    return time.toLocalTime().toString(u"HH:mm"_s);
}

// A time in the local time zone with its offset from UTC, as ISO 8601 writes it: 2026-10-25T02:00:00+01:00.
QString isoLocal(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// For programs: the same in every language.
QJsonValue json(const std::optional<Guide::Programme>& programme) {
    if (!programme)
        return QJsonValue::Null;
    QJsonObject object{{u"start"_s, isoLocal(programme->start)},
                       {u"stop"_s, isoLocal(programme->stop)},
                       {u"title"_s, programme->title}};
    for (const auto& [name, value] : {std::pair{u"subTitle"_s, programme->subTitle},
                                      {u"description"_s, programme->description},
                                      {u"category"_s, programme->category}}) {
        if (!value.isEmpty())
            object.insert(name, value);
    }
    return object;
}

void printJson(const QJsonDocument& document) {
    print(stdout, QString::fromUtf8(document.toJson()));
}

QString programmeLine(const Guide::Programme& programme) {
    QString line = u"%1–%2  %3"_s.arg(clock(programme.start), clock(programme.stop), programme.title);
    if (!programme.subTitle.isEmpty())
        line += u" · "_s + programme.subTitle;
    if (!programme.category.isEmpty())
        line += u"  [%1]"_s.arg(programme.category);
    return printable(line);
}

// For programs: each station with what is on now and next.
QJsonArray onAirJson(const std::vector<Guide::GuidedStation>& guided) {
    QJsonArray array;
    for (const Guide::GuidedStation& station : guided)
        array.append(QJsonObject{{u"station"_s, station.name},
                                 {u"category"_s, station.category},
                                 {u"now"_s, json(station.onAir.now)},
                                 {u"next"_s, json(station.onAir.next)}});
    return array;
}

void printOnAir(const std::vector<Guide::GuidedStation>& guided) {
    // An empty answer on the terminal would read as a command that did nothing; --json stays exact.
    if (guided.empty())
        say(stderr, tr("No station has a programme guide now: vimaro guide sources lists the guides."));
    for (const Guide::GuidedStation& station : guided) {
        QString line = printable(station.name);
        if (station.onAir.now)
            line += tr("\n  now   ") + programmeLine(*station.onAir.now);
        if (station.onAir.next)
            line += tr("\n  next  ") + programmeLine(*station.onAir.next);
        say(stdout, line);
    }
}

int addSource(const QCommandLineParser& parser, const QString& address, const QCommandLineOption& shift) {
    bool ok = false;
    const int hours = parser.value(shift).toInt(&ok);
    if (!Internet::isWebAddress(address) || !ok || std::abs(hours) > MaxShiftHours) {
        print(stderr, tr("vimaro guide add: give the http or https address of a guide, and --shift in whole hours "
                         "from -24 to 24\n"));
        return Usage;
    }
    Database catalogue = openCatalogue();
    const bool known = Guide::findSource(catalogue, address.trimmed()).has_value();
    // The whole guide, without the validators of an earlier answer: its stations are matched again.
    Guide::Source source = Guide::addSource(catalogue, address.trimmed(), hours);
    source.etag.clear();
    source.lastModified.clear();
    if (!updateGuides(catalogue, {source})) {
        // A guide that never came is not kept; one added before keeps what it had.
        if (!known)
            Guide::removeSource(catalogue, source);
        return Failed;
    }
    say(stdout, tr("Added the guide %1; vimaro update keeps it up to date.").arg(printable(source.address)));
    return Done;
}

int removeSource(const QString& address) {
    Database catalogue = openCatalogue();
    const std::optional<Guide::Source> source = Guide::findSource(catalogue, address.trimmed());
    if (!source) {
        say(stderr,
            tr("vimaro guide remove: no guide from %1; vimaro guide sources lists them").arg(printable(address)));
        return Failed;
    }
    Transaction transaction(catalogue);
    Guide::removeSource(catalogue, *source);
    transaction.commit();
    say(stdout, tr("Removed the guide %1.").arg(printable(source->address)));
    return Done;
}

int listSources() {
    Database catalogue = openCatalogue();
    const std::vector<Guide::Source> sources = Guide::sources(catalogue);
    if (sources.empty())
        say(stdout, tr("No guides: a subscribed playlist that names one adds it, vimaro guide add URL adds one."));
    for (const Guide::Source& source : sources) {
        const QString from = source.subscription ? tr("named by a subscribed playlist") : tr("added by hand");
        const QString shift = source.shiftHours ? tr(", times shifted %1 h").arg(source.shiftHours) : QString();
        const QString last = source.updated.isValid()
                                 ? tr("last updated %1: %2")
                                       .arg(source.updated.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s), source.result)
                                 : tr("never updated");
        say(stdout, tr("%1\n  %2%3, %4 stations, %5")
                        .arg(printable(source.address), from, shift)
                        .arg(source.stations)
                        .arg(printable(last)));
    }
    return Done;
}

// The rest of today's programme and tomorrow's, in the local time zone.
int showStation(const QString& name, bool asJson) {
    Database catalogue = openCatalogue();
    Statement row(catalogue, u"SELECT r.row FROM "_s + Catalogue::stationsAs(u"r"_s) +
                                 u" WHERE r.name = ? ORDER BY r.row LIMIT 1"_s);
    row.bind(1, name);
    if (!row.step()) {
        say(stderr, tr("vimaro guide: no station named %1").arg(printable(name)));
        return Failed;
    }
    const QDateTime now = Guide::clockSeam();
    const QDateTime end = QDateTime(now.toLocalTime().date().addDays(2), QTime(0, 0));
    const std::vector<Guide::Programme> programmes = Guide::programmes(catalogue, row.integer(0), now, end);
    if (asJson) {
        QJsonArray array;
        for (const Guide::Programme& programme : programmes)
            array.append(json(programme));
        printJson(QJsonDocument(QJsonObject{{u"station"_s, name}, {u"programmes"_s, array}}));
        return Done;
    }
    if (programmes.empty()) {
        say(stderr, tr("vimaro guide: no guide for %1 from now to the end of tomorrow").arg(printable(name)));
        return Failed;
    }
    QDate day;
    for (const Guide::Programme& programme : programmes) {
        if (programme.start.toLocalTime().date() != day) {
            day = programme.start.toLocalTime().date();
            say(stdout, day.toString(u"yyyy-MM-dd ddd"_s));
        }
        say(stdout, u"  "_s + programmeLine(programme));
    }
    return Done;
}

} // namespace

bool updateGuides(Database& catalogue, const std::vector<Guide::Source>& sources) {
    QNetworkAccessManager network;
    const Internet::Fetch fetch = terminalFetch(network);
    bool allCame = true;
    for (const Guide::Source& source : sources) {
        try {
            const auto report = Internet::updateGuide(catalogue, source, Guide::clockSeam(), fetch);
            say(stdout, tr("Guide %1: %2").arg(printable(source.address), report ? report->line() : tr("unchanged")));
        } catch (const Internet::FetchError& error) {
            // What came before stays: each guide goes in on its own, and a stopped one leaves its old guide.
            if (error.kind() == Internet::FetchError::Kind::Cancelled) {
                say(stderr, tr("vimaro: stopped by Ctrl+C; the guide of %1 and those after it are as they were")
                                .arg(printable(source.address)));
                return false;
            }
            say(stderr, tr("vimaro: guide %1").arg(printable(QString::fromUtf8(error.what()))));
            allCame = false;
        } catch (const Guide::GuideError& error) {
            say(stderr, tr("vimaro: guide %1 refused: %2")
                            .arg(printable(source.address), printable(QString::fromUtf8(error.what()))));
            allCame = false;
        }
    }
    return allCame;
}

namespace {

QString guideHelp() {
    return tr("Programme guides (XMLTV) for the stations: what a station shows from now to the end of tomorrow, and "
              "the guides they come from. A subscribed playlist that names guides in its header (url-tvg, x-tvg-url) "
              "adds them; vimaro update brings every guide up to date, and an unchanged guide costs one request. A "
              "guide, .xml or .xml.gz, may be up to %1 MiB as sent and %2 GiB unpacked, and takes as long as it needs "
              "while its bytes keep coming (%3 s of silence end it). Only the channels of the catalogue's stations are "
              "kept, by tvg-id or by name, from 2 hours ago to 7 days ahead. A guide that is not XMLTV, is cut short "
              "or has times that do not parse is refused, and its previous guide kept.")
        .arg(Guide::MaxSentBytes >> 20)
        .arg(Guide::MaxUnpackedBytes >> 30)
        .arg(Guide::SilenceSeconds);
}

} // namespace

int guide(const QStringList& arguments) {
    Invocation invocation("guide", guideHelp());
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"STATION"_s, tr("The station whose programme to show."),
                                 u"STATION | add URL | remove URL | sources"_s);
    const QCommandLineOption shift(u"shift"_s,
                                   tr("With add: hours added to the guide's times, for a guide whose time "
                                      "offsets are wrong."),
                                   u"H"_s, u"0"_s);
    const QCommandLineOption asJson(u"json"_s, tr("The programme as JSON."));
    parser.addOptions({shift, asJson});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const QStringList words = parser.positionalArguments();
    const QString first = words.value(0);
    try {
        if (first == u"add"_s && words.size() == 2)
            return addSource(parser, words[1], shift);
        if (first == u"remove"_s && words.size() == 2)
            return removeSource(words[1]);
        if (first == u"sources"_s && words.size() == 1)
            return listSources();
        if (words.size() == 1)
            return showStation(first, parser.isSet(asJson));
    } catch (const std::exception& error) {
        return failed(error, u"vimaro guide: %1\n"_s);
    }
    print(stderr, tr("vimaro guide: give a station's name, or add URL, remove URL or sources\n"));
    return Usage;
}

int now(const QStringList& arguments) {
    Invocation invocation("now", tr("What is on now and next on the stations of CATEGORY, or on every station with a "
                                    "guide. Stations without a guide are left out."));
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"CATEGORY"_s, tr("Only the stations of this category."), u"[CATEGORY]"_s);
    const QCommandLineOption asJson(u"json"_s, tr("The stations and their programmes as JSON."));
    parser.addOption(asJson);
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    if (parser.positionalArguments().size() > 1)
        return Usage;
    const QStringList words = parser.positionalArguments();
    const std::optional<QString> category = words.isEmpty() ? std::nullopt : std::optional(words[0]);
    try {
        Database catalogue = openCatalogue();
        const std::vector<Guide::GuidedStation> guided = Guide::onAir(catalogue, category, Guide::clockSeam());
        if (parser.isSet(asJson))
            printJson(QJsonDocument(onAirJson(guided)));
        else
            printOnAir(guided);
        return Done;
    } catch (const std::exception& error) {
        return failed(error, u"vimaro now: %1\n"_s);
    }
}

} // namespace CommandLine

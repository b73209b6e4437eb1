#include "guide/Import.h"

#include "catalogue/Catalogue.h"
#include "catalogue/StationAttributes.h"
#include "sqlite/Database.h"

#include <QCoreApplication>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace Guide {

namespace {

// Names compared as a person reads them: without regard to case, full-width letters as their plain forms, runs of
// blanks as one.
QString nameKey(const QString& name) {
    return name.normalized(QString::NormalizationForm_KC).toCaseFolded().simplified();
}

// The user's language as XMLTV's lang attribute names it: "zh" of zh_CN.
QString userLanguage() {
    return QLocale().name().section(u'_', 0, 0);
}

// What the guide gives is gathered in tables of the connection's own, which lock nothing of the catalogue.
bool prepareStaging(Database& catalogue) {
    catalogue.execute(u"CREATE TEMP TABLE IF NOT EXISTS staged_channel (key INTEGER PRIMARY KEY, xmltv_id TEXT);"
                      "CREATE TEMP TABLE IF NOT EXISTS staged_station (station INTEGER, key INTEGER, by_id INTEGER);"
                      "CREATE TEMP TABLE IF NOT EXISTS staged_programme (seq INTEGER PRIMARY KEY, key INTEGER, "
                      "start INTEGER, stop INTEGER, title TEXT, sub_title TEXT, description TEXT, category TEXT);"
                      "DELETE FROM staged_channel; DELETE FROM staged_station; DELETE FROM staged_programme"_s);
    return true;
}

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace

// The catalogue's stations by what a guide's channel may be matched with: the tvg-id their list gave them, else
// their name or the tvg-name their list gave them.
struct Import::Stations {
    QHash<QString, std::vector<qint64>> byId;
    QHash<QString, std::vector<qint64>> byName;

    // The stations and their rows, read in one snapshot so that they pair up in catalogue order.
    static std::unique_ptr<Stations> load(Database& catalogue) {
        auto stations = std::make_unique<Stations>();
        Transaction snapshot(catalogue);
        const std::vector<Catalogue::AttributedStation> attributed = Catalogue::attributedStations(catalogue);
        Statement rows(catalogue, u"SELECT r.row FROM "_s + Catalogue::stationsAs(u"r"_s) + u" ORDER BY r.row"_s);
        for (const Catalogue::AttributedStation& station : attributed) {
            if (!rows.step())
                break;
            stations->add(rows.integer(0), station);
        }
        return stations;
    }

    void add(qint64 row, const Catalogue::AttributedStation& station) {
        using Catalogue::AttributeSource;
        const auto id = Catalogue::valueOf(station.attributes, AttributeSource::M3u, u"tvg-id");
        if (id && !id->trimmed().isEmpty())
            byId[id->trimmed()].push_back(row);
        const auto name = Catalogue::valueOf(station.attributes, AttributeSource::M3u, u"tvg-name");
        for (const QString& known : {station.station.name, name.value_or(QString())}) {
            if (!known.trimmed().isEmpty())
                byName[nameKey(known)].push_back(row);
        }
    }
};

QString ImportReport::line() const {
    QString text = QCoreApplication::translate("Guide", "%1 stations, %2 programmes").arg(stations).arg(programmes);
    if (skipped > 0)
        text += QCoreApplication::translate("Guide", ", %1 programmes skipped that end before they start").arg(skipped);
    return text;
}

Import::Import(Database& catalogue, Source source, const QDateTime& now, qint64 largest)
    : catalogue_(catalogue), source_(std::move(source)), shift_(qint64(source_.shiftHours) * 3600),
      from_(now.toSecsSinceEpoch() - KeptBeforeSeconds), to_(now.toSecsSinceEpoch() + KeptAheadSeconds),
      stations_(Stations::load(catalogue)), transaction_(catalogue),
      stageChannel_(catalogue, (prepareStaging(catalogue), u"INSERT INTO staged_channel (xmltv_id) VALUES (?)"_s)),
      stageStation_(catalogue, u"INSERT INTO staged_station VALUES (?, ?, ?)"_s),
      stageProgramme_(catalogue, u"INSERT INTO staged_programme (key, start, stop, title, sub_title, description, "
                                 "category) VALUES (?, ?, ?, ?, ?, ?, ?)"_s),
      reader_(*this, userLanguage()), unpack_(largest, [this](QByteArrayView bytes) { reader_.feed(bytes); }) {}

Import::~Import() = default;

void Import::feed(QByteArrayView bytes) {
    unpack_.feed(bytes);
}

ImportReport Import::finish(const Validators& validators) {
    unpack_.finish();
    reader_.finish();
    replace();
    source_.etag = validators.etag;
    source_.lastModified = validators.lastModified;
    recordUpdate(catalogue_, source_, report_.line());
    transaction_.commit();
    return report_;
}

void Import::channel(Channel channel) {
    if (channel.id.isEmpty() || keys_.contains(channel.id))
        return;
    std::vector<qint64> byName;
    for (const QString& name : std::as_const(channel.names)) {
        const auto found = stations_->byName.constFind(nameKey(name));
        if (found != stations_->byName.cend())
            byName.insert(byName.end(), found->begin(), found->end());
    }
    const auto byId = stations_->byId.constFind(channel.id);
    if (byName.empty() && byId == stations_->byId.cend())
        return;
    const qint64 key = stage(channel.id);
    link(key, byName, false);
    if (byId != stations_->byId.cend())
        link(key, *byId, true);
}

bool Import::wants(const ProgrammeHead& head) {
    const qint64 start = head.start + shift_;
    // Without a stop, a programme ends where the next one starts: kept until the whole guide says where that is.
    const qint64 stop = head.stop ? *head.stop + shift_ : start + KeptBeforeSeconds;
    if (start >= to_ || stop <= from_)
        return false;
    if (keys_.contains(head.channel))
        return true;
    // A guide may list a programme before its channel, or list no channel at all: the tvg-id still matches it.
    const auto byId = stations_->byId.constFind(head.channel);
    if (byId == stations_->byId.cend())
        return false;
    link(stage(head.channel), *byId, true);
    return true;
}

void Import::programme(const ProgrammeHead& head, ProgrammeText text) {
    const qint64 start = head.start + shift_;
    if (head.stop && *head.stop <= head.start) {
        ++report_.skipped;
        return;
    }
    if (text.title.isEmpty())
        return;
    stageProgramme_.bind(1, keys_.value(head.channel));
    stageProgramme_.bind(2, start);
    stageProgramme_.bind(3, head.stop ? QVariant(*head.stop + shift_) : QVariant());
    stageProgramme_.bind(4, text.title);
    stageProgramme_.bind(5, textOrNull(text.subTitle));
    stageProgramme_.bind(6, textOrNull(text.description));
    stageProgramme_.bind(7, textOrNull(text.category));
    stageProgramme_.step();
    stageProgramme_.reset();
}

qint64 Import::stage(const QString& xmltvId) {
    stageChannel_.bind(1, xmltvId);
    stageChannel_.step();
    stageChannel_.reset();
    const qint64 key = keys_.size() + 1;
    keys_.insert(xmltvId, key);
    return key;
}

void Import::link(qint64 key, const std::vector<qint64>& stations, bool byId) {
    for (const qint64 station : stations) {
        stageStation_.bind(1, station);
        stageStation_.bind(2, key);
        stageStation_.bind(3, byId ? 1 : 0);
        stageStation_.step();
        stageStation_.reset();
    }
}

// The source's channels, links and programmes give way to the new guide's. A station matched by its tvg-id takes
// that channel alone; one matched by name takes every channel of that name. Of one channel's programmes, a later
// start ends the one before, and the programmes that end before two hours ago are dropped.
void Import::replace() {
    Statement last(catalogue_, u"SELECT coalesce(max(id), 0) FROM guide_channel"_s);
    last.step();
    const qint64 base = last.integer(0);
    const QString source = QString::number(source_.id);
    const QString channels = u"(SELECT id FROM guide_channel WHERE source = %1)"_s.arg(source);
    catalogue_.execute(
        u"DELETE FROM guide_programme WHERE channel IN %1;"
        "DELETE FROM guide_station WHERE channel IN %1;"
        "DELETE FROM guide_channel WHERE source = %2;"
        "INSERT INTO guide_channel (id, source, xmltv_id) SELECT %3 + key, %2, xmltv_id FROM staged_channel;"
        "INSERT OR IGNORE INTO guide_station (station, channel) SELECT s.station, %3 + s.key FROM staged_station s "
        "WHERE s.by_id = (SELECT max(by_id) FROM staged_station t WHERE t.station = s.station);"
        "DELETE FROM guide_channel WHERE source = %2 AND id NOT IN (SELECT channel FROM guide_station);"
        // Only the times are sorted; the texts join them after.
        "INSERT OR REPLACE INTO guide_programme SELECT %3 + p.key, p.start, e.stop, p.title, p.sub_title, "
        "p.description, p.category FROM (SELECT seq, min(coalesce(stop, following), coalesce(following, stop)) "
        "AS stop FROM (SELECT seq, stop, lead(start) OVER (PARTITION BY key ORDER BY start, seq) AS following "
        "FROM staged_programme)) e JOIN staged_programme p USING (seq) WHERE e.stop > p.start AND e.stop > %4 "
        "AND %3 + p.key IN (SELECT channel FROM guide_station);"_s.arg(channels, source)
            .arg(base)
            .arg(from_));
    Statement counts(catalogue_, u"SELECT (SELECT count(*) FROM guide_channel WHERE source = ?1), (SELECT "
                                 "count(DISTINCT station) FROM guide_station WHERE channel IN (SELECT id FROM "
                                 "guide_channel WHERE source = ?1)), (SELECT count(*) FROM guide_programme WHERE "
                                 "channel IN (SELECT id FROM guide_channel WHERE source = ?1))"_s);
    counts.bind(1, source_.id);
    counts.step();
    report_.channels = static_cast<int>(counts.integer(0));
    report_.stations = static_cast<int>(counts.integer(1));
    report_.programmes = counts.integer(2);
    catalogue_.execute(u"DELETE FROM staged_channel; DELETE FROM staged_station; DELETE FROM staged_programme"_s);
}

} // namespace Guide

// vimaro check: which stations still play.
#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "catalogue/StationAttributes.h"
#include "cli/CommandLine.h"
#include "cli/TerminalProgress.h"
#include "desktop/FileWriter.h"
#include "desktop/Interrupt.h"
#include "health/CheckRun.h"
#include "health/HealthTable.h"
#include "playlists/Playlist.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

constexpr int PageSize = 64;
constexpr int MaxJobs = 256;
constexpr double MaxTimeoutSeconds = 3600;

struct Options {
    QString category;
    CheckRun::Options run;
    bool json = false;
    bool report = false;
    QString exportDead;
};

const char* const Description = QT_TRANSLATE_NOOP(
    "CommandLine",
    "Checks whether the catalogue's stations still play: reads the first kilobytes of what answers at each\n"
    "station's address (following at most five redirects and the first entry of a playlist), prints one line\n"
    "per station and a summary, and keeps the findings in the catalogue it checks, %1. Nothing is played.\n"
    "\n"
    "Exit codes: 0 every station was checked, whatever was found (a dead station is a finding, not a failure);\n"
    "1 the catalogue could not be read or written, this process ran short of files or memory, or Ctrl+C stopped\n"
    "the run (the findings so far are kept);\n"
    "2 the command line is wrong.");

// Reads the command line into `options`; returns an exit code when the command ends here.
std::optional<int> readOptions(const QStringList& arguments, Options& options) {
    Invocation invocation("check", tr(Description).arg(catalogueName()));
    QCommandLineParser& parser = invocation.parser;
    const QCommandLineOption category(u"category"_s, tr("Only the stations of this category (国内电视 ...)."),
                                      u"类别"_s);
    const QCommandLineOption jobs(u"jobs"_s,
                                  tr("Stations checked at once, 1 to %1 (default 16), never more than 4 on one host; "
                                     "fewer when the limit on open files (ulimit -n) allows fewer.")
                                      .arg(MaxJobs),
                                  u"N"_s);
    const QCommandLineOption timeout(
        u"timeout"_s, tr("Seconds one station may take in all before it has timed out (default 10)."), u"S"_s);
    const QCommandLineOption json(u"json"_s, tr("Prints the findings as one JSON document."));
    const QCommandLineOption report(u"report"_s, tr("Checks nothing: prints the last findings, dead stations first."));
    const QCommandLineOption exportDead(
        u"export-dead"_s, tr("Writes the dead stations of the last findings to FILE as an M3U playlist."), u"FILE"_s);
    parser.addOptions({category, jobs, timeout, json, report, exportDead});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return exit;
    const auto usage = [](const QString& problem) {
        print(stderr, u"vimaro check: %1\n"_s.arg(printable(problem)));
        return std::optional<int>(Usage);
    };
    if (!parser.positionalArguments().isEmpty())
        return usage(tr("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));
    options.category = parser.value(category);
    options.json = parser.isSet(json);
    options.report = parser.isSet(report);
    options.exportDead = parser.value(exportDead);
    bool ok = true;
    if (parser.isSet(jobs)) {
        options.run.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || options.run.jobs < 1 || options.run.jobs > MaxJobs)
            return usage(tr("--jobs takes a whole number from 1 to %1").arg(MaxJobs));
    }
    if (parser.isSet(timeout)) {
        const double seconds = parser.value(timeout).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > MaxTimeoutSeconds)
            return usage(tr("--timeout takes seconds above 0, at most %1").arg(MaxTimeoutSeconds));
        options.run.timeout = std::chrono::milliseconds(qRound64(seconds * 1000));
    }
    return std::nullopt;
}

// Prints findings one station at a time, as lines for a person or as one JSON document for a program, so that
// the output of a run over any number of stations keeps none of them in memory. The lines are in the user's
// language; the JSON is the same in every language, its results the stable keys ("not-found").
class Findings {
public:
    explicit Findings(bool json) : json_(json) {
        if (json_)
            print(stdout, u"{\"stations\":["_s);
    }

    // Lines go past the progress line while a run shows one.
    void showProgress(TerminalProgress* progress) { progress_ = progress; }

    void station(const HealthTable::Entry& entry, bool withTime) {
        const Finding& finding = entry.finding;
        if (json_) {
            const QJsonObject object{
                {u"station"_s, entry.station.id},
                {u"name"_s, entry.station.name},
                {u"category"_s, entry.station.category},
                {u"address"_s, entry.station.address},
                {u"result"_s, Verdicts::key(finding.verdict)},
                {u"standing"_s, standingKey(Verdicts::standing(finding.verdict))},
                {u"detail"_s, finding.detail},
                {u"time"_s, entry.time.toUTC().toString(Qt::ISODate)},
            };
            write((first_ ? u"\n"_s : u",\n"_s) +
                  QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
            first_ = false;
            return;
        }
        const QString time = withTime ? entry.time.toLocalTime().toString(u"yyyy-MM-dd HH:mm  "_s) : QString();
        const QString name = entry.station.name.isEmpty() ? CommandLine::tr("(no name)") : entry.station.name;
        write(u"%1%2  %3  %4  %5\n"_s.arg(time, labelColumn(Verdicts::label(finding.verdict)), printable(name),
                                          printable(entry.station.address), printable(finding.detail)));
    }

    // `seconds` below 0: the findings of earlier runs, not of this one.
    void summary(const Tally& tally, double seconds, bool interrupted) {
        if (json_)
            return jsonSummary(tally, seconds, interrupted);
        if (seconds < 0 && tally.total() == 0)
            return print(stdout, CommandLine::tr("No findings yet: vimaro check checks the stations.\n"));
        const QString stations =
            tally.total() == 1 ? CommandLine::tr("1 station") : CommandLine::tr("%1 stations").arg(tally.total());
        QString text = seconds < 0 ? CommandLine::tr("Last findings of %1: ").arg(stations)
                                   : CommandLine::tr("Checked %1 in %2 s: ").arg(stations).arg(seconds, 0, 'f', 1);
        text += CommandLine::tr("%1 play, %2 do not, %3 cannot be judged.\n")
                    .arg(tally.count(Standing::Plays))
                    .arg(tally.count(Standing::Dead))
                    .arg(tally.count(Standing::Undecided));
        text += reasons(tally, Standing::Plays, CommandLine::tr("play")) +
                reasons(tally, Standing::Dead, CommandLine::tr("do not")) +
                reasons(tally, Standing::Undecided, CommandLine::tr("cannot be judged"));
        if (interrupted)
            text += CommandLine::tr("Stopped by Ctrl+C; the findings so far are kept.\n");
        print(stdout, text);
    }

private:
    void write(const QString& text) {
        if (progress_)
            progress_->print(text);
        else
            print(stdout, text);
    }

    static QString standingKey(Standing standing) {
        return standing == Standing::Dead ? u"dead"_s : standing == Standing::Plays ? u"plays"_s : u"undecided"_s;
    }

    static QString reasons(const Tally& tally, Standing standing, const QString& title) {
        QStringList counts;
        for (int i = 0; i < VerdictCount; ++i) {
            const auto verdict = static_cast<Verdict>(i);
            if (Verdicts::standing(verdict) == standing && tally.count(verdict) > 0)
                counts.append(u"%1 %2"_s.arg(Verdicts::label(verdict)).arg(tally.count(verdict)));
        }
        return counts.isEmpty() ? QString() : u"  %1: %2\n"_s.arg(title, counts.join(u", "_s));
    }

    void jsonSummary(const Tally& tally, double seconds, bool interrupted) {
        QJsonObject results;
        for (int i = 0; i < VerdictCount; ++i) {
            const auto verdict = static_cast<Verdict>(i);
            if (tally.count(verdict) > 0)
                results.insert(Verdicts::key(verdict), tally.count(verdict));
        }
        QJsonObject summary{{u"stations"_s, tally.total()},
                            {u"play"_s, tally.count(Standing::Plays)},
                            {u"dead"_s, tally.count(Standing::Dead)},
                            {u"undecided"_s, tally.count(Standing::Undecided)},
                            {u"results"_s, results},
                            {u"interrupted"_s, interrupted}};
        if (seconds >= 0)
            summary.insert(u"seconds"_s, seconds);
        print(stdout,
              u"\n],\"summary\":%1}\n"_s.arg(QString::fromUtf8(QJsonDocument(summary).toJson(QJsonDocument::Compact))));
    }

    bool json_;
    bool first_ = true;
    TerminalProgress* progress_ = nullptr;
};

// Checks every station of the options' category; returns the exit code.
int runChecks(Database& connection, const Options& options, Findings& findings) {
    Health::StationPages pages(connection, options.category);
    const qint64 total = pages.count();
    std::optional<QString> failure;
    CheckRun run(
        [&] {
            try {
                return pages.next(PageSize);
            } catch (const DbError& error) {
                failure = QString::fromUtf8(error.what());
                return std::vector<Health::Station>{};
            }
        },
        options.run);
    if (run.jobs() < options.run.jobs)
        print(stderr,
              tr("vimaro check: %1 stations at a time, as many as the limit on open files allows\n").arg(run.jobs()));
    HealthTable::Writer writer(connection);
    Tally tally;
    TerminalProgress progress(tr("checking"));
    findings.showProgress(&progress);
    QObject::connect(&run, &CheckRun::checked, [&](const Health::Station& station, const Finding& finding) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        try {
            writer.add(station, finding, now);
        } catch (const DbError& error) {
            failure = QString::fromUtf8(error.what());
            return run.stop();
        }
        tally.add(finding.verdict);
        progress.update(tally.total(), total);
        findings.station({station, finding, now}, false);
    });
    bool interrupted = false;
    Interrupt interrupt;
    QObject::connect(&interrupt, &Interrupt::requested, [&] {
        interrupted = true;
        run.stop();
    });
    QEventLoop loop;
    QObject::connect(&run, &CheckRun::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    run.start();
    loop.exec();
    progress.finish();
    findings.showProgress(nullptr);
    if (!failure)
        writer.flush();
    findings.summary(tally, static_cast<double>(clock.elapsed()) / 1000.0, interrupted);
    if (failure) {
        print(stderr, tr("vimaro check: the catalogue failed: %1\n").arg(printable(*failure)));
        return Failed;
    }
    if (!run.shortage().isEmpty()) {
        print(stderr, tr("vimaro check: stopped, this process ran short of its own resources (%1): fewer --jobs or a "
                         "higher ulimit -n may help; the findings so far are kept\n")
                          .arg(printable(run.shortage())));
        return Failed;
    }
    return interrupted ? Failed : Done;
}

int report(Database& connection, const Options& options, Findings& findings) {
    Tally tally;
    HealthTable::lastFindings(connection, options.category, [&](const HealthTable::Entry& entry) {
        tally.add(entry.finding.verdict);
        findings.station(entry, true);
    });
    findings.summary(tally, -1, false);
    return Done;
}

// The dead stations of the last findings as an M3U playlist, dead first as --report lists them, each with its
// category and what its source said, so that it can be reviewed in a player and imported again once mended.
int exportDead(Database& connection, const Options& options) {
    std::vector<Catalogue::AttributedStation> dead;
    HealthTable::lastFindings(connection, options.category, [&](const HealthTable::Entry& entry) {
        if (Verdicts::standing(entry.finding.verdict) == Standing::Dead)
            dead.push_back({entry.station, Catalogue::attributes(connection, entry.station.id)});
    });
    // The file is replaced only once it is complete: a failure leaves an earlier playlist of that name whole.
    try {
        FileWriter file(options.exportDead);
        file.write(Playlists::writeM3u(dead));
        file.commit();
    } catch (const FileFailure& failure) {
        print(stderr, u"vimaro check: %1\n"_s.arg(printable(QString::fromUtf8(failure.what()))));
        return Failed;
    }
    print(stderr, tr("Wrote %1 dead stations to %2.\n").arg(dead.size()).arg(printable(options.exportDead)));
    return Done;
}

// Findings are written as stations are: never into a damaged catalogue, which the day's backup would show. They are
// the check's own and no station, so a backup that cannot be made does not stop them.
void prepareToStore() {
    try {
        Catalogue::backUpBeforeWriting();
    } catch (const Catalogue::NoBackupError&) {
    }
}

bool categoryHasStations(Database& connection, const QString& category) {
    return category.isEmpty() || Health::StationPages(connection, category).count() > 0;
}

} // namespace

int checkStations(const QStringList& arguments) {
    Options options;
    if (const std::optional<int> exit = readOptions(arguments, options))
        return *exit;
    const std::optional<QString> refused =
        options.exportDead.isEmpty() ? std::nullopt : notAPlaylistTarget(options.exportDead);
    if (refused) {
        print(
            stderr,
            tr("vimaro check: %1; a playlist is never written over it. Nothing was done.\n").arg(printable(*refused)));
        return Failed;
    }
    try {
        // A report only reads, so a catalogue that cannot be written is reported all the same.
        Database connection = openCatalogue(options.report ? Database::Access::ReadOnly : Database::Access::ReadWrite);
        if (!options.report)
            prepareToStore();
        if (!categoryHasStations(connection, options.category)) {
            print(stderr, tr("vimaro check: no station has the category \"%1\". The categories are:\n%2")
                              .arg(printable(options.category), categoryLines(connection)));
            return Usage;
        }
        Findings findings(options.json);
        int exit = options.report ? report(connection, options, findings) : runChecks(connection, options, findings);
        if (!options.exportDead.isEmpty() && exit != Failed)
            exit = exportDead(connection, options);
        return exit;
    } catch (const DbError& error) {
        print(stderr, tr("vimaro check: the catalogue %1 failed: %2\n")
                          .arg(printable(Catalogue::file()), printable(failure(error))));
        return Failed;
    } catch (const std::exception& error) {
        return failed(error, u"vimaro check: %1\n"_s);
    }
}

} // namespace CommandLine

// Start-up time of the whole program, as a user waits for it: a fresh process until the main window is shown,
// against floors measured in the same run: a Qt process that shows one empty window, and one that shows a window
// with the main window's Chinese texts, which pays what any window showing Chinese pays (finding and loading a
// font that has the characters). Each is timed as a whole process, several times, on Qt's offscreen platform; the
// catalogue is the shipped one, then one of a million stations more, indexed as the first start leaves it.
//
// For each catalogue it prints where a start's time goes, phase by phase (medians of the same number of runs).
//
//   bench_startup [RUNS]
#include "app/CatalogueRestore.h"
#include "app/Registry.h"
#include "bench/Measure.h"
#include "catalogue/Catalogue.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Asked for by memoryOf(): the most memory the process held.
void printMemory() {
    if (qEnvironmentVariableIsSet("BENCH_MEMORY"))
        std::printf("%.1f\n", peakResidentMegabytes());
}

int showWindow(int argc, char* argv[], bool withTexts) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(147, 228);
    if (withTexts) {
        auto* layout = new QVBoxLayout(&window);
        for (const QString& text :
             {u"::::Vimaro::::"_s, u"预置电台"_s, u"外观设置"_s, u"手机短信"_s, u"频道设置"_s, u"Vimaro 开发组"_s})
            layout->addWidget(new QLabel(text));
    }
    window.show();
    QApplication::processEvents();
    printMemory();
    return 0;
}

// The start as main() does it. With `phases`, prints where the time went, a line per phase: what, milliseconds.
int startProgram(int argc, char* argv[], bool phases) {
    QElapsedTimer clock;
    clock.start();
    std::vector<std::pair<const char*, double>> marks;
    const auto mark = [&](const char* what) { marks.emplace_back(what, double(clock.nsecsElapsed()) / 1e6); };
    {
        QApplication app(argc, argv);
        mark("Qt application made");
        offerCatalogueRestore();
        mark("catalogue looked at for a restore");
        {
            Registry forms;
            Form& main = forms.form(FormName::Form1);
            mark("windows loaded, side windows built at first use");
            main.Show();
            QApplication::processEvents();
            mark("main window shown and painted");
            printMemory();
        }
        mark("windows taken down");
    }
    mark("Qt application ended");
    double before = 0;
    for (const auto& [what, at] : marks) {
        if (phases)
            std::printf("%s\t%.3f\n", what, at - before);
        before = at;
    }
    return 0;
}

// The most memory a start held, in megabytes.
double memoryOf(const QString& program, const QString& mode) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"BENCH_MEMORY"_s, u"1"_s);
    process.setProcessEnvironment(environment);
    process.start(program, {mode});
    process.waitForFinished(60000);
    return process.readAllStandardOutput().trimmed().toDouble();
}

// The median of each phase of several starts, beside the whole start's wall time.
void printPhases(const QString& program, int runs, Time whole) {
    std::vector<QByteArray> names;
    std::vector<std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        process.setProcessEnvironment(environment);
        process.start(program, {u"phases"_s});
        process.waitForFinished(60000);
        const QList<QByteArray> lines = process.readAllStandardOutput().trimmed().split('\n');
        for (size_t phase = 0; phase < size_t(lines.size()); ++phase) {
            const QList<QByteArray> fields = lines[qsizetype(phase)].split('\t');
            if (names.size() <= phase) {
                names.push_back(fields.first());
                times.emplace_back();
            }
            times[phase].push_back(fields.last().toDouble());
        }
    }
    double inMain = 0;
    for (size_t phase = 0; phase < names.size(); ++phase) {
        std::ranges::sort(times[phase]);
        const double middle = times[phase][times[phase].size() / 2];
        inMain += middle;
        std::printf("    %-50s %8.1f ms\n", names[phase].constData(), middle);
    }
    std::printf("    %-50s %8.1f ms\n", "before main(): process, libraries", whole.wall - inMain);
}

// A program directory with this benchmark as its program, the shipped settings and a catalogue of the shipped
// stations and `extra` more.
QString programDirectory(const QTemporaryDir& dir, const QString& self, int extra) {
    const QString path = dir.filePath(u"catalogue-%1"_s.arg(extra));
    QDir(dir.path()).mkdir(path);
    QFile::copy(self, path + u"/bench_startup"_s);
    QFile::copy(QStringLiteral(VIMARO_SEED_SETTINGS), path + u"/tvset.ini"_s);
    makeCatalogue(path + u"/tv.mdb"_s, extra);
    Database catalogue = Database::OpenDatabase(path + u"/tv.mdb"_s);
    Catalogue::createIndexes(catalogue);
    return path + u"/bench_startup"_s;
}

// The processor time, user and system, of the child processes that have ended, in milliseconds.
double childrenProcessorTime() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Time medianStart(const QString& program, const QString& mode, int runs) {
    std::vector<Time> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        process.setProcessEnvironment(environment);
        const double before = childrenProcessorTime();
        const Time parent = timed([&] {
            process.start(program, {mode});
            if (!process.waitForFinished(60000) || process.exitCode() != 0)
                qFatal("%s %s failed", qPrintable(program), qPrintable(mode));
        });
        times.push_back({parent.wall, childrenProcessorTime() - before});
    }
    return median(times);
}

} // namespace

int main(int argc, char* argv[]) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"empty" || mode == u"texts")
        return showWindow(argc, argv, mode == u"texts");
    if (mode == u"program" || mode == u"phases")
        return startProgram(argc, argv, mode == u"phases");

    QCoreApplication app(argc, argv);
    const int runs = mode.isEmpty() ? 15 : mode.toInt();
    QTemporaryDir dir;
    const QString self = QCoreApplication::applicationFilePath();

    std::printf("start-up to the main window shown, median of %d whole-process runs, offscreen\n", runs);
    const Time empty = medianStart(self, u"empty"_s, runs);
    const Time texts = medianStart(self, u"texts"_s, runs);
    printHeading();
    print("an empty Qt window", empty);
    print("floor: a window with the main window's Chinese texts", texts);
    const double textsMemory = memoryOf(self, u"texts"_s);
    QString shipped;
    for (int extra : {0, 10000000}) {
        const QString program = programDirectory(dir, self, extra);
        shipped = extra == 0 ? program : shipped;
        const Time start = medianStart(program, u"program"_s, runs);
        print(qPrintable(u"program, shipped catalogue + %1 stations"_s.arg(extra)), start,
              ofTheFloor(start, texts) + u"   goal <= x1.15"_s);
        const double memory = memoryOf(program, u"program"_s);
        std::printf("    peak memory %.1f MB, the floor's %.1f MB: %+.1f MB   goal <= +15 MB\n", memory, textsMemory,
                    memory - textsMemory);
        printPhases(program, runs, start);
    }

    // Another program holds the catalogue in a transaction all along: start-up must not wait for it.
    sqlite3* other = nullptr;
    if (sqlite3_open((QFileInfo(shipped).path() + QStringLiteral("/tv.mdb")).toUtf8().constData(), &other) !=
            SQLITE_OK ||
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot lock the catalogue: %s", sqlite3_errmsg(other));
    const Time locked = medianStart(shipped, u"program"_s, runs);
    print("program, shipped catalogue locked elsewhere", locked, ofTheFloor(locked, texts));
    sqlite3_close(other);
    return 0;
}

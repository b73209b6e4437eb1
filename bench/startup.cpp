// Start-up time of the whole program, as a user waits for it: a fresh process until the main window is shown,
// against a floor measured in the same run, a Qt process that shows one empty window. Each is timed as a whole
// process, several times, on Qt's offscreen platform; the catalogue is the shipped one, then a large one.
//
//   bench_startup [RUNS]
#include "app/CatalogueRestore.h"
#include "app/Registry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

int showEmptyWindow(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(147, 228);
    window.show();
    QApplication::processEvents();
    return 0;
}

int startProgram(int argc, char* argv[]) {
    QApplication app(argc, argv);
    offerCatalogueRestore();
    Registry forms;
    forms.form(FormName::Form1).Show();
    QApplication::processEvents();
    return 0;
}

// A program directory with this benchmark as its program, the shipped settings and the shipped catalogue,
// grown by `extra` stations spread over the browsed categories.
QString programDirectory(const QTemporaryDir& dir, const QString& self, int extra) {
    const QString name = QStringLiteral("catalogue-%1").arg(extra);
    QDir(dir.path()).mkdir(name);
    const QString path = dir.filePath(name);
    QFile::copy(self, path + QStringLiteral("/bench_startup"));
    QFile::copy(QStringLiteral(VIMARO_SEED_CATALOGUE), path + QStringLiteral("/tv.mdb"));
    QFile::copy(QStringLiteral(VIMARO_SEED_SETTINGS), path + QStringLiteral("/tvset.ini"));
    QFile::setPermissions(path + QStringLiteral("/tv.mdb"), QFile::ReadOwner | QFile::WriteOwner);

    const QString grow = QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1), "
        "categories(k, name) AS (VALUES (0, '国内电视'), (1, '港台电视'), (2, '海外电视'), (3, '精选音乐'), "
        "(4, '精选电影'), (5, '个性电视'), (6, '国内广播'), (7, '港台广播'), (8, '海外广播'), (9, '个性广播')) "
        "INSERT INTO radio (类别, 名称, 网址) SELECT name, '电台 ' || i, 'http://example.org/' || i "
        "FROM n JOIN categories ON k = i % 10");
    sqlite3* db = nullptr;
    char* error = nullptr;
    if (sqlite3_open((path + QStringLiteral("/tv.mdb")).toUtf8().constData(), &db) != SQLITE_OK ||
        (extra > 0 && sqlite3_exec(db, grow.arg(extra).toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK))
        qFatal("cannot grow the catalogue: %s", error ? error : sqlite3_errmsg(db));
    sqlite3_close(db);
    return path + QStringLiteral("/bench_startup");
}

double medianMilliseconds(const QString& program, const QString& mode, int runs) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(program, {mode});
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            qFatal("%s %s failed", qPrintable(program), qPrintable(mode));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QStringLiteral("floor"))
        return showEmptyWindow(argc, argv);
    if (mode == QStringLiteral("program"))
        return startProgram(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = mode.isEmpty() ? 15 : mode.toInt();
    QTemporaryDir dir;
    const QString self = QCoreApplication::applicationFilePath();

    std::printf("start-up to the main window shown, median of %d whole-process runs, offscreen\n", runs);
    const double floor = medianMilliseconds(self, QStringLiteral("floor"), runs);
    std::printf("  %-36s %8.1f ms\n", "floor: an empty Qt window", floor);
    const auto report = [floor](const QString& label, double took) {
        std::printf("  %-36s %8.1f ms   x%.2f of the floor\n", qPrintable(label), took, took / floor);
    };
    QString shipped;
    for (int extra : {0, 20000}) {
        const QString program = programDirectory(dir, self, extra);
        shipped = extra == 0 ? program : shipped;
        report(QStringLiteral("program, shipped catalogue + %1").arg(extra),
               medianMilliseconds(program, QStringLiteral("program"), runs));
    }

    // Another program holds the catalogue in a transaction all along: start-up must not wait for it.
    sqlite3* other = nullptr;
    if (sqlite3_open((QFileInfo(shipped).path() + QStringLiteral("/tv.mdb")).toUtf8().constData(), &other) !=
            SQLITE_OK ||
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot lock the catalogue: %s", sqlite3_errmsg(other));
    report(QStringLiteral("program, catalogue locked elsewhere"),
           medianMilliseconds(shipped, QStringLiteral("program"), runs));
    sqlite3_close(other);
    return 0;
}

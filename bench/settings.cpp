// Start-up's six reads of the colour from a settings file grown to 100 MB, against a floor measured in the same
// run: reading the same file six times in blocks without looking at it. Memory is the growth of the process's peak
// resident size, which must stay bounded by the longest line however large the file.
//
//   bench_settings [MEGABYTES]
#include "core/Ask.h"
#include "profile/Profile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// `megabytes` of comment lines, with the installed section before or after them.
void writeSettings(const QString& path, int megabytes, bool sectionFirst) {
    QFile file(path);
    const QByteArray section = "[setup]\r\ncolor=&HFFC0C0\r\n";
    const QByteArray comment = "; a line of text that is no entry, as a user might leave it\r\n";
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    if (sectionFirst)
        file.write(section);
    for (qint64 written = 0; written < megabytes * qint64(1 << 20); written += comment.size())
        file.write(comment);
    if (!sectionFirst)
        file.write(section);
}

double floorMilliseconds(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    for (int read = 0; read < 6; ++read) {
        QFile file(path);
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        while (!file.read(16 * 1024).isEmpty()) {
        }
    }
    return timer.nsecsElapsed() / 1e6;
}

double sixReadsMilliseconds(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    for (int read = 0; read < 6; ++read)
        GetProfile(path, QStringLiteral("setup"), QStringLiteral("color"));
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    // A missing entry would ask the user; here every question is answered at once with its default.
    answerQuestionsWith([](const QString&, MsgBoxButtons buttons, const QString&) {
        return buttons == vbAbortRetryIgnore ? vbAbort : vbOK;
    });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tvset.ini"));

    std::printf("six colour reads from a %d MB tvset.ini\n", megabytes);
    for (bool sectionFirst : {false, true}) {
        writeSettings(path, megabytes, sectionFirst);
        const double floor = floorMilliseconds(path);
        const long before = peakResidentMegabytes();
        const double took = sixReadsMilliseconds(path);
        std::printf("  section %-6s  floor %7.1f ms   reads %7.1f ms (x%.1f)   peak memory +%ld MB\n",
                    sectionFirst ? "first" : "last", floor, took, took / floor, peakResidentMegabytes() - before);
    }
    return 0;
}

#include "bench/Measure.h"

#include "sqlite/Database.h"
#include "sqlite/Statement.h"

#include <QFile>
#include <cstdio>

Time median(std::vector<Time> runs) {
    const auto middle = [&](auto field) {
        std::vector<double> values;
        for (const Time& run : runs)
            values.push_back(run.*field);
        std::ranges::sort(values);
        return values[values.size() / 2];
    };
    return {middle(&Time::wall), middle(&Time::processor)};
}

void printHeading() {
    std::printf("  %-52s %11s %11s\n", "", "wall", "processor");
}

void print(const char* what, Time time, const QString& note) {
    std::printf("  %-52s %8.1f ms %8.1f ms%s%s\n", what, time.wall, time.processor, note.isEmpty() ? "" : "   ",
                qPrintable(note));
}

QString ofTheFloor(Time time, Time floor) {
    return QStringLiteral("x%1 x%2 of the floor")
        .arg(time.wall / floor.wall, 0, 'f', 2)
        .arg(time.processor / floor.processor, 0, 'f', 2);
}

void makeCatalogue(const QString& path, int stations) {
    QFile generator(QStringLiteral(VIMARO_CATALOGUE_GENERATOR));
    if (!QFile::copy(QStringLiteral(VIMARO_SEED_CATALOGUE), path) || !generator.open(QIODevice::ReadOnly))
        qFatal("cannot make the catalogue %s", qPrintable(path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    Database catalogue = Database::OpenDatabase(path);
    // The shipped catalogue comes with the program's indexes; one copied from elsewhere has none.
    catalogue.execute(QStringLiteral("DROP INDEX radio_listing; DROP INDEX radio_station; DROP INDEX radio_names"));
    Statement grow(catalogue, QString::fromUtf8(generator.readAll()));
    grow.bind(1, stations);
    grow.step();
}

namespace {

// A figure of this process's memory that the kernel gives in kilobytes, in megabytes.
double statusMegabytes(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

} // namespace

double residentMegabytes() {
    return statusMegabytes("VmRSS:");
}

double peakResidentMegabytes() {
    return statusMegabytes("VmHWM:");
}

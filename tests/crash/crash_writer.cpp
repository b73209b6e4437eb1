// Writes in a loop until it is killed, and prints a line each time a write has returned, so that whoever kills it
// knows what must have been stored by then.
//
//   crash_writer settings DIR       rewrites DIR/tvset.ini, the colour &H00FF00 and &H0000FF in turn
//   crash_writer catalogue DIR RUN  adds the stations "crash RUN-N" to DIR/tv.mdb and renames every other one
#include "catalogue/Catalogue.h"
#include "desktop/ProgramDir.h"
#include "profile/Profile.h"

#include <QString>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void report(const QString& what) {
    std::printf("%s\n", qPrintable(what));
    std::fflush(stdout);
}

[[noreturn]] void writeSettings(const QString& dir) {
    for (int n = 0;; ++n) {
        setProfile(dir + u"/tvset.ini"_s, u"setup"_s, u"color"_s, n % 2 ? u"&H0000FF"_s : u"&H00FF00"_s);
        report(u"wrote"_s);
    }
}

QString addressOf(const QString& name) {
    return u"http://crash.example/"_s + QString(name).replace(u' ', u'/');
}

[[noreturn]] void writeCatalogue(const QString& run) {
    using namespace Catalogue;
    Database connection = openConnection();
    for (int n = 0;; ++n) {
        const QString name = u"crash %1-%2"_s.arg(run).arg(n);
        addStation(connection, {Categories::SpecialInterestRadio, name, addressOf(name)});
        report(u"added "_s + name);
        if (n % 2) {
            const QString changed = name + u" changed"_s;
            // No earlier name holds this one, so the first station found is the one just added.
            changeStation(connection, StationQuery::nameSearch(name), changed, addressOf(changed));
            report(u"changed "_s + name);
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const QString mode = QString::fromLocal8Bit(argc > 1 ? argv[1] : "");
    if (argc < 3 || (mode == u"catalogue"_s && argc < 4)) {
        std::fprintf(stderr, "usage: crash_writer settings DIR | catalogue DIR RUN\n");
        return 2;
    }
    setProgramDirForTesting(QString::fromLocal8Bit(argv[2]));
    if (mode == u"settings"_s)
        writeSettings(programDir());
    writeCatalogue(QString::fromLocal8Bit(argv[3]));
}

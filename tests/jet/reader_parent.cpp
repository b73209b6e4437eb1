// Has an old catalogue read by the reader given, as the program has it read by its child, and waits for it:
//   reader_parent READER FILE
#include "jet/OldCatalogue.h"
#include "sqlite/Database.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    OldCatalogue::setReaderForTesting(QString::fromLocal8Bit(argv[1]), std::chrono::minutes(1));
    try {
        OldCatalogue::readStations(QString::fromLocal8Bit(argv[2]));
    } catch (const DbError&) {
        return 1;
    }
}

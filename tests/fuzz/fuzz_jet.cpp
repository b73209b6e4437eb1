// Old catalogues as a damaged disk or a hostile user might hand them over: reading any bytes that carry a Jet
// header must end in stations or a DbError, never in a crash, a hang or undefined behaviour of our own. This is the
// reading the child process does; what the Jet library itself does wrong there ends only that child.
//
// Input: the file's bytes.
#include "catalogue/JetFormat.h"
#include "jet/OldCatalogue.h"
#include "sqlite/Database.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The Jet library reads files only, so every input becomes the same file in one folder for the whole run.
    static const QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("tv.mdb")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        qFatal("cannot write %s", qPrintable(file.fileName()));
    file.close();
    if (!jetFormat(file.fileName()))
        return 0;
    try {
        OldCatalogue::readStationsHere(file.fileName());
    } catch (const DbError&) {
    }
    return 0;
}

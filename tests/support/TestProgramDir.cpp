#include "tests/support/TestProgramDir.h"

#include "desktop/ProgramDir.h"
#include "jet/OldCatalogue.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>

TestProgramDir::TestProgramDir() {
    if (!dir_.isValid())
        qFatal("cannot create a temporary program directory");
    if (!QFile::copy(QStringLiteral(VIMARO_SEED_CATALOGUE), catalogue()) ||
        !QFile::copy(QStringLiteral(VIMARO_SEED_SETTINGS), settings()))
        qFatal("cannot copy the seed catalogue and settings file into %s", qPrintable(path()));
    // Copies keep the read-only bits of their sources; the program expects to write both files.
    for (const QString& name : {catalogue(), settings()})
        QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner);
    setProgramDirForTesting(path());
    // An old catalogue is read by a child of the program, which a test suite is not.
    OldCatalogue::setReaderForTesting(QStringLiteral(VIMARO_PROGRAM));
}

TestProgramDir::~TestProgramDir() {
    setProgramDirForTesting({});
    OldCatalogue::setReaderForTesting({});
}

QByteArray TestProgramDir::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestProgramDir::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file(name)));
}

void TestProgramDir::remove(const QString& name) const {
    QFile::remove(file(name));
}

void TestProgramDir::changeCatalogue(const QString& sql) const {
    sqlite3* db = nullptr;
    char* error = nullptr;
    if (sqlite3_open_v2(catalogue().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("cannot change the catalogue: %s", error ? error : sqlite3_errmsg(db));
    sqlite3_close(db);
}

void TestProgramDir::damageAnIndex() const {
    sqlite3* db = nullptr;
    sqlite3_stmt* root = nullptr;
    sqlite3_open_v2(catalogue().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db,
                       "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master "
                       "WHERE name = 'radio_listing'",
                       -1, &root, nullptr);
    if (sqlite3_step(root) != SQLITE_ROW)
        qFatal("the catalogue has no index radio_listing");
    const qint64 page = sqlite3_column_int64(root, 0);
    const qint64 pageSize = sqlite3_column_int64(root, 1);
    sqlite3_finalize(root);
    sqlite3_close(db);
    write(QStringLiteral("tv.mdb"),
          read(QStringLiteral("tv.mdb")).replace((page - 1) * pageSize, pageSize, QByteArray(pageSize, '\0')));
}

// Closing the connection ends the transaction it holds.
CatalogueLock::CatalogueLock(const QString& catalogue) : db_(nullptr, sqlite3_close) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(catalogue.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(db);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot lock the catalogue: %s", sqlite3_errmsg(db));
}

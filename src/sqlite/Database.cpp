#include "sqlite/Database.h"

#include "sqlite/Like.h"
#include "sqlite/Statement.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QThread>
#include <algorithm>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// The cause a result code names; where the engine met a failure of the system, the system's own.
FileFailure::Cause causeOf(sqlite3* db, int primary) {
    switch (primary) {
    case SQLITE_FULL:
        return FileFailure::Cause::DiskFull;
    case SQLITE_READONLY:
        return FileFailure::Cause::ReadOnly;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return FileFailure::Cause::NoPermission;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return FileFailure::Cause::NotADatabase;
    default:
        return causeOfSystemError(sqlite3_system_errno(db));
    }
}

// The engine's message for `code`, as BusyError when the database was locked longer than the connection waits and
// as CorruptError when the file is damaged; a full disk, a refused file and the like carry their cause and the
// file. The one file the program's windows and commands open is the station catalogue, so that is what a lock is
// said to hold.
[[noreturn]] void failWith(sqlite3* db, int code) {
    const int primary = code & 0xff;
    const QString file = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw BusyError(FileFailure::Cause::Busy, file,
                        u"the catalogue is in use by another program; try again later (%1)"_s.arg(
                            QString::fromUtf8(sqlite3_errmsg(db))));
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        throw CorruptError(FileFailure::Cause::NotADatabase, file, QString::fromUtf8(sqlite3_errstr(code)));
    const FileFailure::Cause cause = causeOf(db, primary);
    // A write over the limit on a file's size fails as on a full disk, where the engine names neither.
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    throw DbError(cause, file, cause == FileFailure::Cause::DiskFull ? u"disk full (%1)"_s.arg(message) : message);
}

[[noreturn]] void failWith(sqlite3* db) {
    failWith(db, sqlite3_extended_errcode(db));
}

// like(pattern, value): SQLite hands the pattern first. The pattern is read once per statement and kept with it,
// so a search reads it once, not once for every station.
void likeFunction(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto utf8 = [](sqlite3_value* v) {
        return QByteArrayView(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    };
    auto* pattern = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0));
    std::unique_ptr<LikePattern> read;
    if (!pattern) {
        read = std::make_unique<LikePattern>(QString::fromUtf8(utf8(args[0])));
        pattern = read.get();
    }
    sqlite3_result_int(context, pattern->matches(utf8(args[1])) ? 1 : 0);
    // SQLite may drop the kept pattern at once, so it is handed over only after its last use here.
    if (read)
        sqlite3_set_auxdata(context, 0, read.release(), [](void* kept) { delete static_cast<LikePattern*>(kept); });
}

std::function<void(std::chrono::milliseconds)>& waitingNotice() {
    static std::function<void(std::chrono::milliseconds)> notice;
    return notice;
}

// Long enough for the usual short write of another window to pass unremarked.
constexpr std::chrono::milliseconds NoticeAfter{500};

} // namespace

struct Database::Waiting {
    std::chrono::milliseconds busyWait{};
    bool writing = false;
    QElapsedTimer since;
    bool told = false;

    std::chrono::milliseconds patience() const {
        if (busyWait.count() == 0)
            return busyWait;
        return writing ? std::max(busyWait, WriteWait) : busyWait;
    }
};

namespace {

// SQLite's busy handler: called again and again while the lock is held, `attempt` counting from 0; returning 0
// gives up, and the statement fails with SQLITE_BUSY.
int waitForLock(void* data, int attempt) {
    auto* waiting = static_cast<Database::Waiting*>(data);
    if (attempt == 0) {
        waiting->since.start();
        waiting->told = false;
    }
    const std::chrono::milliseconds waited(waiting->since.elapsed());
    if (waited >= waiting->patience())
        return 0;
    if (!waiting->told && waited >= NoticeAfter && waitingNotice()) {
        waiting->told = true;
        waitingNotice()(waiting->patience());
    }
    // Short sleeps first, so that a lock held for a moment costs a moment.
    QThread::msleep(static_cast<unsigned long>(std::min(attempt + 1, 25)));
    return 1;
}

// A connection to the file at `path`, closed with the last owner. A connection that failed to open is closed at
// once; the engine's message says why.
std::shared_ptr<sqlite3> open(const QString& path, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    std::shared_ptr<sqlite3> db(raw, sqlite3_close_v2);
    if (rc != SQLITE_OK && !raw)
        throw DbError("out of memory");
    if (rc != SQLITE_OK)
        throw DbError(causeOf(raw, rc & 0xff), path, QString::fromUtf8(sqlite3_errmsg(raw)));
    return db;
}

} // namespace

Database::Database(std::shared_ptr<sqlite3> db) : db_(std::move(db)), waiting_(std::make_shared<Waiting>()) {
    sqlite3_busy_handler(db_.get(), waitForLock, waiting_.get());
}

Database Database::OpenDatabase(const QString& path, std::chrono::milliseconds busyWait, Access access) {
    // A connection serves one window, on one thread: without SQLite's own locks around every call, a listing or a
    // search over a million stations runs a few per cent faster.
    const int mode = access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    Database connection(open(path, mode | SQLITE_OPEN_NOMUTEX));
    connection.setBusyWait(busyWait);
    return connection;
}

void Database::setWaitingNotice(std::function<void(std::chrono::milliseconds patience)> notice) {
    waitingNotice() = std::move(notice);
}

void Database::replaceLike() {
    if (sqlite3_create_function(db_.get(), "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction,
                                nullptr, nullptr) != SQLITE_OK)
        failWith(db_.get());
}

void Database::setBusyWait(std::chrono::milliseconds wait) {
    busyWait_ = wait;
    waiting_->busyWait = wait;
}

// What runs here (BEGIN IMMEDIATE, COMMIT, a table of the program's own) takes the write lock.
void Database::execute(const QString& sql) {
    waiting_->writing = true;
    const auto done = qScopeGuard([&] { waiting_->writing = false; });
    char* error = nullptr;
    if (sqlite3_exec(db_.get(), sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        sqlite3_free(error);
        failWith(db_.get());
    }
}

bool Database::IntegrityCheck() {
    Statement check(*this, u"PRAGMA integrity_check"_s);
    return check.step() && check.column(0).toString() == u"ok"_s;
}

void Database::BackupTo(const QString& path) {
    QFile::remove(path);
    auto removeCopy = qScopeGuard([&] { QFile::remove(path); });
    std::shared_ptr<sqlite3> copy = open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", db_.get(), "main");
    if (!backup)
        failWith(copy.get());
    // All pages in one step: the source stays read-locked only for the moment of the copy.
    sqlite3_backup_step(backup, -1);
    if (const int done = sqlite3_backup_finish(backup); done != SQLITE_OK)
        failWith(copy.get(), done);
    copy.reset();
    removeCopy.dismiss();
}

Statement::Statement(Database& connection, const QString& sql)
    : db_(connection.db_.get()), waiting_(connection.waiting_.get()) {
    // Preparing reads the schema, which another program's write may hold locked; what the statement does is known
    // only once it is prepared, so one that is no query waits as a write does meanwhile.
    waiting_->writing = !sql.trimmed().startsWith(u"SELECT"_s, Qt::CaseInsensitive);
    // Once a wait has given up, the engine calls no handler again until a statement runs; a prepare that meets a
    // lock would fail at once. Setting the handler again lets this one wait its full time.
    sqlite3_busy_handler(db_, waitForLock, waiting_);
    const int prepared = sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt_, nullptr);
    waiting_->writing = false;
    if (prepared != SQLITE_OK)
        fail();
    writes_ = sqlite3_stmt_readonly(stmt_) == 0;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::fail() const {
    failWith(db_);
}

void Statement::bind(int parameter, const QVariant& value) {
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt_, parameter);
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
        rc = sqlite3_bind_int64(stmt_, parameter, value.toLongLong());
    } else {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text(stmt_, parameter, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        fail();
}

bool Statement::step() {
    waiting_->writing = writes_;
    const int rc = sqlite3_step(stmt_);
    waiting_->writing = false;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail();
    return rc == SQLITE_ROW;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

QVariant Statement::column(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(stmt_, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, column);
    default:
        return text(column);
    }
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!bytes)
        return {};
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column));
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

// IMMEDIATE takes the write lock at once, so a transaction never fails half-way for want of it.
Transaction::Transaction(Database& connection) : connection_(connection) {
    connection_.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (!open_)
        return;
    try {
        connection_.execute(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // A failed statement may have rolled the transaction back already; nothing is left to undo.
    }
    // After a write the disk refused (full, or over a size limit) the engine cannot roll back at once: it leaves
    // the journal beside the file, "hot", and the file half-changed until the next read plays the journal back.
    // That read happens here, so that the file is whole again before anyone copies it or the program ends.
    try {
        connection_.execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DbError&) {
        // A file that cannot be read now keeps its journal for the next connection, which plays it back.
    }
}

void Transaction::commit() {
    connection_.execute(QStringLiteral("COMMIT"));
    open_ = false;
}

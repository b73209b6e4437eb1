#pragma once

#include "core/FileFailure.h"

#include <QScopeGuard>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

struct sqlite3;

// Any failure of the database engine, with the engine's own message; a full disk, a refused or read-only file and
// a file that is no database carry that cause and the database file.
class DbError : public FileFailure {
public:
    using FileFailure::FileFailure;
};

// Another connection, perhaps another program, holds the database locked for longer than this one waits.
class BusyError : public DbError {
public:
    using DbError::DbError;
};

// The file is no database, or a damaged one: the engine found a page it cannot make sense of.
class CorruptError : public DbError {
public:
    using DbError::DbError;
};

// One connection to an SQLite database file, opened shared, read-write unless asked otherwise. It never creates the
// file.
class Database {
public:
    enum class Access { ReadWrite, ReadOnly };

    // A statement that reads and meets a lock another connection holds waits up to `busyWait` for it to go, then
    // throws BusyError. A quarter of a second covers another window's write and keeps a click from hanging on a lock
    // another program holds. A statement that writes waits at least WriteWait: a change the user asked for is
    // worth the wait for another writer to finish. A wait of 0 never waits, for reads or writes.
    static Database OpenDatabase(const QString& path,
                                 std::chrono::milliseconds busyWait = std::chrono::milliseconds(250),
                                 Access access = Access::ReadWrite);
    static constexpr std::chrono::milliseconds WriteWait{10'000};

    // What every connection does once it has waited a moment for a lock and goes on waiting, told how long it will
    // wait at most: the commands say on the terminal what they wait for. Process-wide; empty says nothing.
    static void setWaitingNotice(std::function<void(std::chrono::milliseconds patience)> notice);

    // Replaces SQLite's like with the pattern matcher of Like.h: * any run, ? one character, # one digit, [..] sets,
    // letters without regard to case.
    void replaceLike();

    std::chrono::milliseconds busyWait() const { return busyWait_; }
    void setBusyWait(std::chrono::milliseconds wait);
    // Runs `work` waiting at most `wait` for a lock, then waiting as before.
    template <typename Work> auto waitingAtMost(std::chrono::milliseconds wait, Work&& work) {
        const std::chrono::milliseconds before = busyWait_;
        setBusyWait(wait);
        const auto waitAgain = qScopeGuard([&] { setBusyWait(before); });
        return work();
    }

    // The engine's own consistency check of the whole file.
    bool IntegrityCheck();

    // A complete copy of the database at `path`, made with the engine's online backup, so the file may be in use
    // meanwhile. A failed copy is removed: nothing is left at `path`.
    void BackupTo(const QString& path);

    // Runs SQL that returns no rows (a table or index of the program's own, BEGIN, COMMIT ...).
    void execute(const QString& sql);

    // How long the connection waits for a lock now: a write runs with `writing` set.
    struct Waiting;

private:
    friend class Statement;
    explicit Database(std::shared_ptr<sqlite3> db);
    std::shared_ptr<sqlite3> db_;
    std::chrono::milliseconds busyWait_{};
    std::shared_ptr<Waiting> waiting_;
};

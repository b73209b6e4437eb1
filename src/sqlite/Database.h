#pragma once

#include "runtime/FileFailure.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

// Any failure of the catalogue engine, with the engine's own message; a full disk, a refused or read-only file and
// a file that is no database carry that cause and the database file.
class DbError : public FileFailure {
public:
    using FileFailure::FileFailure;
};

// Another connection, perhaps another program, holds the catalogue locked for longer than this one waits.
class BusyError : public DbError {
public:
    using DbError::DbError;
};

// The file is no database, or a damaged one: the engine found a page it cannot make sense of.
class CorruptError : public DbError {
public:
    using DbError::DbError;
};

// A null field was read as text.
class NullFieldError : public DbError {
public:
    using DbError::DbError;
};

class Recordset;

// One field of the current record of a record set.
class Field {
public:
    QVariant Value() const;
    // The value as text; a null value cannot be text and throws NullFieldError.
    QString Text() const;
    // Allowed between Edit or AddNew and Update.
    void setValue(const QVariant& value);

private:
    friend class Recordset;
    Field(Recordset& records, int position) : records_(records), position_(position) {}
    Recordset& records_;
    int position_;
};

// The rows of one table, or of the rows of it that meet one condition, in table order.
// The rows are read all at once when the record set is first used, and the engine's statement is released at
// once, so no read lock outlives that event and another connection's write never meets "database is locked".
// A record set that is only opened, or only adds records, reads no rows at all.
class Recordset {
public:
    bool AtBOF() const { return rows().empty() || position_ < 0; }
    bool AtEOF() const { return rows().empty() || position_ >= RecordCount(); }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    int RecordCount() const { return static_cast<int>(rows().size()); }
    void Close();
    // Fields by position in the record, counting from 0, or by name.
    Field Fields(int position);
    Field Fields(const QString& name);

    // AddNew starts a new record whose unset fields get the table's defaults; Edit starts changing the current
    // record; Update stores either in the table and changes exactly that one record.
    void AddNew();
    void Edit();
    void Update();

private:
    friend class Database;
    friend class Field;
    enum class Mode { Browsing, Editing, Adding };
    struct Row {
        qint64 rowid;
        std::vector<QVariant> values;
    };

    Recordset(std::shared_ptr<sqlite3> db, QString table, QString query, std::optional<QVariant> value);
    const std::vector<Row>& rows() const;
    const QVariant& value(int position) const;
    void setValue(int position, const QVariant& value);
    void requireCurrentRecord() const;
    void insertRecord();
    void updateRecord();

    std::shared_ptr<sqlite3> db_;
    QString table_;
    QString query_;
    std::optional<QVariant> value_;
    QStringList names_;
    mutable std::optional<std::vector<Row>> rows_;
    int position_ = 0;
    Mode mode_ = Mode::Browsing;
    std::vector<QVariant> buffer_;
    std::vector<bool> assigned_;
};

// One connection to an SQLite database file, opened shared and read-write. It never creates the file.
class Database {
public:
    // A statement that meets a lock another connection holds waits up to `busyWait` for it to go, then throws
    // BusyError. A quarter of a second covers another window's write and keeps a click from hanging on a lock
    // another program holds.
    static Database OpenDatabase(const QString& path,
                                 std::chrono::milliseconds busyWait = std::chrono::milliseconds(250));

    // Replaces SQLite's like with the pattern matcher of Like.h: * any run, ? one character, # one digit, [..] sets,
    // letters without regard to case.
    void replaceLike();

    std::chrono::milliseconds busyWait() const { return busyWait_; }
    void setBusyWait(std::chrono::milliseconds wait);

    // The engine's own consistency check of the whole file.
    bool IntegrityCheck();

    // A complete copy of the database at `path`, made with the engine's online backup, so the file may be in use
    // meanwhile. A failed copy is removed: nothing is left at `path`.
    void BackupTo(const QString& path);

    // The whole table, or its rows that meet `condition`, an expression with one "?" that takes `value`
    // ("类别 = ?"). The value is always bound, never pasted into the query text.
    Recordset OpenRecordset(const QString& table, const QString& condition = {}, const QVariant& value = {});

    // Runs SQL that returns no rows (a table or index of the program's own, BEGIN, COMMIT ...).
    void execute(const QString& sql);

private:
    friend class Statement;
    explicit Database(std::shared_ptr<sqlite3> db) : db_(std::move(db)) {}
    std::shared_ptr<sqlite3> db_;
    std::chrono::milliseconds busyWait_{};
};

#pragma once

#include "sqlite/Database.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQL statement on a connection. It finalizes itself, so no read lock survives an early return or an
// exception: a statement that lives no longer than the event that runs it holds no lock between events, and another
// window's write never meets "database is locked". Failures throw DbError with the engine's own message.
class Statement {
public:
    Statement(Database& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // SQLite counts bound parameters from 1, but result columns from 0. A null QVariant binds NULL; integers bind
    // as integers; everything else as text.
    void bind(int parameter, const QVariant& value);
    // True while a row is ready to be read; false once the statement is done.
    bool step();
    // Makes the statement ready to run again; the bound values stay until bound anew.
    void reset();

    int columnCount() const;
    QVariant column(int column) const;
    // The column as text without going through a variant: NULL gives a null QString.
    QString text(int column) const;
    // The column as an integer without going through a variant: NULL gives 0.
    qint64 integer(int column) const;

private:
    [[noreturn]] void fail() const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    // The connection's wait for locks, which a statement that writes makes longer while it runs.
    Database::Waiting* waiting_;
    bool writes_ = false;
};

// Groups writes so that they land all together or not at all. Begun at construction; rolled back by the
// destructor unless commit() was called, so an exception or an early return leaves the database as it was.
class Transaction {
public:
    explicit Transaction(Database& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& connection_;
    bool open_ = true;
};

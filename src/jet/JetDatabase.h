#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <vector>

// One table of a Jet file as read: its column names ordered by column number, and its rows in record order, the
// order in which the Jet engine returns them without an index. Every value is the text the engine holds (numbers
// and dates written out as text); a NULL stays a null QVariant, apart from an empty text. An OLE object (a
// picture, say) has no text and reads as null.
struct JetTable {
    QStringList columns;
    std::vector<QVariantList> rows;
};

// An old Jet database (Jet 3 or Jet 4), opened read-only through Debian's Jet reader library: the file is never
// changed. Failures throw DbError with a message for the user.
class JetDatabase {
public:
    explicit JetDatabase(const QString& path);
    ~JetDatabase();
    JetDatabase(const JetDatabase&) = delete;
    JetDatabase& operator=(const JetDatabase&) = delete;

    // The user's tables, without the engine's own system tables.
    QStringList tables() const;
    // The whole table. A table that yields fewer rows than its definition counts is cut short (a truncated or
    // damaged file) and throws, so no caller ever takes part of a table for all of it.
    JetTable table(const QString& name) const;

private:
    struct Handle;
    QString path_;
    std::unique_ptr<Handle> handle_;
};

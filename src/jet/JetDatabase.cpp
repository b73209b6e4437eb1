#include "jet/JetDatabase.h"

#include "sqlite/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <mdbtools.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The two top bits of a row's offset in its page are flags, not part of the offset.
constexpr int RowOffsetMask = 0x1fff;

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

using TableDef = std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)>;

// A table is taken apart a row at a time into MDB_MAX_COLS fields, the most a Jet table has; a damaged definition
// that counts more would have the library write past them, and one whose columns fall short of its count would
// have them read past the list.
TableDef openTable(MdbHandle* mdb, const QString& name) {
    QByteArray utf8 = name.toUtf8();
    TableDef table(mdb_read_table_by_name(mdb, utf8.data(), MDB_TABLE), mdb_free_tabledef);
    if (table &&
        (table->num_cols > MDB_MAX_COLS || !mdb_read_columns(table.get()) || table->columns->len != table->num_cols))
        table.reset();
    return table;
}

// Runs `eachRow` on every row in record order, until it returns false. A page missing from a truncated file just
// ends a table early and only the row count of the table's definition tells, so false then too.
template <typename EachRow> bool readAll(MdbTableDef* table, EachRow eachRow) {
    mdb_rewind_table(table);
    unsigned int rows = 0;
    for (; mdb_fetch_row(table); ++rows) {
        if (!eachRow())
            return false;
    }
    return rows == table->num_rows;
}

// The library writes a memo out into a buffer of the handle's bind size and cuts off what does not fit. A memo's
// first four bytes give its stored length, and each stored byte becomes at most three bytes of UTF-8.
size_t bindSizeFor(MdbHandle* mdb, const MdbColumn* column, const MdbField& field) {
    if (column->col_type != MDB_MEMO || field.siz < 4)
        return MDB_BIND_SIZE;
    const auto stored = static_cast<size_t>(mdb_get_int32(mdb->pg_buf, field.start)) & 0x3fffffff;
    return std::max<size_t>(MDB_BIND_SIZE, 3 * stored + 1);
}

QVariant text(MdbHandle* mdb, const MdbColumn* column, const MdbField& field) {
    // A yes/no column keeps its value in the row's null mask, where a set bit means yes.
    if (column->col_type == MDB_BOOL)
        return field.is_null ? u"0"_s : u"1"_s;
    if (field.is_null || column->col_type == MDB_OLE)
        return {};
    mdb_set_bind_size(mdb, bindSizeFor(mdb, column, field));
    char* value = mdb_col_to_string(mdb, mdb->pg_buf, field.start, column->col_type, field.siz);
    const QString result = QString::fromUtf8(value ? value : "");
    g_free(value);
    return result;
}

// The library hands a row out only to bound columns, as text in which NULL and an empty text look alike, so the
// row it has just read (the one before its cursor, on its current page) is taken apart once more here.
std::optional<QVariantList> currentRow(MdbTableDef* table) {
    MdbHandle* mdb = table->entry->mdb;
    int start = 0;
    size_t size = 0;
    std::array<MdbField, MDB_MAX_COLS> fields{};
    if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &size) != 0 ||
        mdb_crack_row(table, start & RowOffsetMask, size, fields.data()) != static_cast<int>(table->num_cols))
        return std::nullopt;
    QVariantList row;
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, fields[i].colnum));
        row.append(text(mdb, column, fields[i]));
    }
    return row;
}

} // namespace

struct JetDatabase::Handle {
    MdbHandle* mdb;
    ~Handle() { mdb_close(mdb); }
};

JetDatabase::JetDatabase(const QString& path) : path_(QDir::toNativeSeparators(path)) {
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb)
        fail(u"%1 打不开，或不是 Access (Jet) 数据库"_s.arg(path_));
    handle_.reset(new Handle{mdb});
    // Dates as text in one fixed form, whatever the locale.
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    // A Jet file is whole pages. The library takes a page cut short for a whole one, and a page missing from the
    // list of tables just shortens the list; reading that list's own table in full proves it complete.
    if (QFileInfo(path).size() % mdb->fmt->pg_size != 0 || !mdb_read_catalog(mdb, MDB_TABLE))
        fail(u"%1 读不出来：文件不完整或已损坏"_s.arg(path_));
    const TableDef objects = openTable(mdb, u"MSysObjects"_s);
    if (!objects || !readAll(objects.get(), [] { return true; }))
        fail(u"%1 读不出来：文件不完整或已损坏"_s.arg(path_));
}

JetDatabase::~JetDatabase() = default;

QStringList JetDatabase::tables() const {
    QStringList names;
    const GPtrArray* catalog = handle_->mdb->catalog;
    for (guint i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names.append(QString::fromUtf8(entry->object_name));
    }
    return names;
}

JetTable JetDatabase::table(const QString& name) const {
    if (!tables().contains(name, Qt::CaseInsensitive))
        fail(u"%1 中没有表 %2"_s.arg(path_, name));
    const TableDef table = openTable(handle_->mdb, name);
    JetTable result;
    const auto eachRow = [&] {
        std::optional<QVariantList> row = currentRow(table.get());
        if (row)
            result.rows.push_back(std::move(*row));
        return row.has_value();
    };
    if (!table || !readAll(table.get(), eachRow))
        fail(u"%1 的表 %2 读不出来：文件不完整或已损坏"_s.arg(path_, name));
    // The library lists the columns by column number, not in the order the table definition stores them.
    for (unsigned int i = 0; i < table->num_cols; ++i)
        result.columns.append(QString::fromUtf8(static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i))->name));
    return result;
}

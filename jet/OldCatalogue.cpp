#include "jet/OldCatalogue.h"

#include "jet/JetDatabase.h"
#include "platform/JetFormat.h"
#include "platform/Statement.h"
#include "stores/catalogue/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace OldCatalogue {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The new catalogue lists stations in the order of their numbers. An old number is kept when it comes after every
// number before it; a station without one, or with one out of order or repeated, takes the next number up.
void writeCatalogue(const QString& path, const std::vector<Station>& stations) {
    Database catalogue = Database::OpenDatabase(path);
    Transaction transaction(catalogue);
    Catalogue::createTable(catalogue);
    Statement insert(catalogue, u"INSERT INTO radio (编号, 类别, 名称, 网址) VALUES (?, ?, ?, ?)"_s);
    std::optional<qint64> last;
    for (const Station& station : stations) {
        const bool keepsOrder = station.number && (!last || *station.number > *last);
        last = keepsOrder ? *station.number : last.value_or(0) + 1;
        insert.bind(1, *last);
        insert.bind(2, station.category);
        insert.bind(3, station.name);
        insert.bind(4, station.address);
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

// An old file kept by an earlier conversion is never overwritten.
QString freeNameFor(const QString& catalogue) {
    QString name = catalogue + u".jet"_s;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = u"%1.%2.jet"_s.arg(catalogue).arg(n);
    return name;
}

// Both names change within one folder, so nothing is copied; should the new catalogue not take its place, the old
// file goes back to its own.
void putInPlace(QTemporaryFile& created, const QString& catalogue, const QString& keptAs) {
    if (!QFile::rename(catalogue, keptAs))
        fail(u"无法把 %1 改名为 %2"_s.arg(native(catalogue), native(keptAs)));
    if (!created.rename(catalogue)) {
        QFile::rename(keptAs, catalogue);
        fail(u"无法把新的电台目录改名为 %1"_s.arg(native(catalogue)));
    }
    created.setAutoRemove(false);
}

} // namespace

std::vector<Station> readStations(const QString& jetFile) {
    const JetTable radio = JetDatabase(jetFile).table(Catalogue::Table);
    const auto field = [&](const QString& name) {
        const qsizetype position = radio.columns.indexOf(name);
        if (position < 0)
            fail(u"%1 的表 radio 缺少字段“%2”"_s.arg(native(jetFile), name));
        return position;
    };
    const qsizetype category = field(Catalogue::Category), name = field(Catalogue::Name),
                    address = field(Catalogue::Address), number = radio.columns.indexOf(Catalogue::Number);

    std::vector<Station> stations;
    stations.reserve(radio.rows.size());
    for (const QVariantList& row : radio.rows) {
        bool isNumber = false;
        const int old = number >= 0 ? row[number].toInt(&isNumber) : 0;
        stations.push_back({isNumber ? std::optional(old) : std::nullopt, row[category], row[name], row[address]});
    }
    return stations;
}

QString Conversion::message() const {
    return u"旧电台目录已转换：%1 个电台已转入新的电台目录 tv.mdb。\n原来的文件原样保存在 %2。"_s.arg(stations).arg(
        native(keptAs));
}

std::optional<Conversion> convert(const QString& catalogue) {
    if (!jetFormat(catalogue))
        return std::nullopt;
    const std::vector<Station> stations = readStations(catalogue);

    // Written beside the old file, so that it takes the old file's name in one step.
    QTemporaryFile created(catalogue + u".XXXXXX"_s);
    if (!created.open())
        fail(u"无法在文件夹 %1 中写入新的电台目录：%2"_s.arg(native(QFileInfo(catalogue).absolutePath()),
                                                             created.errorString()));
    created.close();
    created.setPermissions(QFile::permissions(catalogue) | QFile::ReadOwner | QFile::WriteOwner);
    try {
        writeCatalogue(created.fileName(), stations);
    } catch (const DbError& error) {
        fail(u"无法写入新的电台目录：%1"_s.arg(QString::fromUtf8(error.what())));
    }

    Conversion done{static_cast<int>(stations.size()), freeNameFor(catalogue)};
    putInPlace(created, catalogue, done.keptAs);
    return done;
}

} // namespace OldCatalogue

#include "jet/OldCatalogue.h"

#include "catalogue/Catalogue.h"
#include "catalogue/JetFormat.h"
#include "catalogue/Schema.h"
#include "catalogue/StationRows.h"
#include "jet/JetDatabase.h"
#include "sqlite/Statement.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace OldCatalogue {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The argument that starts the program as the child that reads an old catalogue for its parent.
constexpr char ReadArgument[] = "--read-old-catalogue";

struct Reader {
    QString program;
    std::chrono::milliseconds limit = ReadingLimit;
};
Reader reader;

// A damaged file can also make the library take memory without end. The child may take this much more than it has
// when it starts (a sanitizer's reservations included), and ends when it runs out, long before the time limit.
constexpr rlim_t MemoryLimit = rlim_t(1) << 30;

void limitMemory() {
    QFile statm(u"/proc/self/statm"_s);
    rlimit limit{};
    if (!statm.open(QIODevice::ReadOnly) || getrlimit(RLIMIT_AS, &limit) != 0)
        return;
    const rlim_t pages = statm.readLine().split(' ').value(0).toULongLong();
    limit.rlim_cur = std::min(limit.rlim_max, pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + MemoryLimit);
    setrlimit(RLIMIT_AS, &limit);
}

// The child's answer on its standard output: true and the stations, or false and why the file cannot be read.
QByteArray answer(const QString& jetFile) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    try {
        const std::vector<Station> stations = readStationsHere(jetFile);
        out << true << qint64(stations.size());
        for (const Station& station : stations)
            out << station.number.has_value() << qint32(station.number.value_or(0)) << station.category << station.name
                << station.address;
    } catch (const DbError& error) {
        out << false << QString::fromUtf8(error.what());
    }
    return bytes;
}

// Only a whole answer counts; a cut or garbled one is treated as the crash it comes from.
std::optional<std::vector<Station>> stationsFrom(const QByteArray& bytes) {
    QDataStream in(bytes);
    bool read = false;
    in >> read;
    if (!read) {
        QString reason;
        in >> reason;
        if (in.status() == QDataStream::Ok)
            fail(reason);
        return std::nullopt;
    }
    qint64 count = 0;
    in >> count;
    std::vector<Station> stations;
    for (qint64 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        bool numbered = false;
        qint32 number = 0;
        Station station;
        in >> numbered >> number >> station.category >> station.name >> station.address;
        station.number = numbered ? std::optional(number) : std::nullopt;
        stations.push_back(std::move(station));
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return stations;
}

// The new catalogue lists stations in the order of their numbers. An old number is kept when it comes after every
// number before it; a station without one, or with one out of order or repeated, takes the next number up.
void writeCatalogue(const QString& path, const std::vector<Station>& stations) {
    Database catalogue = Database::OpenDatabase(path);
    Transaction transaction(catalogue);
    Catalogue::createSchema(catalogue);
    Catalogue::StationRows rows(catalogue);
    std::optional<qint64> last;
    for (const Station& station : stations) {
        const bool keepsOrder = station.number && (!last || *station.number > *last);
        last = keepsOrder ? *station.number : last.value_or(0) + 1;
        rows.appendAsFound(last, station.category, station.name, station.address);
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
    QProcess child;
    // The library's warnings on a damaged file can run to megabytes a second; the reason given here says enough.
    child.setStandardErrorFile(QProcess::nullDevice());
    const QString program = reader.program.isEmpty() ? QCoreApplication::applicationFilePath() : reader.program;
    // The child ends with its parent: a parent killed while the child spins on a damaged file would otherwise leave
    // it running, as its time limit is kept by the parent. The parent may have died before the child asked for that;
    // the child then has another parent already and ends at once.
    child.setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(EXIT_FAILURE);
    });
    child.start(program, {QString::fromLatin1(ReadArgument), jetFile});
    if (!child.waitForStarted())
        fail(u"无法启动读取旧电台目录的程序 %1：%2"_s.arg(native(program), child.errorString()));
    if (!child.waitForFinished(static_cast<int>(reader.limit.count()))) {
        child.kill();
        child.waitForFinished();
        fail(u"%1 读不出来：旧电台目录已损坏，%2 秒内没有读完"_s.arg(native(jetFile))
                 .arg(std::chrono::duration_cast<std::chrono::seconds>(reader.limit).count()));
    }
    std::optional<std::vector<Station>> stations;
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        stations = stationsFrom(child.readAllStandardOutput());
    if (!stations)
        fail(u"%1 读不出来：旧电台目录已损坏，读取时出错中止"_s.arg(native(jetFile)));
    return std::move(*stations);
}

std::vector<Station> readStationsHere(const QString& jetFile) {
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

std::optional<int> readForParent(int argc, char* argv[]) {
    if (argc != 3 || std::strcmp(argv[1], ReadArgument) != 0)
        return std::nullopt;
    // The library prints to standard output as well, so the answer keeps that stream to itself and whatever the
    // library prints goes to the error stream.
    QFile parent;
    if (!parent.open(dup(STDOUT_FILENO), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) ||
        dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return EXIT_FAILURE;
    limitMemory();
    const QByteArray bytes = answer(QFile::decodeName(argv[2]));
    return parent.write(bytes) == bytes.size() && parent.flush() ? EXIT_SUCCESS : EXIT_FAILURE;
}

void setReaderForTesting(const QString& program, std::chrono::milliseconds limit) {
    reader = {program, limit};
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

// Import of a large programme guide, against a floor measured in the same run: a bare QXmlStreamReader pass over
// the same XML, unpacked beforehand, that reads every piece and keeps nothing. The guide is generated: CHANNELS
// channels of DAYS days of half-hour-ish programmes with a description each, some 1 GB of XML at the defaults,
// gzip-compressed as guides are served; every channel is matched to a station by name, the most work an import can
// have. Printed: the time of each, their ratio, the peak memory of the import, and the now/next lookups.
//
//   bench_guide [CHANNELS [DAYS]]   (900 channels of 14 days by default)
#include "bench/Measure.h"
#include "catalogue/Schema.h"
#include "guide/Import.h"
#include "sqlite/Statement.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <cstdio>
#include <sqlite3.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ProgrammeSeconds = 1980; // 43.6 programmes a day
constexpr qsizetype Block = 64 * 1024;

QByteArray xmltvTime(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(u"yyyyMMddHHmmss").toLatin1() + " +0000";
}

// Words for descriptions that compress as real ones do, about eight to one.
QByteArray description(QRandomGenerator& random) {
    static const QList<QByteArray> words = [] {
        QList<QByteArray> list;
        for (int i = 0; i < 4096; ++i)
            list.append(QByteArray::number(i * 2654435761U % 1000003, 36) + (i % 3 ? "" : "节目"));
        return list;
    }();
    QByteArray text;
    while (text.size() < 1500)
        text += words[random.bounded(words.size())] + ' ';
    return text;
}

// Writes the guide twice, unpacked and gzip-compressed; returns the number of programmes.
qint64 generate(const QString& plainPath, const QString& packedPath, int channels, int days, qint64 start) {
    QFile plain(plainPath);
    plain.open(QIODevice::WriteOnly);
    gzFile packed = gzopen(packedPath.toLocal8Bit().constData(), "wb6");
    const auto write = [&](const QByteArray& bytes) {
        plain.write(bytes);
        gzwrite(packed, bytes.constData(), static_cast<unsigned>(bytes.size()));
    };
    write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n<tv>\n");
    for (int c = 0; c < channels; ++c)
        write("<channel id=\"ch" + QByteArray::number(c) + ".example\"><display-name>Channel " + QByteArray::number(c) +
              "</display-name><icon src=\"http://example.org/" + QByteArray::number(c) + ".png\"/></channel>\n");
    QRandomGenerator random(7);
    qint64 count = 0;
    for (int c = 0; c < channels; ++c) {
        QByteArray chunk;
        for (qint64 at = start; at < start + days * 86400LL; at += ProgrammeSeconds, ++count) {
            chunk += "<programme start=\"" + xmltvTime(at) + "\" stop=\"" + xmltvTime(at + ProgrammeSeconds) +
                     "\" channel=\"ch" + QByteArray::number(c) + ".example\">\n  <title lang=\"zh\">节目 " +
                     QByteArray::number(count % 977) + "</title>\n  <sub-title>第 " + QByteArray::number(count % 31) +
                     " 集</sub-title>\n  <desc lang=\"zh\">" + description(random) +
                     "</desc>\n  <category>新闻</category>\n</programme>\n";
            if (chunk.size() > Block) {
                write(chunk);
                chunk.clear();
            }
        }
        write(chunk);
    }
    write("</tv>\n");
    gzclose(packed);
    return count;
}

// A catalogue of the current version with a station for each channel, named as the guide names it but in capitals.
Database makeGuidedCatalogue(const QString& path, int channels) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_close(db);
    Database catalogue = Database::OpenDatabase(path);
    Catalogue::createSchema(catalogue);
    Transaction transaction(catalogue);
    Statement add(catalogue, u"INSERT INTO radio (类别, 名称, 网址) VALUES ('国内电视', ?, ?)"_s);
    for (int c = 0; c < channels; ++c) {
        add.bind(1, u"CHANNEL %1"_s.arg(c));
        add.bind(2, u"http://a/%1"_s.arg(c));
        add.step();
        add.reset();
    }
    transaction.commit();
    return catalogue;
}

qint64 bareRead(const QString& plainPath) {
    QFile plain(plainPath);
    plain.open(QIODevice::ReadOnly);
    QXmlStreamReader xml;
    qint64 pieces = 0;
    while (!plain.atEnd()) {
        xml.addData(plain.read(Block));
        while (xml.readNext() != QXmlStreamReader::Invalid) {
            if (xml.isStartElement())
                pieces += xml.attributes().size();
            else if (xml.isCharacters())
                pieces += xml.text().size() > 0;
        }
    }
    return pieces;
}

Guide::ImportReport import(Database& catalogue, const QString& packedPath, const QDateTime& now) {
    const Guide::Source source = Guide::addSource(catalogue, u"http://127.0.0.1/guide.xml.gz"_s, 0);
    Guide::Import import(catalogue, source, now);
    QFile packed(packedPath);
    packed.open(QIODevice::ReadOnly);
    while (!packed.atEnd())
        import.feed(packed.read(Block));
    return import.finish({});
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int channels = argc > 1 ? std::atoi(argv[1]) : 900;
    const int days = argc > 2 ? std::atoi(argv[2]) : 14;
    QTemporaryDir dir;
    const QString plain = dir.filePath(u"guide.xml"_s);
    const QString packed = dir.filePath(u"guide.xml.gz"_s);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 programmes = generate(plain, packed, channels, days, now.toSecsSinceEpoch() - 86400);
    std::printf("Guide: %d channels x %d days, %lld programmes, %.0f MB of XML, %.0f MB gzip-compressed\n", channels,
                days, static_cast<long long>(programmes), double(QFile(plain).size()) / 1e6,
                double(QFile(packed).size()) / 1e6);
    const QString path = dir.filePath(u"tv.mdb"_s);
    Database catalogue = makeGuidedCatalogue(path, channels);
    const double before = peakResidentMegabytes();

    Guide::ImportReport report;
    const Time imported = timed([&] { report = import(catalogue, packed, now); });
    const double peak = peakResidentMegabytes();
    const Time bare = timed([&] { bareRead(plain); });
    printHeading();
    print("bare QXmlStreamReader pass", bare);
    print("import of the .xml.gz", imported,
          u"%1; throughput %2 of the bare pass (goal: at least half)"_s.arg(report.line())
              .arg(bare.wall / imported.wall, 0, 'f', 2));
    std::printf("Peak memory: %.1f MB in all, %.1f MB before the import (goal: under 64 MB)\n", peak, before);

    // Now and next of every station, as vimaro now reads them.
    const Time lookups = timed([&] { Guide::onAir(catalogue, std::nullopt, now); });
    const Time one = timed([&] { Guide::nowNext(catalogue, channels / 2, now); });
    print("now/next of one station, as a tooltip", one, u"(goal: well under 1 ms)"_s);
    print("now/next of every station", lookups, u"%1 stations (goal: 1,000 under 100 ms)"_s.arg(channels));
    return 0;
}

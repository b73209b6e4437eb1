#include "core/HiddenText.h"
#include "playlists/Import.h"
#include "playlists/Input.h"
#include "tests/support/Arriving.h"
#include "tests/support/TestProgramDir.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;
using namespace Playlists;

// Reading and writing the three playlist formats, and the round trip through the catalogue.
class TestFormats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void formatOf_goesByContent_data();
    void formatOf_goesByContent();
    void read_givesEntriesAndUnreadableLines_data();
    void read_givesEntriesAndUnreadableLines();
    void endlessInput_endsWithinItsBound_data();
    void endlessInput_endsWithinItsBound();
    void lineFormats_neverLetAValueBecomeALine_data();
    void lineFormats_neverLetAValueBecomeALine();
    void exportThenImport_givesTheSameStationsInTheSameOrder_data();
    void exportThenImport_givesTheSameStationsInTheSameOrder();
    void iptvList_importsAndExportsBackEqual();
    void plsAndXspf_keepTheirEntrysOtherFields();
};

namespace {

// An entry as "line: title | address | group" (group "-" when there is none), an unreadable line as "line!".
QStringList described(const Playlist& playlist) {
    QStringList lines;
    for (const Entry& e : playlist.entries)
        lines.append(u"%1: %2 | %3 | %4"_s.arg(e.line).arg(e.title, e.address, e.group.value_or(u"-"_s)));
    std::vector<UnreadableLine> unreadable = playlist.unreadable;
    std::ranges::sort(unreadable, {}, &UnreadableLine::line);
    for (const UnreadableLine& u : unreadable)
        lines.append(u"%1!"_s.arg(u.line));
    return lines;
}

QByteArray utf16WithByteOrderMark(const QString& text) {
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

} // namespace

void TestFormats::formatOf_goesByContent_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    QTest::newRow("XSPF after a byte-order mark and blanks")
        << "\xEF\xBB\xBF \r\n<?xml version=\"1.0\"?><playlist/>"_ba << int(Format::Xspf);
    QTest::newRow("XSPF in UTF-16") << utf16WithByteOrderMark(u"<playlist/>"_s) << int(Format::Xspf);
    QTest::newRow("PLS in any case, after blank lines") << "\r\n\r\n[PlayList]\r\nFile1=x\r\n"_ba << int(Format::Pls);
    QTest::newRow("extended M3U") << "#EXTM3U\n[playlist]\n"_ba << int(Format::M3u);
    QTest::newRow("bare addresses") << "http://a.example/\n"_ba << int(Format::M3u);
    QTest::newRow("empty") << QByteArray() << int(Format::M3u);
}

void TestFormats::formatOf_goesByContent() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    QCOMPARE(int(formatOf(bytes)), format);
}

void TestFormats::read_givesEntriesAndUnreadableLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("M3U: attributes with commas inside quotes, CR LF, byte-order mark")
        << "\xEF\xBB\xBF#EXTM3U x-tvg-url=\"http://g/\"\r\n"
           "#EXTINF:-1 tvg-name=\"CCTV1\" tvg-logo=\"a,b.png\" group-title=\"News, World\",  CCTV-1 综合 \r\n"
           "http://a/1\r\n"_ba
        << QStringList{u"3: CCTV-1 综合 | http://a/1 | News, World"_s};
    QTest::newRow("M3U: #EXTGRP, comments, blank lines, bare and blank-edged addresses")
        << "#EXTM3U\n\n#EXTGRP:Radio\n#EXTINF:5,Two\n# a comment\n#EXTVLCOPT:http-user-agent=x\nhttp://b/\n   \n"
           " http://c/\t\n#EXTINF:-1 group-title=\"G\",Four\n#EXTGRP:not this one\nhttp://d/\n"_ba
        << QStringList{u"7: Two | http://b/ | Radio"_s, u"9:  |  http://c/\t | -"_s, u"12: Four | http://d/ | G"_s};
    QTest::newRow("M3U: missing titles and empty groups")
        << "#EXTINF:-1 group-title=\"\",   \nhttp://e/\n"_ba << QStringList{u"2:  | http://e/ | "_s};
    QTest::newRow("M3U: broken lines cost themselves only")
        << "#EXTINF:-1 group-title=\"x\"\nhttp://f/\n#EXTINF:-1,Orphan\n#EXTINF:-1 group-title=\"unclosed,T\n"
           "http://g/\n#EXTINF:-1,Last\n"_ba
        << QStringList{u"2:  | http://f/ | -"_s, u"5:  | http://g/ | -"_s, u"1!"_s, u"3!"_s, u"4!"_s, u"6!"_s};
    QTest::newRow("M3U: lone CR line ends")
        << "#EXTINF:-1 group-title=\"a,b\",T\rhttp://g/\r"_ba << QStringList{u"2: T | http://g/ | a,b"_s};
    QTest::newRow("M3U: wrong encodings and control characters")
        << "#EXTINF:-1,Caf\xe9\nhttp://h/\n#EXTINF:-1,OK\nhttp://i/\x01\n"_ba
        << QStringList{u"1!"_s, u"2!"_s, u"3!"_s, u"4!"_s};
    // A line that cannot be read ends its entry, which is left out whole; nothing of it goes to another entry.
    QTest::newRow("M3U: an unreadable address ends its entry")
        << "#EXTINF:-1 group-title=\"G\",BBC World\nhttp://bbc2.example/\xff\nhttp://evil2.example/\n"_ba
        << QStringList{u"3:  | http://evil2.example/ | -"_s, u"1!"_s, u"2!"_s};
    QTest::newRow("M3U: an unreadable option takes its address along, an unreadable comment nothing")
        << "#EXTINF:-1,A\n#EXTVLCOPT:x=\xe9\nhttp://a/\nhttp://b/\n#EXTINF:-1,C\n# caf\xe9\nhttp://c/\n"_ba
        << QStringList{u"4:  | http://b/ | -"_s, u"7: C | http://c/ | -"_s, u"1!"_s, u"2!"_s, u"3!"_s, u"6!"_s};
    QTest::newRow("M3U: UTF-16 with a byte-order mark")
        << utf16WithByteOrderMark(u"#EXTINF:-1,台\r\nhttp://j/\r\n"_s) << QStringList{u"2: 台 | http://j/ | -"_s};
    // 64 KiB of UTF-8 text: a title of this many characters is the longest a line can carry.
    const QString longest(LongestValue / 3 - 4, u'长');
    QTest::newRow("M3U: the longest title, and a longer one")
        << (u"#EXTINF:-1,"_s + longest + u"\nhttp://k/\n#EXTINF:-1,长"_s + longest + u"\nhttp://l/\n"_s).toUtf8()
        << QStringList{u"2: "_s + longest + u" | http://k/ | -"_s, u"3!"_s, u"4!"_s};
    QTest::newRow("M3U: a last line too long, without a line break")
        << "http://a/\n"_ba + QByteArray(LongestValue + 1, 'x') << QStringList{u"1:  | http://a/ | -"_s, u"2!"_s};
    QTest::newRow("PLS: an address longer than a line can be")
        << "[playlist]\nFile1=http://a/"_ba + QByteArray(LongestValue, 'x') + "\nFile2=http://b/\n"_ba
        << QStringList{u"3:  | http://b/ | -"_s, u"2!"_s};

    QTest::newRow("PLS: keys, trimmed titles, groups as written")
        << "[playlist]\r\nNumberOfEntries=2\r\nFile1=http://a/\r\nTitle1= One \r\nLength1=-1\r\nFile2=http://b/\r\n"
           "Group2= 国内电视\r\nVersion=2\r\n"_ba
        << QStringList{u"3: One | http://a/ | -"_s, u"6:  | http://b/ |  国内电视"_s};
    QTest::newRow("PLS: entries in number order, keys in any case")
        << "[Playlist]\ntitle2=Two\nFILE2=http://b/\nFile10=http://c/\nFile1=http://a/\n"_ba
        << QStringList{u"5:  | http://a/ | -"_s, u"3: Two | http://b/ | -"_s, u"4:  | http://c/ | -"_s};
    QTest::newRow("PLS: broken lines")
        << "[playlist]\nno equals here\nFile1=http://a/\nFile1=http://dup/\nTitle3=orphan\nFile4=\nTitle5=\xff\n"
           "[other]\nkey=v\n; comment\n"_ba
        << QStringList{u"3:  | http://a/ | -"_s, u"2!"_s, u"4!"_s, u"5!"_s, u"6!"_s, u"7!"_s, u"8!"_s, u"9!"_s};

    QTest::newRow("XSPF: tracks, titles as written, the category, other elements passed over")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n"
           "<title>list</title><trackList>\n<track><creator>x</creator>\n<location>http://a/?x=1&amp;y=2</location>\n"
           "<location>http://second/</location><title>  Spaced &lt;One&gt;  </title><extension application=\"x\">"
           "<location>http://inner/</location></extension>\n"
           "<meta rel=\"https://vimaro.example.org/xspf/category\">港台广播</meta></track>\n"
           "<track>\n<location>http://b/</location></track>\n</trackList></playlist>"_ba
        << QStringList{u"5:   Spaced <One>   | http://a/?x=1&y=2 | 港台广播"_s, u"9:  | http://b/ | -"_s};
    QTest::newRow("XSPF: a track without a location, then broken XML")
        << "<playlist><trackList>\n<track><title>no place</title></track>\n"
           "<track><location>http://a/</location></track>\n<track><location>http://b/</loc></track>"_ba
        << QStringList{u"3:  | http://a/ | -"_s, u"2!"_s, u"4!"_s};
    QTest::newRow("XSPF: a declared encoding")
        << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><playlist><trackList><track><location>http://a/</location>"
           "<title>Caf\xe9</title></track></trackList></playlist>"_ba
        << QStringList{u"1: Café | http://a/ | -"_s};
    QTest::newRow("binary data with printable stretches")
        << "\x00\x01Standard Jet DB\x00\nhttp://x/\n"_ba << QStringList{u"1!"_s};
    QTest::newRow("XSPF: another XML document") << "<html><body/></html>"_ba << QStringList{u"1!"_s};
    QTest::newRow("XSPF: a title longer than a value can be")
        << "<playlist><trackList>\n<track><location>http://a/</location><title>"_ba +
               QByteArray(LongestValue + 1, 'x') +
               "</title></track>\n<track><location>http://b/</location></track></trackList></playlist>"_ba
        << QStringList{u"3:  | http://b/ | -"_s, u"2!"_s};
    QTest::newRow("nothing at all") << QByteArray() << QStringList{u"1!"_s};
}

void TestFormats::read_givesEntriesAndUnreadableLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(described(read(bytes)), expected);
    // The same, however few bytes arrive at a time.
    Arriving trickle(bytes, {}, 7);
    InputBlocks input(trickle, {});
    Playlist playlist;
    read(input, {[&](Entry entry) { playlist.entries.push_back(std::move(entry)); },
                 [&](UnreadableLine line) { playlist.unreadable.push_back(std::move(line)); }});
    QCOMPARE(described(playlist), expected);
}

void TestFormats::endlessInput_endsWithinItsBound_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("again");
    QTest::addColumn<bool>("fails");
    QTest::newRow("addresses without end") << "#EXTM3U\n"_ba
                                           << "http://a/\n"_ba << true;
    QTest::newRow("a line without end") << "#EXTM3U\n"_ba
                                        << "x"_ba << true;
    QTest::newRow("zeros: binary data") << QByteArray() << "\0"_ba << false;
    QTest::newRow("an XSPF title without end") << "<playlist><trackList><track><title>"_ba
                                               << "x"_ba << false;
}

void TestFormats::endlessInput_endsWithinItsBound() {
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, again);
    QFETCH(bool, fails);
    constexpr qint64 bound = 8 << 20;
    Arriving device(start, again, std::numeric_limits<qint64>::max());
    InputBlocks input(device, u"endless"_s, bound);
    qint64 unreadable = 0;
    try {
        read(input, {[](const Entry&) {}, [&](const UnreadableLine&) { ++unreadable; }});
        QVERIFY(!fails);
        QCOMPARE(unreadable, 1);
    } catch (const FileFailure& failure) {
        QVERIFY2(fails, failure.what());
        QCOMPARE(failure.cause(), FileFailure::Cause::TooLarge);
    }
    QVERIFY(device.given() <= bound + 64 * 1024);
}

void TestFormats::lineFormats_neverLetAValueBecomeALine_data() {
    QTest::addColumn<int>("format");
    QTest::newRow("M3U") << int(Format::M3u);
    QTest::newRow("PLS") << int(Format::Pls);
}

void TestFormats::lineFormats_neverLetAValueBecomeALine() {
    QFETCH(int, format);
    const Catalogue::Station smuggler{u"cat\r\n#EXTINF:-1,x"_s, u"name\nfile:///etc/passwd"_s,
                                      u"http://a/\r\nFile9=x"_s};
    const Playlist playlist = read(write(Format(format), {smuggler}));
    QCOMPARE(described(playlist),
             QStringList{u"%1: name file:///etc/passwd | http://a/  File9=x | cat  #EXTINF:-1,x"_s.arg(
                 format == int(Format::M3u) ? 3 : 2)});
}

namespace {

// Text drawn from everything a name or category may hold in all three formats: blanks and tabs, the characters
// the formats treat specially, Chinese, letters of other scripts, combining marks and characters beyond the BMP.
// Only line breaks and other control characters are left out: no line format can carry them, nor can XML; and the
// invisible characters a stored name never keeps.
QString randomText(QRandomGenerator& random, int length) {
    static const QString special = u" \t,\"'#=<>&;[]:-|\\/*?%"_s;
    QString text;
    for (int i = 0; i < length; ++i) {
        switch (random.bounded(5)) {
        case 0:
            text += special[random.bounded(int(special.size()))];
            break;
        case 1:
            text += QChar(char16_t(0x4E00 + random.bounded(0x5000))); // CJK
            break;
        case 2:
            text += QString::fromUcs4(std::array{char32_t(0x1F300 + random.bounded(0x300))}.data(), 1); // emoji
            break;
        case 3: {
            // Anywhere in the BMP that is text: no controls, surrogates or the non-characters U+FFFE, U+FFFF.
            char16_t c;
            do
                c = char16_t(0x20 + random.bounded(0xFFDE));
            while ((c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c < 0xE000) || isHidden(c));
            text += QChar(c);
            break;
        }
        default:
            text += QChar(char16_t(u'a' + random.bounded(26)));
        }
    }
    return text;
}

std::vector<Catalogue::Station> randomStations(QRandomGenerator& random, Format format) {
    std::vector<Catalogue::Station> stations;
    for (int i = 0; i < 300; ++i) {
        QString name = randomText(random, 1 + random.bounded(30));
        // M3U and PLS trim their titles; only XSPF keeps blanks around a name.
        if (format != Format::Xspf)
            name = name.trimmed();
        if (name.isEmpty())
            name = u"台"_s;
        const QString category = random.bounded(4) == 0   ? Catalogue::SlotNames[random.bounded(9)]
                                 : random.bounded(4) == 0 ? u" "_s
                                                          : randomText(random, random.bounded(12));
        QString address = u"http://s%1.example/"_s.arg(i) + randomText(random, random.bounded(20));
        // In M3U an address's "|Name=value" is the player's header suffix, kept apart from the address.
        if (format == Format::M3u)
            address.replace(u'|', u"%7C"_s);
        stations.push_back({category, name, address});
    }
    return stations;
}

} // namespace

// A published IPTV list as players and guides read it: the list's guide address, each channel's guide keys, logo,
// number and catch-up, its player options and the address's header suffix. group-title is written last.
void TestFormats::iptvList_importsAndExportsBackEqual() {
    const QByteArray list =
        "#EXTM3U url-tvg=\"http://epg.example/guide.xml.gz\" x-tvg-url=\"http://epg.example/guide.xml.gz\"\n"
        "#EXTINF:-1 tvg-id=\"CCTV1.cn\" tvg-name=\"CCTV-1\" tvg-logo=\"http://logo.example/1.png\" tvg-chno=\"1\" "
        "catchup=\"default\" catchup-days=\"7\" group-title=\"国内电视\",CCTV-1 综合\n"
        "#EXTVLCOPT:http-user-agent=Mozilla/5.0 (X11; Linux x86_64)\n"
        "#EXTVLCOPT:http-referrer=http://www.example.cn/\n"
        "http://live.example/cctv1/index.m3u8\n"
        "#EXTINF:-1 tvg-id=\"Phoenix.hk\" tvg-logo=\"http://logo.example/p.png\" group-title=\"港台电视\",凤凰卫视\n"
        "http://live.example/phoenix.m3u8|User-Agent=Kodi/20.0 (X11)&Referer=http://hk.example/a%26b\n"
        "#EXTINF:-1 group-title=\"海外电视\",BBC World\n"
        "http://bbc.example/live.m3u8\n"_ba;
    TestProgramDir dir;
    dir.changeCatalogue(u"DELETE FROM radio"_s);
    Database catalogue = Catalogue::openConnection();
    QBuffer file;
    file.setData(list);
    file.open(QIODevice::ReadOnly);
    InputBlocks input(file, u"list"_s);
    QCOMPARE(importPlaylists(catalogue, {playlistFile(input)}).added, 3);

    const std::vector<Catalogue::AttributedStation> stored = Catalogue::attributedStations(catalogue);
    QCOMPARE(stored[1].station.address, u"http://live.example/phoenix.m3u8"_s);
    using Catalogue::HttpHeaders;
    QCOMPARE(httpHeaders(stored[0].attributes),
             (HttpHeaders{u"Mozilla/5.0 (X11; Linux x86_64)"_s, u"http://www.example.cn/"_s}));
    QCOMPARE(httpHeaders(stored[1].attributes), (HttpHeaders{u"Kodi/20.0 (X11)"_s, u"http://hk.example/a&b"_s}));
    QCOMPARE(valueOf(stored[0].attributes, Catalogue::AttributeSource::M3u, u"tvg-id"), u"CCTV1.cn"_s);
    QCOMPARE(valueOf(stored[2].attributes, Catalogue::AttributeSource::M3uList, u"url-tvg"),
             u"http://epg.example/guide.xml.gz"_s);
    QCOMPARE(write(Format::M3u, stored), list);
}

void TestFormats::plsAndXspf_keepTheirEntrysOtherFields() {
    using Catalogue::AttributeSource;
    const QByteArray pls = "[playlist]\nFile1=http://a/\nTitle1=A\nGroup1=G\nLength1=300\nLogo1=http://l/a.png\n"
                           "NumberOfEntries=1\nVersion=2\n"_ba;
    const Entry fromPls = read(pls).entries.at(0);
    QCOMPARE(fromPls.attributes, (Catalogue::Attributes{{AttributeSource::Pls, u"Length"_s, u"300"_s},
                                                        {AttributeSource::Pls, u"Logo"_s, u"http://l/a.png"_s}}));
    QCOMPARE(write(Format::Pls, {{stationOf(fromPls, std::nullopt), fromPls.attributes}}), pls);

    const QByteArray xspf = R"(<playlist xmlns="http://xspf.org/ns/0/" version="1"><trackList><track>
        <location>http://a/</location><creator>Radio A</creator><image>http://l/a.png</image>
        <meta rel="http://example.org/rating">5</meta><extension application="x"><y>z</y></extension>
        </track></trackList></playlist>)"_ba;
    const Entry fromXspf = read(xspf).entries.at(0);
    const Catalogue::Attributes fields{{AttributeSource::Xspf, u"creator"_s, u"Radio A"_s},
                                       {AttributeSource::Xspf, u"image"_s, u"http://l/a.png"_s},
                                       {AttributeSource::Xspf, u"meta:http://example.org/rating"_s, u"5"_s}};
    QCOMPARE(fromXspf.attributes, fields);
    QCOMPARE(read(write(Format::Xspf, {{stationOf(fromXspf, std::nullopt), fields}})).entries.at(0).attributes, fields);
}

void TestFormats::exportThenImport_givesTheSameStationsInTheSameOrder_data() {
    QTest::addColumn<int>("format");
    QTest::newRow("M3U") << int(Format::M3u);
    QTest::newRow("PLS") << int(Format::Pls);
    QTest::newRow("XSPF") << int(Format::Xspf);
}

void TestFormats::exportThenImport_givesTheSameStationsInTheSameOrder() {
    QFETCH(int, format);
    TestProgramDir dir;
    for (quint32 seed = 1; seed <= 5; ++seed) {
        dir.changeCatalogue(u"DELETE FROM radio"_s);
        QRandomGenerator random(seed);
        const std::vector<Catalogue::Station> stations = randomStations(random, Format(format));

        QBuffer written;
        written.setData(write(Format(format), stations));
        written.open(QIODevice::ReadOnly);
        InputBlocks input(written, u"list"_s);
        Database catalogue = Catalogue::openConnection();
        const ImportReport report = importPlaylists(catalogue, {playlistFile(input)});
        QVERIFY2(report.unreadable.count == 0, qPrintable(u"seed %1"_s.arg(seed)));
        QVERIFY2(Catalogue::stations(catalogue) == stations, qPrintable(u"seed %1"_s.arg(seed)));
    }
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

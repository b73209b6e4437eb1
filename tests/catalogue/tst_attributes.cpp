#include "catalogue/Catalogue.h"
#include "catalogue/StationAttributes.h"
#include "tests/support/TestProgramDir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Catalogue;

class TestAttributes : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void attributes_stayWithAChangedStation_goWithADeletedOne();
    void headers_preferTheVlcOptions();
};

void TestAttributes::attributes_stayWithAChangedStation_goWithADeletedOne() {
    Database db = openConnection();
    const StationQuery first = StationQuery::stationsOfCategory(SlotNames[0]);
    const StationQuery second = StationQuery::stationsOfCategory(SlotNames[1]);
    const qint64 changed = *first.firstRow(db);
    const qint64 deleted = *second.firstRow(db);
    const Attributes given{{AttributeSource::M3u, u"tvg-id"_s, u"CCTV1.cn"_s},
                           {AttributeSource::VlcOption, u"http-user-agent"_s, u"Mozilla/5.0"_s},
                           {AttributeSource::M3uList, u"url-tvg"_s, u"http://epg.example/guide.xml"_s}};
    setAttributes(db, changed, given);
    setAttributes(db, deleted, given);
    QVERIFY(changeStation(db, first, u"新名"_s, u"http://new.example/"_s));
    dir->changeCatalogue(
        u"DELETE FROM radio WHERE rowid = %1; INSERT INTO radio (编号, 类别) VALUES (%1, 'x')"_s.arg(deleted));

    QCOMPARE(attributes(db, changed), given);
    QVERIFY(attributes(db, deleted).empty());
    const std::vector<AttributedStation> slot = attributedStations(db, SlotNames[0]);
    QCOMPARE(slot.front().station.name, u"新名"_s);
    QCOMPARE(slot.front().attributes, given);
    QCOMPARE(attributedStations(db).size(), stations(db).size());
}

void TestAttributes::headers_preferTheVlcOptions() {
    const Attributes kodi{{AttributeSource::Kodi, u"User-Agent"_s, u"Kodi/20"_s},
                          {AttributeSource::Kodi, u"Referer"_s, u"http://kodi.example/"_s}};
    QCOMPARE(httpHeaders(kodi), (HttpHeaders{u"Kodi/20"_s, u"http://kodi.example/"_s}));
    Attributes both = kodi;
    both.push_back({AttributeSource::VlcOption, u"HTTP-User-Agent"_s, u"VLC/3"_s});
    QCOMPARE(httpHeaders(both), (HttpHeaders{u"VLC/3"_s, u"http://kodi.example/"_s}));
    QCOMPARE(httpHeaders({}), HttpHeaders{});
}

QTEST_GUILESS_MAIN(TestAttributes)
#include "tst_attributes.moc"

#include "guide/Guide.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"
#include "windows/forms/InternetTexts.h"

#include <QAccessible>
#include <QTest>
#include <QTimeZone>
#include <optional>

using namespace Qt::StringLiterals;

// Listing a category in the TV and radio panels.
class TestPanels : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void categoryRelease_listsItsStationsWithTheirCount_data();
    void categoryRelease_listsItsStationsWithTheirCount();
    void listing_showsEveryNamedStationOfExactlyThatCategory_data();
    void listing_showsEveryNamedStationOfExactlyThatCategory();
    void sameCategoryTwice_isRebuiltWithNothingSelected();
    void stationAddedElsewhere_appearsAtTheNextRelease();
    void deadStation_isGreyWithItsFinding_itsTextAndPlayUnchanged();
    void withoutCatalogue_listStaysEmptyAndCountKeepsItsText();
    void lockedCatalogue_isSaidQuietly_andTheListingTriesAgain();
    void altAndNumber_listsACategory_inANamedListThatReadsAsTheStations();
    void lineTooltip_saysWhatIsOnNowAndNext_whereTheStationHasAGuide();

private:
    void release(CategoryPanel& panel, const QString& caption) { Mouse::click(categoryLabel(panel, caption)); }
};

void TestPanels::init() {
    ProgramTest::init();
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 IN ('港台电视', '个性广播')"_s);
}

void TestPanels::categoryRelease_listsItsStationsWithTheirCount_data() {
    QTest::addColumn<bool>("tvPanel");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("count");
    QTest::newRow("TV") << true << u"港台电视"_s << u"总共有3 个电视台"_s;
    QTest::newRow("radio") << false << u"个性广播"_s << u"总共有3 个电台"_s;
}

void TestPanels::categoryRelease_listsItsStationsWithTheirCount() {
    QFETCH(bool, tvPanel);
    QFETCH(QString, category);
    QFETCH(QString, count);
    for (const QString& name : {u"乙台"_s, u"甲台"_s, u"丙台"_s})
        program->addStation(category, name, u"http://example.org/"_s + name);
    program->start();
    CategoryPanel& panel = tvPanel ? static_cast<CategoryPanel&>(program->tv()) : program->radio();
    panel.Show();

    Mouse::press(categoryLabel(panel, category));
    QCOMPARE(categoryLabel(panel, category).BorderStyle(), 1);
    Mouse::release(categoryLabel(panel, category));

    QCOMPARE(categoryLabel(panel, category).BorderStyle(), 0);
    QCOMPARE(panel.List1.lines(), QStringList({u"乙台"_s, u"甲台"_s, u"丙台"_s}));
    QCOMPARE(panel.Label9.Caption(), count);
}

void TestPanels::listing_showsEveryNamedStationOfExactlyThatCategory_data() {
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QVariantList>("names"); // a null name is a station without one
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("count");
    const QString radio = u"个性广播"_s;
    QTest::newRow("no stations") << QStringList() << QVariantList() << QStringList() << u"总共有0 个电台"_s;
    QTest::newRow("same name twice") << QStringList{radio, radio} << QVariantList{u"同名台"_s, u"同名台"_s}
                                     << QStringList{u"同名台"_s, u"同名台"_s} << u"总共有2 个电台"_s;
    QTest::newRow("station without a name")
        << QStringList{radio, radio, radio} << QVariantList{u"有名台"_s, QVariant(), u"末台"_s}
        << QStringList{u"有名台"_s, u"末台"_s} << u"总共有3 个电台"_s;
    QTest::newRow("category only contains the caption")
        << QStringList{u"个性广播新增"_s, u"个性广播 "_s} << QVariantList{u"长类别台"_s, u"尾随空格台"_s}
        << QStringList() << u"总共有0 个电台"_s;
}

void TestPanels::listing_showsEveryNamedStationOfExactlyThatCategory() {
    QFETCH(QStringList, categories);
    QFETCH(QVariantList, names);
    QFETCH(QStringList, listed);
    QFETCH(QString, count);
    for (int i = 0; i < categories.size(); ++i)
        program->addStation(categories[i], names[i], u"http://example.org/%1"_s.arg(i));
    program->start();
    program->radio().Show();

    release(program->radio(), u"个性广播"_s);
    QCOMPARE(program->radio().List1.lines(), listed);
    QCOMPARE(program->radio().Label9.Caption(), count);
}

void TestPanels::sameCategoryTwice_isRebuiltWithNothingSelected() {
    program->start();
    Form3& tv = program->tv();
    tv.Show();
    release(tv, u"国内电视"_s);
    const QStringList first = tv.List1.lines();
    tv.List1.setListIndex(2);

    release(tv, u"国内电视"_s);
    QCOMPARE(tv.List1.lines(), first);
    QCOMPARE(tv.List1.ListIndex(), -1);
    QVERIFY(tv.List1.selectionModel()->selectedIndexes().isEmpty());
}

void TestPanels::stationAddedElsewhere_appearsAtTheNextRelease() {
    program->start();
    Form2& radio = program->radio();
    radio.Show();
    release(radio, u"个性广播"_s);
    QCOMPARE(radio.List1.ListCount(), 0);

    program->addStation(u"个性广播"_s, u"新来的台"_s, u"http://new.example/"_s);
    release(radio, u"个性广播"_s);
    QCOMPARE(radio.List1.lines(), QStringList{u"新来的台"_s});
    QCOMPARE(radio.Label9.Caption(), u"总共有1 个电台"_s);
}

// Of three stations the last check found dead, playing, and dead at an address since changed, only the first is marked;
// so is a dead station on the list's second page, past 300 stations never checked.
void TestPanels::deadStation_isGreyWithItsFinding_itsTextAndPlayUnchanged() {
    program->addStation(u"个性广播"_s, u"死台"_s, u"http://dead.example/"_s);
    program->addStation(u"个性广播"_s, u"活台"_s, u"http://alive.example/"_s);
    program->addStation(u"个性广播"_s, u"改过的台"_s, u"http://moved.example/"_s);
    const QString threeDaysAgo = QDateTime::currentDateTimeUtc().addDays(-3).toString(Qt::ISODate);
    program->dir.changeCatalogue(
        u"INSERT INTO station_health (station, address, time, result, detail) SELECT rowid, 网址, '%1', "
        "CASE 名称 WHEN '活台' THEN 'plays' ELSE 'refused' END, '' FROM radio WHERE 类别 = '个性广播'; "
        "UPDATE radio SET 网址 = 'http://new.example/' WHERE 名称 = '改过的台'; "
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
        "INSERT INTO radio (类别, 名称, 网址) SELECT '个性广播', '未查的台', 'http://a.example/' FROM n; "
        "INSERT INTO radio (类别, 名称, 网址) VALUES ('个性广播', '末台', 'http://last.example/'); "
        "INSERT INTO station_health VALUES (last_insert_rowid(), 'http://last.example/', '%1', 'refused', '')"_s.arg(
            threeDaysAgo));
    program->start();
    Form2& radio = program->radio();
    radio.Show();
    release(radio, u"个性广播"_s);
    QCOMPARE(radio.List1.lines().mid(0, 3), QStringList({u"死台"_s, u"活台"_s, u"改过的台"_s}));
    const auto line = [&](int row, int role) { return radio.List1.model()->index(row, 0).data(role); };
    QCOMPARE(line(0, Qt::ForegroundRole).value<QColor>(), deadLineColour());
    QCOMPARE(line(0, Qt::ToolTipRole).toString(), u"上次检查：无法连接（3 天前）"_s);
    QCOMPARE(line(303, Qt::ForegroundRole).value<QColor>(), deadLineColour());
    for (int row : {1, 2, 302})
        QVERIFY(!line(row, Qt::ForegroundRole).isValid() && !line(row, Qt::ToolTipRole).isValid());
    const QPoint first = radio.List1.visualRect(radio.List1.model()->index(0, 0)).center();
    QTest::mouseClick(radio.List1.viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(program->shell.files().size(), 1);
    QCOMPARE(program->shell.files().first(), u"http://dead.example/"_s);
}

void TestPanels::withoutCatalogue_listStaysEmptyAndCountKeepsItsText() {
    program->dir.remove(u"tv.mdb"_s);
    program->start();
    Form3& tv = program->tv();
    tv.Show();
    const QString before = tv.Label9.Caption();
    QVERIFY(!before.isEmpty()); // the quiet sign that the catalogue could not be opened

    release(tv, u"国内电视"_s);
    QCOMPARE(tv.List1.ListCount(), 0);
    QCOMPARE(tv.Label9.Caption(), before);
    QVERIFY(program->boxes.boxes().isEmpty());
}

// Another program holds the catalogue in a transaction from before start-up until after the first release: the
// panels load without it and say so, a release meanwhile says so again and lists once the lock is gone.
void TestPanels::lockedCatalogue_isSaidQuietly_andTheListingTriesAgain() {
    program->addStation(u"个性广播"_s, u"甲台"_s, u"http://a.example/"_s);
    std::optional<CatalogueLock> lock(program->dir.catalogue());
    program->start();
    Form2& radio = program->radio();
    radio.Show();
    QVERIFY(program->main().isVisible());
    QCOMPARE(radio.Label9.Caption(), u"电台目录正被占用"_s);
    QCOMPARE(program->tv().Label9.Caption(), u"电台目录正被占用"_s);

    release(radio, u"个性广播"_s);
    QCOMPARE(radio.List1.ListCount(), 0);
    QCOMPARE(radio.Label9.Caption(), u"电台目录正被占用"_s);

    lock.reset(); // the refused listing is tried again by itself
    QTRY_COMPARE(radio.List1.lines(), QStringList{u"甲台"_s});
    QCOMPARE(radio.Label9.Caption(), u"总共有1 个电台"_s);
    QVERIFY(program->boxes.boxes().isEmpty());
}

void TestPanels::altAndNumber_listsACategory_inANamedListThatReadsAsTheStations() {
    for (const QString& name : {u"乙台"_s, u"甲台"_s})
        program->addStation(Catalogue::Categories::HongKongTaiwanTv, name, u"http://example.org/"_s + name);
    program->start();
    Form3& tv = program->tv();
    tv.Show();
    tv.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&tv));

    QTest::keyClick(&tv.List1, Qt::Key_2, Qt::AltModifier); // 港台电视, the second from the top
    QCOMPARE(tv.List1.lines(), QStringList({u"乙台"_s, u"甲台"_s}));
    QVERIFY(tv.List1.hasFocus());
    QVERIFY(program->shell.files().isEmpty());

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&tv.List1);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->text(QAccessible::Name), u"电视台列表"_s);
    QCOMPARE(list->childCount(), 2);
    QCOMPARE(list->child(1)->role(), QAccessible::ListItem);
    QCOMPARE(list->child(1)->text(QAccessible::Name), u"甲台"_s);
    QAccessibleInterface* category = QAccessible::queryAccessibleInterface(tv.categoryLabels[1].get());
    QCOMPARE(category->role(), QAccessible::Button);
    QCOMPARE(category->text(QAccessible::Description), u"快捷键 Alt+2"_s);
}

void TestPanels::lineTooltip_saysWhatIsOnNowAndNext_whereTheStationHasAGuide() {
    for (const QString& name : {u"甲台"_s, u"乙台"_s})
        program->addStation(u"港台电视"_s, name, u"http://example.org/"_s + name);
    const QDateTime eight(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    program->dir.changeCatalogue(
        u"INSERT INTO guide_source (id, address) VALUES (1, 'http://127.0.0.1:9/g.xml');"
        "INSERT INTO guide_channel VALUES (1, 1, 'jia');"
        "INSERT INTO guide_station SELECT rowid, 1 FROM radio WHERE 名称 = '甲台';"
        "INSERT INTO guide_programme VALUES (1, %1, %2, '新闻联播', NULL, NULL, NULL), (1, %2, %3, '天气预报', NULL, "
        "NULL, NULL)"_s.arg(eight.toSecsSinceEpoch())
            .arg(eight.addSecs(3600).toSecsSinceEpoch())
            .arg(eight.addSecs(5400).toSecsSinceEpoch()));
    Guide::clockSeam.replace([eight] { return eight.addSecs(1800); });
    qputenv("TZ", "Asia/Shanghai");
    program->start();
    Form3& tv = program->tv();
    tv.Show();
    release(tv, u"港台电视"_s);

    const QAbstractItemModel& lines = *tv.List1.model();
    const QString tip = lines.data(lines.index(0, 0), Qt::ToolTipRole).toString();
    const QVariant none = lines.data(lines.index(1, 0), Qt::ToolTipRole);
    Guide::clockSeam.restore();
    qunsetenv("TZ");
    QCOMPARE(tip, u"正在播出 20:00–21:00 新闻联播 · 稍后 21:00 天气预报"_s);
    QVERIFY(none.isNull());
    QCOMPARE(tv.List1.lines(), QStringList({u"甲台"_s, u"乙台"_s}));
}

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"

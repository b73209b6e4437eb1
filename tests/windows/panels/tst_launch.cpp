#include "runtime/Screen.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

// Playing the station of a clicked line in a browser panel.
class TestLaunch : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void clickedLine_handsItsAddressToTheShell();
    void sameNameTwice_eachLinePlaysItsOwnStation();
    void renamedStation_clearsTheCountAndPlaysNothing();
    void keys_playEveryLineTheySelect_data();
    void keys_playEveryLineTheySelect();
    void endThenUp_playsTheLastTwoLinesOfALongList();
    void addressesTheShellMayOpen_data();
    void addressesTheShellMayOpen();
    void withoutCatalogue_saysSoAndRunsOn();
    void shellThatTakesNothing_saysSo_data();
    void shellThatTakesNothing_saysSo();

private:
    // Lists the test category in the radio panel, shown beside the main window.
    Form2& listed();
    void add(const QVariant& name, const QVariant& address);
};

void TestLaunch::init() {
    ProgramTest::init();
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '个性广播'"_s);
}

void TestLaunch::add(const QVariant& name, const QVariant& address) {
    program->addStation(u"个性广播"_s, name, address.toString());
    if (address.isNull())
        program->dir.changeCatalogue(u"UPDATE radio SET 网址 = NULL WHERE 网址 = ''"_s);
}

Form2& TestLaunch::listed() {
    program->start();
    Mouse::click(program->main().Image1);
    Mouse::click(categoryLabel(program->radio(), u"个性广播"_s));
    return program->radio();
}

void TestLaunch::clickedLine_handsItsAddressToTheShell() {
    add(u"甲台"_s, u"http://a.example/live"_s);
    add(u"乙台"_s, u"https://b.example/stream.mp3"_s);
    Form2& radio = listed();
    Screen::setMousePointer(vbHourglass);

    Mouse::chooseLine(radio.List1, 1);

    QCOMPARE(program->shell.files(), QStringList{u"https://b.example/stream.mp3"_s});
    QCOMPARE(program->shell.handOffs().first().workingDirectory, program->dir.path());
    QCOMPARE(Screen::MousePointer(), vbDefault);
    QCOMPARE(radio.List1.ListIndex(), 1);
    QCOMPARE(radio.Label9.Caption(), u"总共有2 个电台"_s);
    QVERIFY(program->boxes.boxes().isEmpty());
}

// The k-th line of a name plays the k-th station of that name in the listed category; a station of that name in
// another category, earlier in the catalogue, takes no line's place.
void TestLaunch::sameNameTwice_eachLinePlaysItsOwnStation() {
    program->addStation(u"海外广播"_s, u"同名台"_s, u"http://overseas.example/"_s);
    add(u"同名台"_s, u"http://first.example/"_s);
    add(u"别的台"_s, u"http://other.example/"_s);
    add(u"同名台"_s, u"http://second.example/"_s);
    Form2& radio = listed();

    Mouse::chooseLine(radio.List1, 2);
    Mouse::chooseLine(radio.List1, 0);
    Mouse::chooseLine(radio.List1, 2);
    QCOMPARE(program->shell.files(),
             QStringList({u"http://second.example/"_s, u"http://first.example/"_s, u"http://second.example/"_s}));
}

void TestLaunch::renamedStation_clearsTheCountAndPlaysNothing() {
    add(u"旧名台"_s, u"http://renamed.example/"_s);
    add(u"同名台"_s, u"http://one.example/"_s);
    add(u"同名台"_s, u"http://two.example/"_s);
    Form2& radio = listed();
    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = '新名台' WHERE 名称 = '旧名台'"_s);
    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = '改过' WHERE 网址 = 'http://one.example/'"_s);

    Mouse::chooseLine(radio.List1, 0);
    QCOMPARE(radio.Label9.Caption(), QString());
    // Of the two lines of one name only one station is left: the second line has none of its own any more.
    radio.Label9.setCaption(u"总共有3 个电台"_s);
    Mouse::chooseLine(radio.List1, 2);
    QCOMPARE(radio.Label9.Caption(), QString());

    QVERIFY(program->shell.files().isEmpty());
    QVERIFY(program->boxes.boxes().isEmpty());
}

void TestLaunch::keys_playEveryLineTheySelect_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("played");
    const QString one = u"http://one.example/"_s, two = u"http://two.example/"_s, three = u"http://three.example/"_s;
    QTest::newRow("arrows") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up} << QStringList{two, three, two};
    QTest::newRow("end, home") << QList<int>{Qt::Key_End, Qt::Key_Home} << QStringList{three, one};
    QTest::newRow("page down, page up") << QList<int>{Qt::Key_PageDown, Qt::Key_PageUp} << QStringList{three, one};
    QTest::newRow("enter plays the selected line again")
        << QList<int>{Qt::Key_Return, Qt::Key_Down, Qt::Key_Enter} << QStringList{one, two, two};
}

void TestLaunch::keys_playEveryLineTheySelect() {
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, played);
    add(u"一台"_s, u"http://one.example/"_s);
    add(u"二台"_s, u"http://two.example/"_s);
    add(u"三台"_s, u"http://three.example/"_s);
    Form2& radio = listed();
    Mouse::chooseLine(radio.List1, 0);
    program->shell.clear();

    for (int key : keys)
        QTest::keyClick(&radio.List1, Qt::Key(key));
    QCOMPARE(program->shell.files(), played);
}

// The lines of a long list are read as they come into view: End reads the last page first, Up the line before.
void TestLaunch::endThenUp_playsTheLastTwoLinesOfALongList() {
    program->dir.changeCatalogue(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 700) "
                                 "INSERT INTO radio (类别, 名称, 网址) "
                                 "SELECT '个性广播', '台 ' || i, 'http://s.example/' || i FROM n"_s);
    Form2& radio = listed();
    Mouse::chooseLine(radio.List1, 0);
    program->shell.clear();

    QTest::keyClick(&radio.List1, Qt::Key_End);
    QTest::keyClick(&radio.List1, Qt::Key_Up);
    QCOMPARE(program->shell.files(), QStringList({u"http://s.example/700"_s, u"http://s.example/699"_s}));
    QCOMPARE(radio.List1.Text(), u"台 699"_s);
    QCOMPARE(radio.Label9.Caption(), u"总共有700 个电台"_s);
}

void TestLaunch::addressesTheShellMayOpen_data() {
    QTest::addColumn<QVariant>("address");
    QTest::addColumn<QString>("opened"); // empty when nothing may reach the shell
    QTest::newRow("http") << QVariant(u"http://a.example/live"_s) << u"http://a.example/live"_s;
    QTest::newRow("mms") << QVariant(u"mms://a.example/radio"_s) << u"mms://a.example/radio"_s;
    QTest::newRow("rtsp") << QVariant(u"rtsp://a.example:554/tv"_s) << u"rtsp://a.example:554/tv"_s;
    QTest::newRow("upper-case scheme") << QVariant(u"HTTP://A.EXAMPLE/"_s) << u"HTTP://A.EXAMPLE/"_s;
    QTest::newRow("unicode kept") << QVariant(u"https://电台.example/直播?频道=一"_s)
                                  << u"https://电台.example/直播?频道=一"_s;
    QTest::newRow("blanks around") << QVariant(u"  http://a.example/  "_s) << u"http://a.example/"_s;
    QTest::newRow("empty") << QVariant(u""_s) << QString();
    QTest::newRow("null") << QVariant() << QString();
    QTest::newRow("local path") << QVariant(u"/usr/bin/xterm"_s) << QString();
    QTest::newRow("windows path") << QVariant(u"C:\\Windows\\system32\\calc.exe"_s) << QString();
    QTest::newRow("file") << QVariant(u"file:///etc/passwd"_s) << QString();
    QTest::newRow("no host") << QVariant(u"http://"_s) << QString();
    QTest::newRow("script") << QVariant(u"javascript:alert(1)"_s) << QString();
    QTest::newRow("command") << QVariant(u"$(touch /tmp/x)"_s) << QString();
}

void TestLaunch::addressesTheShellMayOpen() {
    QFETCH(QVariant, address);
    QFETCH(QString, opened);
    add(u"测试台"_s, address);
    Form2& radio = listed();

    Mouse::chooseLine(radio.List1, 0);

    if (opened.isEmpty()) {
        QVERIFY(program->shell.files().isEmpty());
        QCOMPARE(program->boxes.boxes().size(), 1);
        QCOMPARE(program->boxes.boxes().first().title, u"Vimaro2.0"_s);
    } else {
        QCOMPARE(program->shell.files(), QStringList{opened});
        QVERIFY(program->boxes.boxes().isEmpty());
    }
}

void TestLaunch::withoutCatalogue_saysSoAndRunsOn() {
    program->dir.remove(u"tv.mdb"_s);
    program->start();
    Form2& radio = program->radio();
    radio.Show();
    radio.List1.setLines({u"中国之声"_s});

    Mouse::chooseLine(radio.List1, 0);

    QVERIFY(program->shell.files().isEmpty());
    QCOMPARE(program->boxes.boxes().size(), 1);
    QVERIFY(program->boxes.prompts().first().startsWith(u"无法播放电台："_s));
    QCOMPARE(Screen::MousePointer(), vbDefault);
    QVERIFY(radio.isVisible());
}

void TestLaunch::shellThatTakesNothing_saysSo_data() {
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("box");
    const QString plain = u"http://a.example/live"_s;
    // Far beyond what one program argument may hold, which xdg-open then never receives.
    const QString overLimit = u"http://a.example/"_s + QString(200'000, u'x');
    QTest::newRow("taken") << true << plain << false;
    QTest::newRow("no handler") << false << plain << true;
    QTest::newRow("an address over the argument limit") << false << overLimit << true;
}

// A hand-off the desktop does not take is said in a box
// that names the address, cut short so that it fits on the screen.
void TestLaunch::shellThatTakesNothing_saysSo() {
    QFETCH(bool, taken);
    QFETCH(QString, address);
    QFETCH(bool, box);
    add(u"测试台"_s, address);
    Form2& radio = listed();
    program->shell.answerWith(taken);

    Mouse::chooseLine(radio.List1, 0);

    QCOMPARE(program->shell.files(), QStringList{address});
    QCOMPARE(program->boxes.boxes().size(), box ? 1 : 0);
    if (box) {
        const MsgBoxScript::Box shown = program->boxes.boxes().first();
        QCOMPARE(shown.title, u"Vimaro2.0"_s);
        QVERIFY(shown.prompt.contains(address.left(100)));
        QVERIFY(shown.prompt.size() < 200);
    }
}

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"

#include "guide/Guide.h"
#include "playing/PlayerChoice.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"
#include "tests/support/StandInPlayers.h"
#include "windows/tray/TrayIcon.h"

#include <QSignalSpy>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QStringList texts(const QMenu& menu) {
    QStringList shown;
    for (const QAction* action : menu.actions())
        shown.append(action->isSeparator() ? u"-"_s : action->text());
    return shown;
}

// Opens the menu as the tray does, so that it fills itself, and closes it again.
void open(TrayMenu& menu) {
    Q_EMIT menu.aboutToShow();
}

QAction* entry(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    qFatal("the menu has no entry %s", qPrintable(text));
}

} // namespace

// The tray icon's menu and its click, on the program as main() starts it.
class TestTray : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { standIns.emplace(); }
    void init();
    void cleanup();

    void menu_namesTheSlotsStationsNow_andPlaysASlotAsItsButtonDoes();
    void recentStations_listWhatWasPlayed_fromAnyWindow_newestFirst();
    void players_chooseThePlayerForEveryCategory_theDesktopsDefaultFirst();
    void entries_showTheProgrammeOnNow_whereTheStationHasAGuide();
    void channelSettingsAndExit_doWhatTheirButtonsDo();
    void longName_isShortenedInItsEntry_andWholeInItsTooltip();
    void click_hidesTheWindowsInFront_andBringsThemBack();

private:
    std::optional<StandInPlayers> standIns;
    std::optional<Program> program;
    std::optional<TrayIcon> tray;
};

void TestTray::init() {
    program.emplace();
    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = 'A&B 台', 网址 = 'http://two.example/' "
                                 "WHERE 类别 = '快速选台二'"_s);
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '快速选台九'"_s);
    program->start();
    tray.emplace(program->forms, [this] { program->forms.bringToFront(); });
}

void TestTray::cleanup() {
    tray.reset();
    program.reset();
}

// The menu is whole before it ever opens, and follows the catalogue while closed: a tray host that reads it over
// D-Bus without announcing that it opens it shows it as it is.
void TestTray::menu_namesTheSlotsStationsNow_andPlaysASlotAsItsButtonDoes() {
    TrayMenu& menu = tray->menu();
    QTRY_COMPARE(texts(menu).size(), 9 + 7);
    const QStringList shown = texts(menu);
    QCOMPARE(shown[1], u"快速选台二：A&&B 台"_s);
    QCOMPARE(shown[8], u"快速选台九：空"_s);
    QCOMPARE(shown.mid(9),
             QStringList({u"-"_s, u"最近播放"_s, u"播放器"_s, u"-"_s, u"网络电台"_s, u"频道设置"_s, u"退出"_s}));
    QVERIFY(!menu.recentStations().isEnabled());

    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = '二台' WHERE 类别 = '快速选台二'"_s);
    QTRY_COMPARE(menu.actions()[1]->text(), u"快速选台二：二台"_s);
    menu.actions()[1]->trigger();
    Mouse::click(program->main().Image4);
    QCOMPARE(program->shell.files(), QStringList(2, u"http://two.example/"_s));
}

void TestTray::recentStations_listWhatWasPlayed_fromAnyWindow_newestFirst() {
    Form3& tv = program->tv();
    tv.Show();
    Mouse::click(categoryLabel(tv, Catalogue::Categories::DomesticTv));
    Mouse::chooseLine(tv.List1, 1);
    Mouse::click(program->main().Image4);
    // Refused by the desktop, not played: not remembered.
    program->shell.answerWith(false);
    Mouse::click(program->main().Image2);
    program->shell.answerWith(true);

    open(tray->menu());
    QMenu& recent = tray->menu().recentStations();
    QCOMPARE(texts(recent), QStringList({u"A&&B 台"_s, tv.List1.List(1)}));

    program->shell.clear();
    entry(recent, tv.List1.List(1))->trigger();
    QCOMPARE(program->shell.files().size(), 1);
    open(tray->menu());
    QCOMPARE(texts(recent).first(), tv.List1.List(1));

    // Deleted since the menu opened: it plays nothing and says nothing.
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '快速选台二'"_s);
    program->shell.clear();
    entry(recent, u"A&&B 台"_s)->trigger();
    QVERIFY(program->shell.files().isEmpty());
    QVERIFY(program->boxes.boxes().size() == 1); // the refused play's
    open(tray->menu());
    QCOMPARE(texts(recent), QStringList{tv.List1.List(1)});
}

void TestTray::entries_showTheProgrammeOnNow_whereTheStationHasAGuide() {
    program->dir.changeCatalogue(u"INSERT INTO guide_source (id, address) VALUES (1, 'http://127.0.0.1:9/g.xml');"
                                 "INSERT INTO guide_channel VALUES (1, 1, 'two');"
                                 "INSERT INTO guide_station SELECT rowid, 1 FROM radio WHERE 类别 = '快速选台二';"
                                 "INSERT INTO guide_programme VALUES (1, 1000, 5000, '新闻联播', NULL, NULL, NULL)"_s);
    Guide::clockSeam.replace([] { return QDateTime::fromSecsSinceEpoch(2000, Qt::UTC); });
    Mouse::click(program->main().Image4);
    open(tray->menu());
    Guide::clockSeam.restore();
    QCOMPARE(texts(tray->menu())[1], u"快速选台二：A&&B 台 · 新闻联播"_s);
    QVERIFY(!texts(tray->menu())[2].contains(u'·'));
    QCOMPARE(texts(tray->menu().recentStations()), QStringList{u"A&&B 台 · 新闻联播"_s});
}

void TestTray::longName_isShortenedInItsEntry_andWholeInItsTooltip() {
    const QString name = u"长"_s + QString(22000, u'x') + u"&尾"_s;
    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = '%1' WHERE 类别 = '快速选台二'"_s.arg(name));
    Mouse::click(program->main().Image4);
    TrayMenu& menu = tray->menu();
    open(menu);

    QVERIFY(menu.sizeHint().width() < 600);
    QVERIFY(menu.recentStations().sizeHint().width() < 600);
    QCOMPARE(menu.actions()[1]->toolTip(), u"快速选台二："_s + name);
    QCOMPARE(menu.recentStations().actions().first()->toolTip(), name);
    QVERIFY(menu.actions()[1]->text().endsWith(u"&&尾"_s));
    menu.actions()[1]->trigger();
    QCOMPARE(program->shell.files().size(), 2);
}

void TestTray::players_chooseThePlayerForEveryCategory_theDesktopsDefaultFirst() {
    QMenu& players = tray->menu().players();
    open(tray->menu());
    QCOMPARE(texts(players), QStringList({u"桌面默认（mpv Media Player）"_s, u"mpv Media Player"_s,
                                          u"VLC media player"_s, u"电视盒子"_s}));
    QVERIFY(players.actions().first()->isChecked());

    entry(players, u"VLC media player"_s)->trigger();
    Database catalogue = Catalogue::openConnection();
    QCOMPARE(PlayerChoice::chosenForAll(catalogue), u"vlc.desktop"_s);
    QVERIFY(entry(players, u"VLC media player"_s)->isChecked());
    QVERIFY(!players.actions().first()->isChecked());

    entry(players, u"桌面默认（mpv Media Player）"_s)->trigger();
    QCOMPARE(PlayerChoice::chosenForAll(catalogue), std::nullopt);
}

void TestTray::channelSettingsAndExit_doWhatTheirButtonsDo() {
    open(tray->menu());
    entry(tray->menu(), u"频道设置"_s)->trigger();
    QVERIFY(program->forms.form(FormName::add).isVisible());
    // 网络电台 is built by its first opening, and goes with the others.
    QVERIFY(!program->forms.isLoaded(FormName::net));
    entry(tray->menu(), u"网络电台"_s)->trigger();
    QVERIFY(program->forms.form(FormName::net).isVisible());

    QSignalSpy ended(&program->forms, &Registry::allUnloaded);
    entry(tray->menu(), u"退出"_s)->trigger();
    QCOMPARE(ended.count(), 1);
}

void TestTray::click_hidesTheWindowsInFront_andBringsThemBack() {
    Form1& main = program->main();
    Mouse::click(main.Image5);
    Mouse::click(main.Label7);

    tray->Icon_Click();
    QVERIFY(!main.isVisible() && !program->tv().isVisible() && !program->forms.form(FormName::setup).isVisible());
    tray->Icon_Click();
    QVERIFY(main.isVisible() && program->tv().isVisible() && program->forms.form(FormName::setup).isVisible());
    QVERIFY(!program->radio().isVisible());

    // Minimised, the windows are not in front: a click brings them back rather than hiding them.
    Mouse::click(main.Image3);
    tray->Icon_Click();
    QVERIFY(main.isVisible() && !main.isMinimized());
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"

#include "catalogue/Catalogue.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

// The nine one-click buttons of the main window.
class TestQuickSelect : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void everyButton_playsTheStationOfItsSlot();
    void firstStationOfTheSlot_inCatalogueOrder_plays();
    void onlyTheExactSlotName_matches();
    void emptySlot_doesNothing();
    void catalogueChange_takesEffectAtTheNextRelease();
    void theTooltip_isTheOnlyTieToTheSlot();
    void keys1To9_playWhatTheButtonsPlay();
    void withoutCatalogue_saysSoAndRunsOn();
};

void TestQuickSelect::everyButton_playsTheStationOfItsSlot() {
    program->dir.changeCatalogue(
        u"UPDATE radio SET 网址 = 'http://slot.example/' || 类别 WHERE 类别 LIKE '快速选台%'"_s);
    program->start();
    QStringList expected;
    for (int slot = 0; slot < 9; ++slot) {
        Mouse::click(*program->main().quickSelectButtons()[slot]);
        expected.append(u"http://slot.example/"_s + Catalogue::SlotNames[slot]);
    }
    QCOMPARE(program->shell.files(), expected);
    for (const HandOff& handOff : program->shell.handOffs())
        QCOMPARE(handOff.workingDirectory, program->dir.path());
}

void TestQuickSelect::firstStationOfTheSlot_inCatalogueOrder_plays() {
    program->dir.changeCatalogue(u"UPDATE radio SET 网址 = 'http://first.example/' WHERE 类别 = '快速选台三'"_s);
    program->addStation(u"快速选台三"_s, u"后来的台"_s, u"http://later.example/"_s);
    program->start();
    Mouse::click(program->main().Image8);
    QCOMPARE(program->shell.files(), QStringList{u"http://first.example/"_s});
}

void TestQuickSelect::onlyTheExactSlotName_matches() {
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '快速选台二'"_s);
    program->addStation(u"快速选台二 "_s, u"尾随空格"_s, u"http://blank.example/"_s);
    program->addStation(u"旧快速选台二"_s, u"包含槽名"_s, u"http://contains.example/"_s);
    program->addStation(u"快速选台"_s, u"槽名开头"_s, u"http://prefix.example/"_s);
    program->start();
    Mouse::click(program->main().Image4);
    QVERIFY(program->shell.files().isEmpty());
    QVERIFY(program->boxes.boxes().isEmpty());
}

void TestQuickSelect::emptySlot_doesNothing() {
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '快速选台九'"_s);
    program->start();
    Mouse::press(program->main().Image14);
    QCOMPARE(program->main().Image14.BorderStyle(), 1);
    Mouse::release(program->main().Image14);
    QCOMPARE(program->main().Image14.BorderStyle(), 0);
    QVERIFY(program->shell.files().isEmpty());
    QVERIFY(program->boxes.boxes().isEmpty());
}

void TestQuickSelect::catalogueChange_takesEffectAtTheNextRelease() {
    program->start();
    Mouse::click(program->main().Image2);
    program->dir.changeCatalogue(u"UPDATE radio SET 网址 = 'http://changed.example/' WHERE 类别 = '快速选台一'"_s);
    Mouse::click(program->main().Image2);
    QCOMPARE(program->shell.files().size(), 2);
    QVERIFY(program->shell.files()[0] != u"http://changed.example/"_s);
    QCOMPARE(program->shell.files()[1], u"http://changed.example/"_s);
}

void TestQuickSelect::theTooltip_isTheOnlyTieToTheSlot() {
    program->dir.changeCatalogue(u"UPDATE radio SET 网址 = 'http://nine.example/' WHERE 类别 = '快速选台九'"_s);
    program->start();
    program->main().Image2.setToolTipText(u"快速选台九"_s);
    Mouse::click(program->main().Image2);
    QCOMPARE(program->shell.files(), QStringList{u"http://nine.example/"_s});
}

void TestQuickSelect::keys1To9_playWhatTheButtonsPlay() {
    program->dir.changeCatalogue(
        u"UPDATE radio SET 网址 = 'http://slot.example/' || 类别 WHERE 类别 LIKE '快速选台%'"_s);
    program->start();
    Form1& main = program->main();
    for (Image* button : main.quickSelectButtons())
        Mouse::click(*button);
    const QStringList byButton = program->shell.files();
    program->shell.clear();

    for (int key = Qt::Key_1; key <= Qt::Key_9; ++key)
        QTest::keyClick(&main, Qt::Key(key));
    QCOMPARE(program->shell.files(), byButton);
    QTest::keyClick(&main, Qt::Key_5, Qt::KeypadModifier);
    QCOMPARE(program->shell.files().last(), byButton[4]);
    QCOMPARE(main.Image10.BorderStyle(), 0);
}

void TestQuickSelect::withoutCatalogue_saysSoAndRunsOn() {
    program->dir.remove(u"tv.mdb"_s);
    program->start();
    Mouse::click(program->main().Image2);
    QVERIFY(program->shell.files().isEmpty());
    QCOMPARE(program->boxes.boxes().size(), 1);
    QCOMPARE(program->boxes.boxes().first().title, u"Vimaro2.0"_s);
    QVERIFY(program->main().isVisible());
}

QTEST_MAIN(TestQuickSelect)
#include "tst_quickselect.moc"

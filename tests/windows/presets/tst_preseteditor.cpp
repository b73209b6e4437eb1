#include "catalogue/Catalogue.h"
#include "sqlite/Statement.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"
#include "windows/presets/PresetEditor.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString updated = u"频道数据已更新！"_s;

std::vector<Catalogue::Station> catalogue() {
    Database connection = Catalogue::openConnection();
    return Catalogue::stations(connection);
}

// Stations with a null name or web address: a box left empty must be stored as empty text.
int nullFields() {
    Database connection = Catalogue::openConnection();
    Statement count(connection, u"SELECT count(*) FROM radio WHERE 名称 IS NULL OR 网址 IS NULL"_s);
    count.step();
    return count.column(0).toInt();
}

void write(QLineEdit& box, const QString& text) {
    box.clear();
    Keyboard::type(box, text);
}

} // namespace

// The preset editor, opened with the main window's "预置电台" as a user opens it.
class TestYz : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void opening_promptIsNoSlot_focusInTheChooser_tabToAddressThenName();
    void save_changesTheFirstStationTheSlotSearchFinds_andNothingElse_data();
    void save_changesTheFirstStationTheSlotSearchFinds_andNothingElse();
    void emptyName_asksForIt_andPutsTheFocusThere();
    void emptySlot_keepsTheBoxes_andASaveChangesNothingSilently();
    void stationWithoutAddress_saysSo_andKeepsTheBoxes();
    void secondSave_afterReopening_writesIntoTheSameStation();
    void failedSave_saysWhy_andChangesNothing_data();
    void failedSave_saysWhy_andChangesNothing();

private:
    yz& open();
    void save();
};

yz& TestYz::open() {
    if (!program->main().isVisible())
        program->start();
    Mouse::click(program->main().Label6);
    auto& editor = program->forms.get<yz>(FormName::yz);
    if (!QTest::qWaitForWindowExposed(&editor))
        qFatal("the preset editor never appeared");
    return editor;
}

void TestYz::save() {
    Mouse::click(program->forms.get<yz>(FormName::yz).Label1);
}

void TestYz::opening_promptIsNoSlot_focusInTheChooser_tabToAddressThenName() {
    yz& editor = open();
    QCOMPARE(editor.Combo1.Text(), u"请选择....."_s);
    QCOMPARE(editor.Combo1.count(), 9);
    QCOMPARE(editor.Combo1.findText(u"请选择....."_s), -1);

    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QCOMPARE(QApplication::focusWidget(), &editor.Combo1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &editor.Text2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &editor.Text1);
}

void TestYz::save_changesTheFirstStationTheSlotSearchFinds_andNothingElse_data() {
    QTest::addColumn<QString>("catalogueChange");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("newAddress");
    QTest::newRow("the slot's station; a blank name counts as written")
        << u"UPDATE radio SET 名称 = '一号台', 网址 = 'http://one.example/' WHERE 类别 = '快速选台一'"_s << 0
        << u"一号台"_s << u" "_s << u"http://new.example/?q='1'&p=100%25#[*]"_s;
    QTest::newRow("two stations in the slot: the first; an empty address")
        << u"UPDATE radio SET 名称 = '三号台', 网址 = 'http://three.example/' WHERE 类别 = '快速选台三';"
           "INSERT INTO radio (类别, 名称, 网址) VALUES ('快速选台三', '后来的台', 'http://later.example/')"_s
        << 2 << u"三号台"_s << u"It's 100% *?#[台]"_s << QString();
    QTest::newRow("a category that merely contains the slot name")
        << u"DELETE FROM radio WHERE 类别 = '快速选台二';"
           "INSERT INTO radio (类别, 名称, 网址) VALUES ('旧快速选台二 备用', '包含槽名', 'http://contains.example/')"_s
        << 1 << u"包含槽名"_s << u"新台"_s << u"http://new.example/"_s;
}

void TestYz::save_changesTheFirstStationTheSlotSearchFinds_andNothingElse() {
    QFETCH(QString, catalogueChange);
    QFETCH(int, slot);
    QFETCH(QString, shownName);
    QFETCH(QString, newName);
    QFETCH(QString, newAddress);
    program->dir.changeCatalogue(catalogueChange);
    std::vector<Catalogue::Station> expected = catalogue();
    const auto shown = std::find_if(expected.begin(), expected.end(),
                                    [&](const Catalogue::Station& station) { return station.name == shownName; });
    yz& editor = open();

    Mouse::chooseItem(editor.Combo1, slot);
    QCOMPARE(editor.Text1.Text(), shown->name);
    QCOMPARE(editor.Text2.Text(), shown->address);
    write(editor.Text1, newName);
    write(editor.Text2, newAddress);
    save();

    shown->name = newName;
    shown->address = newAddress;
    QCOMPARE(catalogue(), expected);
    QCOMPARE(nullFields(), 0);
    QCOMPARE(program->boxes.prompts(), QStringList{updated});
    QCOMPARE(program->boxes.boxes().first().title, AppTitle);
    QVERIFY(editor.Text1.Text().isEmpty() && editor.Text2.Text().isEmpty() && editor.Combo1.Text().isEmpty());
}

void TestYz::emptyName_asksForIt_andPutsTheFocusThere() {
    const std::vector<Catalogue::Station> before = catalogue();
    yz& editor = open();
    Mouse::chooseItem(editor.Combo1, 4);
    write(editor.Text1, QString());
    save();

    QCOMPARE(program->boxes.prompts(), QStringList{u"你都没写，我怎么更新纪录呀？"_s});
    QCOMPARE(program->boxes.boxes().first().title, AppTitle);
    QCOMPARE(editor.focusWidget(), &editor.Text1);
    QCOMPARE(catalogue(), before);
}

void TestYz::emptySlot_keepsTheBoxes_andASaveChangesNothingSilently() {
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '快速选台九'"_s);
    const std::vector<Catalogue::Station> before = catalogue();
    yz& editor = open();
    Mouse::chooseItem(editor.Combo1, 0);
    const QString name = editor.Text1.Text();
    Mouse::chooseItem(editor.Combo1, 8);
    QCOMPARE(editor.Text1.Text(), name);
    save();

    QVERIFY(program->boxes.boxes().isEmpty());
    QCOMPARE(catalogue(), before);
}

void TestYz::stationWithoutAddress_saysSo_andKeepsTheBoxes() {
    program->dir.changeCatalogue(u"UPDATE radio SET 网址 = NULL WHERE 类别 = '快速选台六'"_s);
    yz& editor = open();
    Mouse::chooseItem(editor.Combo1, 5);
    QCOMPARE(program->boxes.prompts(), QStringList{u"无法显示预置频道：这个电台缺少名称或网址"_s});
    QVERIFY(editor.Text1.Text().isEmpty() && editor.Text2.Text().isEmpty());
}

void TestYz::secondSave_afterReopening_writesIntoTheSameStation() {
    yz& editor = open();
    Mouse::chooseItem(editor.Combo1, 3);
    write(editor.Text2, u"http://first.example/"_s);
    save();
    write(editor.Text1, u"第二次"_s);
    write(editor.Text2, u"http://second.example/"_s);
    Mouse::click(program->main().Label6);
    open();
    QCOMPARE(editor.Text1.Text(), u"第二次"_s);

    Mouse::press(editor.Label1, Qt::RightButton);
    QCOMPARE(editor.Label1.BorderStyle(), 1);
    Mouse::release(editor.Label1, Qt::RightButton);
    QCOMPARE(editor.Label1.BorderStyle(), 0);

    QCOMPARE(program->boxes.prompts(), QStringList({updated, updated}));
    const Catalogue::Station saved{u"快速选台四"_s, u"第二次"_s, u"http://second.example/"_s};
    QCOMPARE(std::ranges::count(catalogue(), saved), 1);
}

enum class Trouble { NoSlotChosen, SlotNameTypedAndEnter, NoCatalogue, CatalogueRefuses };

void TestYz::failedSave_saysWhy_andChangesNothing_data() {
    QTest::addColumn<Trouble>("trouble");
    QTest::addColumn<QString>("box");
    const QString noSlot = u"无法保存修改：还没有从频道列表中选择预置频道"_s;
    QTest::newRow("no slot chosen") << Trouble::NoSlotChosen << noSlot;
    QTest::newRow("slot name typed, then Enter") << Trouble::SlotNameTypedAndEnter << noSlot;
    QTest::newRow("no catalogue") << Trouble::NoCatalogue << u"无法保存修改：电台目录 tv.mdb 打不开"_s;
    QTest::newRow("catalogue refuses") << Trouble::CatalogueRefuses
                                       << u"无法保存修改：电台目录没有接受这次修改（只读目录）"_s;
}

void TestYz::failedSave_saysWhy_andChangesNothing() {
    QFETCH(Trouble, trouble);
    QFETCH(QString, box);
    if (trouble == Trouble::NoCatalogue)
        program->dir.remove(u"tv.mdb"_s);
    if (trouble == Trouble::CatalogueRefuses)
        program->dir.changeCatalogue(
            u"CREATE TRIGGER refuse BEFORE UPDATE ON radio BEGIN SELECT RAISE(ABORT, '只读目录'); END"_s);
    yz& editor = open();
    const QByteArray before = program->dir.read(u"tv.mdb"_s);
    if (trouble == Trouble::SlotNameTypedAndEnter) {
        editor.Combo1.lineEdit()->selectAll();
        Keyboard::type(editor.Combo1, u"快速选台二"_s);
        QTest::keyClick(&editor.Combo1, Qt::Key_Return);
        QCOMPARE(editor.Combo1.Text(), u"快速选台二"_s);
    }
    if (trouble == Trouble::NoCatalogue || trouble == Trouble::CatalogueRefuses)
        Mouse::chooseItem(editor.Combo1, 1);
    write(editor.Text1, u"新名称"_s);
    write(editor.Text2, u"http://new.example/"_s);
    save();

    QCOMPARE(program->boxes.prompts().last(), box);
    QVERIFY(!program->boxes.prompts().contains(updated));
    for (const MsgBoxScript::Box& shown : program->boxes.boxes())
        QCOMPARE(shown.title, AppTitle);
    QCOMPARE(program->dir.read(u"tv.mdb"_s), before);
    QCOMPARE(editor.Text1.Text(), u"新名称"_s);
    QVERIFY(editor.isVisible());
}

QTEST_MAIN(TestYz)
#include "tst_preseteditor.moc"

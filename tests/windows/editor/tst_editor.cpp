#include "runtime/Module1.h"
#include "runtime/Screen.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"
#include "windows/editor/ChannelEditor.h"

#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QUrl>
#include <optional>

using namespace Qt::StringLiterals;
using Catalogue::Station;
using Stations = std::vector<Station>;

namespace {

// The category the tests' own stations are filed under, so that the shipped stations never get in the way.
const QString testCategory = u"编辑测试"_s;

Stations stored(const QString& category = testCategory) {
    Database catalogue = Catalogue::openConnection();
    return Catalogue::stations(catalogue, category);
}

QString addressOf(int station) {
    return u"http://station.example/%1"_s.arg(station);
}

} // namespace

// The channel editor: adding, searching, choosing and changing stations, driven as a user drives them.
class TestEditor : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void emptyBox_asksAndPutsTheFocusInTheNameBox_data();
    void emptyBox_asksAndPutsTheFocusInTheNameBox();
    void add_appendsTheBoxTextsExactly_everyTime_data();
    void add_appendsTheBoxTextsExactly_everyTime();
    void add_intoASlot_playsFromItsQuickSelectButton();
    void search_listsTheStationsWhoseNameContainsTheText_data();
    void search_listsTheStationsWhoseNameContainsTheText();
    void chosenLine_isTheStationShownAndChanged_data();
    void chosenLine_isTheStationShownAndChanged();
    void stationWithoutAddress_showsEmptyText();
    void failure_saysWhyAndChangesNothing_data();
    void failure_saysWhyAndChangesNothing();
    void close_thenChannelSettings_startsAfresh();
    void drag_docksTheBrowserPanelsToTheMainWindow();
    void droppedPlaylist_isImportedAndCounted();

private:
    add& openEditor();
    void search(add& editor, const QString& text);
};

// "频道设置" as a user clicks it, starting the program first where needed.
add& TestEditor::openEditor() {
    if (!program->forms.isLoaded(FormName::Form1))
        program->start();
    Mouse::click(program->main().Label5);
    add& editor = program->forms.get<add>(FormName::add);
    if (!QTest::qWaitForWindowActive(&editor))
        qFatal("the channel editor never came up");
    return editor;
}

void TestEditor::search(add& editor, const QString& text) {
    editor.Text3.clear();
    Keyboard::type(editor.Text3, text);
    Mouse::click(editor.Image3);
}

void TestEditor::emptyBox_asksAndPutsTheFocusInTheNameBox_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("nameWritten");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("add without address") << true << true << u"你都没写，我怎么增加呀？"_s;
    QTest::newRow("add without name") << true << false << u"你都没写，我怎么增加呀？"_s;
    QTest::newRow("change without address") << false << true << u"你都没写，我怎么更新纪录呀？"_s;
    QTest::newRow("change without name") << false << false << u"你都没写，我怎么更新纪录呀？"_s;
}

void TestEditor::emptyBox_asksAndPutsTheFocusInTheNameBox() {
    QFETCH(bool, adding);
    QFETCH(bool, nameWritten);
    QFETCH(QString, prompt);
    add& editor = openEditor();
    search(editor, u"CCTV"_s);
    const Stations before = stored(Catalogue::Categories::DomesticTv);
    TextBox& name = adding ? editor.Text1 : editor.Text4;
    TextBox& address = adding ? editor.Text2 : editor.Text5;

    // A blank counts as written.
    Keyboard::type(nameWritten ? name : address, u" "_s);
    Mouse::click(adding ? editor.Image1 : editor.Image4);

    QCOMPARE(program->boxes.prompts(), QStringList{prompt});
    QCOMPARE(program->boxes.boxes().first().title, AppTitle);
    QVERIFY(name.hasFocus());
    QCOMPARE(stored(Catalogue::Categories::DomesticTv), before);
    QCOMPARE(stored(u" "_s), Stations());
}

void TestEditor::add_appendsTheBoxTextsExactly_everyTime_data() {
    QTest::addColumn<QString>("typedCategory"); // none: the category box is left as it is
    QTest::addColumn<QString>("category");
    QTest::newRow("category box untouched") << QString() << u" "_s;
    QTest::newRow("apostrophe and pattern characters") << u"个性'[%_*?"_s << u"个性'[%_*?"_s;
}

void TestEditor::add_appendsTheBoxTextsExactly_everyTime() {
    QFETCH(QString, typedCategory);
    QFETCH(QString, category);
    add& editor = openEditor();
    const QString name = u"Rock'n'Roll [1% _*?#"_s;
    const QString address = u"http://rock.example/?q='a'&p=100%25"_s;
    if (!typedCategory.isNull()) {
        QTest::keyClick(&editor.Combo1, Qt::Key_Backspace);
        Keyboard::type(editor.Combo1, typedCategory);
    }
    Keyboard::type(editor.Text1, name);
    Keyboard::type(editor.Text2, address);

    Mouse::click(editor.Image1);
    Mouse::click(editor.Image1);

    QCOMPARE(program->boxes.prompts(), QStringList(2, name + u" 已增加！"_s));
    QCOMPARE(stored(category), Stations(2, Station{category, name, address}));
    // 取消 empties the name and the address, never the category.
    Mouse::click(editor.Image2);
    QCOMPARE(editor.Text1.Text() + editor.Text2.Text(), QString());
    QCOMPARE(editor.Combo1.Text(), category);
}

void TestEditor::add_intoASlot_playsFromItsQuickSelectButton() {
    const QString slot = Catalogue::SlotNames[2];
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '%1'"_s.arg(slot));
    add& editor = openEditor();
    QTest::keyClick(&editor.Combo1, Qt::Key_Backspace);
    Keyboard::type(editor.Combo1, slot);
    Keyboard::type(editor.Text1, u"第三台"_s);
    Keyboard::type(editor.Text2, addressOf(3));
    Mouse::click(editor.Image1);

    Mouse::click(*program->main().quickSelectButtons()[2]);
    QCOMPARE(program->shell.files(), QStringList{addressOf(3)});
}

void TestEditor::search_listsTheStationsWhoseNameContainsTheText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty text only empties the list") << QString() << QStringList() << u"总共找到4 记录"_s;
    QTest::newRow("no match") << u"搜测无"_s << QStringList() << u"总共找到0 记录"_s;
    QTest::newRow("wildcards typed by the user") << u"搜?甲*"_s << QStringList{u"搜测甲"_s} << u"总共找到1 记录"_s;
    QTest::newRow("unclosed bracket") << u"[丙"_s << QStringList{u"搜测[丙"_s} << u"总共找到1 记录"_s;
    QTest::newRow("apostrophe, percent, underscore")
        << u"_丁'%"_s << QStringList{u"搜测_丁'%"_s} << u"总共找到1 记录"_s;
}

void TestEditor::search_listsTheStationsWhoseNameContainsTheText() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QString, caption);
    const QStringList names{u"搜测甲"_s, u"搜测乙"_s, u"搜测[丙"_s, u"搜测_丁'%"_s};
    for (int i = 0; i < names.size(); ++i)
        program->addStation(testCategory, names[i], addressOf(i));
    add& editor = openEditor();
    search(editor, u"搜测"_s);
    QCOMPARE(editor.List1.lines(), names);

    search(editor, text);

    QCOMPARE(editor.List1.lines(), lines);
    QCOMPARE(editor.Caption(), caption);
    QCOMPARE(editor.CaptionLabel.Caption(), caption);
    QVERIFY(editor.CaptionLabel.isVisible());
    QCOMPARE(program->boxes.prompts(), QStringList());
}

void TestEditor::chosenLine_isTheStationShownAndChanged_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line"); // -1: no line chosen after the search
    QTest::addColumn<int>("changed");
    QTest::newRow("X beside X2") << QStringList{u"选测甲2"_s, u"选测甲"_s} << u"选测甲"_s << 1 << 1;
    QTest::newRow("two stations named X") << QStringList{u"选测乙"_s, u"选测乙"_s} << u"选测乙"_s << 1 << 1;
    QTest::newRow("no choice: the first found") << QStringList{u"选测丙2"_s, u"选测丙"_s} << u"选测丙"_s << -1 << 0;
}

void TestEditor::chosenLine_isTheStationShownAndChanged() {
    QFETCH(QStringList, names);
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, changed);
    Stations expected;
    for (int i = 0; i < names.size(); ++i) {
        program->addStation(testCategory, names[i], addressOf(i));
        expected.push_back({testCategory, names[i], addressOf(i)});
    }
    add& editor = openEditor();
    search(editor, text);
    if (line >= 0) {
        Mouse::chooseLine(editor.List1, line);
        QCOMPARE(editor.Text4.Text(), names[changed]);
        QCOMPARE(editor.Text5.Text(), addressOf(changed));
        QCOMPARE(Screen::MousePointer(), vbDefault);
        Mouse::click(editor.Image5);
        QCOMPARE(editor.Text4.Text() + editor.Text5.Text(), QString());
    }

    Keyboard::type(editor.Text4, u"改名台"_s);
    Keyboard::type(editor.Text5, u"http://renamed.example/"_s);
    Mouse::click(editor.Image4);

    QCOMPARE(program->boxes.prompts(), QStringList{u"数据已更新！"_s});
    expected[changed] = {testCategory, u"改名台"_s, u"http://renamed.example/"_s};
    QCOMPARE(stored(), expected);
    QCOMPARE(editor.Text4.Text() + editor.Text5.Text(), QString());
    QCOMPARE(editor.List1.lines(), names);
}

void TestEditor::stationWithoutAddress_showsEmptyText() {
    program->dir.changeCatalogue(u"INSERT INTO radio (类别, 名称, 网址) VALUES ('编辑测试', '空址台', NULL)"_s);
    add& editor = openEditor();
    search(editor, u"空址台"_s);
    Mouse::chooseLine(editor.List1, 0);
    QCOMPARE(editor.Text4.Text(), u"空址台"_s);
    QCOMPARE(editor.Text5.Text(), QString());
    QCOMPARE(program->boxes.prompts(), QStringList());
}

enum class Failure { AddRefused, ChangeRefused, NoCatalogue, ChangeBeforeSearch };

void TestEditor::failure_saysWhyAndChangesNothing_data() {
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("add refused") << Failure::AddRefused << u"无法增加电台：只读目录"_s;
    QTest::newRow("change refused") << Failure::ChangeRefused << u"无法修改电台：只读目录"_s;
    QTest::newRow("no catalogue") << Failure::NoCatalogue << u"无法增加电台：电台目录 tv.mdb 打不开"_s;
    QTest::newRow("change before any search")
        << Failure::ChangeBeforeSearch << u"还没有要修改的电台：请先搜索，再在搜索结果列表中选中它。"_s;
}

void TestEditor::failure_saysWhyAndChangesNothing() {
    QFETCH(Failure, failure);
    QFETCH(QString, prompt);
    program->addStation(testCategory, u"败测台"_s, addressOf(0));
    if (failure == Failure::NoCatalogue)
        program->dir.remove(u"tv.mdb"_s);
    if (failure == Failure::AddRefused || failure == Failure::ChangeRefused) {
        const QString write = failure == Failure::AddRefused ? u"INSERT"_s : u"UPDATE"_s;
        program->dir.changeCatalogue(
            u"CREATE TRIGGER refuse BEFORE %1 ON radio BEGIN SELECT RAISE(ABORT, '只读目录'); END"_s.arg(write));
    }
    add& editor = openEditor();

    const bool adding = failure == Failure::AddRefused || failure == Failure::NoCatalogue;
    if (failure == Failure::ChangeRefused)
        search(editor, u"败测台"_s);
    Keyboard::type(adding ? editor.Text1 : editor.Text4, u"新台"_s);
    Keyboard::type(adding ? editor.Text2 : editor.Text5, addressOf(1));
    Mouse::click(adding ? editor.Image1 : editor.Image4);

    QCOMPARE(program->boxes.prompts(), QStringList{prompt});
    QCOMPARE(program->boxes.boxes().first().title, AppTitle);
    if (failure != Failure::NoCatalogue)
        QCOMPARE(stored(), (Stations{Station{testCategory, u"败测台"_s, addressOf(0)}}));
}

void TestEditor::close_thenChannelSettings_startsAfresh() {
    add& first = openEditor();
    Keyboard::type(first.Text1, u"未存"_s);
    QTest::keyClick(&first.Combo1, Qt::Key_Backspace);
    Keyboard::type(first.Combo1, u"个性电视"_s);
    search(first, u"CCTV"_s);
    Mouse::chooseLine(first.List1, 0);
    first.setBackColor(0xC0FFC0); // as a theme paints it
    const QPointer<add> closed(&first);

    Mouse::click(first.Label2);
    QVERIFY(!program->forms.isLoaded(FormName::add));
    QTRY_VERIFY(closed.isNull());

    add& editor = openEditor();
    for (const TextBox* box : {&editor.Text1, &editor.Text2, &editor.Text3, &editor.Text4, &editor.Text5})
        QCOMPARE(box->Text(), QString());
    QCOMPARE(editor.Combo1.Text(), u" "_s);
    QCOMPARE(editor.List1.ListCount(), 0);
    QCOMPARE(editor.Caption(), QString());
    QCOMPARE(editor.BackColor(), DesignBackColor);
    QVERIFY(editor.Combo1.hasFocus());
}

void TestEditor::drag_docksTheBrowserPanelsToTheMainWindow() {
    add& editor = openEditor();
    Module1::moveWithMouseSeam.replace([](QWidget& window) { window.move(window.pos() + QPoint(30, 20)); });
    program->radio().move(5, 5);
    program->tv().move(5, 5);
    const QPoint before = editor.pos();

    Mouse::press(editor.Label1);
    Mouse::release(editor.Label1);

    QCOMPARE(editor.pos(), before + QPoint(30, 20));
    const Form1& main = program->main();
    QCOMPARE(QPoint(program->radio().Left(), program->radio().Top()), QPoint(main.Left() + main.Width(), main.Top()));
    QCOMPARE(QPoint(program->tv().Left(), program->tv().Top()),
             QPoint(main.Left() - program->tv().Width(), main.Top()));
}

void TestEditor::droppedPlaylist_isImportedAndCounted() {
    program->dir.write(u"drop.m3u"_s, "#EXTM3U\n"
                                      "#EXTINF:-1 group-title=\"编辑测试\",拖测甲\nhttp://drop.example/1\n"
                                      "#EXTINF:-1 group-title=\"编辑测试\",拖测甲\nhttp://drop.example/1\n"
                                      "#EXTINF:-1 group-title=\"编辑测试\",拖测乙\nfile:///music/song.mp3\n");
    add& editor = openEditor();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(program->dir.file(u"drop.m3u"_s))});
    const QPoint over = editor.Text1.geometry().center();

    QDragEnterEvent enter(over, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(over, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &drop);

    QTRY_COMPARE(program->boxes.prompts(),
                 QStringList{u"增加了 2 个电台（其中 1 个的网址无法播放），1 个原来就有。"_s});
    QCOMPARE(stored(), (Stations{{testCategory, u"拖测甲"_s, u"http://drop.example/1"_s},
                                 {testCategory, u"拖测乙"_s, u"file:///music/song.mp3"_s}}));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"

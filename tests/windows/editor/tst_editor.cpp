#include "runtime/Screen.h"
#include "runtime/WindowSystem.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"
#include "tests/support/ReadOnly.h"
#include "tests/support/WebServer.h"
#include "windows/editor/ChannelEditor.h"

#include <QAccessible>
#include <QDir>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QUrl>
#include <optional>

using namespace Qt::StringLiterals;
using Stations = std::vector<Catalogue::Station>;

Q_DECLARE_METATYPE(Stations)

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
    void add_withoutABackup_isStoredAndToldOnceARun_data();
    void add_withoutABackup_isStoredAndToldOnceARun();
    void search_listsTheStationsWhoseNameContainsTheText_data();
    void search_listsTheStationsWhoseNameContainsTheText();
    void chosenLine_isTheStationShownAndChanged_data();
    void chosenLine_isTheStationShownAndChanged();
    void stationWithoutAddress_showsEmptyText();
    void stationChangedElsewhere_isNotWrittenOver_andTheSearchRunsAgain_data();
    void stationChangedElsewhere_isNotWrittenOver_andTheSearchRunsAgain();
    void failure_saysWhyAndChangesNothing_data();
    void failure_saysWhyAndChangesNothing();
    void close_thenChannelSettings_startsAfresh();
    void drag_docksTheBrowserPanelsToTheMainWindow();
    void droppedPlaylist_isImportedAndCounted();
    void droppedLink_isImportedWhenAPlaylist_elseGoesIntoTheAddressBox_data();
    void droppedLink_isImportedWhenAPlaylist_elseGoesIntoTheAddressBox();
    void everyControl_hasANameAndEveryButtonAKey();
    void addedStation_isTheLastLineOfItsCategoryAtTheNextRelease();

private:
    add& openEditor();
    void drop(add& editor, QMimeData& dragged);
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

// Dragged over the editor and dropped there, as from a file manager or a browser.
void TestEditor::drop(add& editor, QMimeData& dragged) {
    const QPoint over = editor.Text1.geometry().center();
    QDragEnterEvent enter(over, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(over, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &dropped);
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
    QCOMPARE(stored(category), Stations(2, Catalogue::Station{category, name, address}));
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

void TestEditor::add_withoutABackup_isStoredAndToldOnceARun_data() {
    QTest::addColumn<bool>("folderMade"); // else a file is in its way
    QTest::newRow("backup folder read-only") << true;
    QTest::newRow("a file where the backup folder goes") << false;
}

// The user acts on purpose: a station for which no backup can be made is stored all the same, and a box says so
// once a run, in Chinese throughout.
void TestEditor::add_withoutABackup_isStoredAndToldOnceARun() {
    QFETCH(bool, folderMade);
    if (folderMade)
        QVERIFY(QDir(program->dir.path()).mkdir(u"backup"_s));
    else
        program->dir.write(u"backup"_s, "not a folder");
    const ReadOnly full(program->dir.file(u"backup"_s));
    if (!full.ok())
        QSKIP("the backup folder cannot be made read-only here");
    add& editor = openEditor();
    Keyboard::type(editor.Text1, u"无备份台"_s);
    Keyboard::type(editor.Text2, addressOf(1));

    Mouse::click(editor.Image1);
    Mouse::click(editor.Image1);

    const QStringList prompts = program->boxes.prompts();
    QCOMPARE(prompts.size(), 3);
    QVERIFY2(prompts[0].startsWith(u"今天无法备份电台目录"_s), qPrintable(prompts[0]));
    if (!folderMade)
        QVERIFY2(prompts[0].contains(u"（无法建立文件夹（%1））"_s.arg(program->dir.file(u"backup"_s))),
                 qPrintable(prompts[0]));
    QCOMPARE(prompts.mid(1), QStringList(2, u"无备份台 已增加！"_s));
    QCOMPARE(stored(u" "_s).size(), size_t(2));
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

void TestEditor::stationChangedElsewhere_isNotWrittenOver_andTheSearchRunsAgain_data() {
    QTest::addColumn<QString>("elsewhere"); // SQL run behind the editor's back once the station is shown
    QTest::addColumn<QStringList>("lines"); // the search's lines afterwards
    QTest::newRow("renamed") << u"UPDATE radio SET 名称 = '换测台二' WHERE 名称 = '换测台'"_s
                             << QStringList{u"换测台二"_s};
    QTest::newRow("moved to another address")
        << u"UPDATE radio SET 网址 = 'http://moved.example/' WHERE 名称 = '换测台'"_s << QStringList{u"换测台"_s};
    QTest::newRow("deleted") << u"DELETE FROM radio WHERE 名称 = '换测台'"_s << QStringList();
    // The engine gives the highest row number to the next station added once its station is deleted.
    QTest::newRow("deleted, its row given to another")
        << u"DELETE FROM radio WHERE 名称 = '换测台'; "
           "INSERT INTO radio (类别, 名称, 网址) VALUES ('编辑测试', '后来台', 'http://later.example/')"_s
        << QStringList();
}

void TestEditor::stationChangedElsewhere_isNotWrittenOver_andTheSearchRunsAgain() {
    QFETCH(QString, elsewhere);
    QFETCH(QStringList, lines);
    program->addStation(testCategory, u"换测台"_s, addressOf(0));
    add& editor = openEditor();
    search(editor, u"换测"_s);
    Mouse::chooseLine(editor.List1, 0);
    program->dir.changeCatalogue(elsewhere);
    const Stations before = stored();

    Keyboard::type(editor.Text4, u"改名台"_s);
    Mouse::click(editor.Image4);

    QCOMPARE(program->boxes.prompts(),
             QStringList{u"这个电台已在别处被修改或删除，这次修改没有保存。现在重新搜索，请再选中要修改的电台。"_s});
    QCOMPARE(stored(), before);
    QCOMPARE(editor.List1.lines(), lines);
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
        QCOMPARE(stored(), (Stations{Catalogue::Station{testCategory, u"败测台"_s, addressOf(0)}}));
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
    WindowSystem::startMoveSeam.replace([](QWidget& window) { window.move(window.pos() + QPoint(30, 20)); });
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

    drop(editor, files);

    QTRY_COMPARE(
        program->boxes.prompts(),
        QStringList{u"增加了 2 个电台（其中 1 个的网址无法播放），1 个原来就有。这些类别不在任何面板或快速选台里，"
                    "面板上看不到它们的电台：编辑测试（2 个）。"_s});
    QCOMPARE(stored(), (Stations{{testCategory, u"拖测甲"_s, u"http://drop.example/1"_s},
                                 {testCategory, u"拖测乙"_s, u"file:///music/song.mp3"_s}}));
}

void TestEditor::droppedLink_isImportedWhenAPlaylist_elseGoesIntoTheAddressBox_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("asText"); // as a browser drags a link's address, not as a list of links
    QTest::addColumn<QString>("addressBox");
    QTest::addColumn<Stations>("added");
    const Stations none;
    const Stations listed{{testCategory, u"链测"_s, u"http://link.example/1"_s}};
    QTest::newRow("a playlist") << u"/list.m3u"_s << false << QString() << listed;
    QTest::newRow("a playlist as text") << u"/list.m3u"_s << true << QString() << listed;
    QTest::newRow("a stream") << u"/stream"_s << false << u"/stream"_s << none;
    QTest::newRow("a page as text") << u"/page"_s << true << u"/page"_s << none;
}

void TestEditor::droppedLink_isImportedWhenAPlaylist_elseGoesIntoTheAddressBox() {
    QFETCH(QString, path);
    QFETCH(bool, asText);
    QFETCH(QString, addressBox);
    QFETCH(Stations, added);
    WebServer server([](const WebServer::Request& request) {
        if (request.path == "/list.m3u")
            return WebServer::answer("200 OK", "#EXTINF:-1 group-title=\"编辑测试\",链测\nhttp://link.example/1\n");
        if (request.path == "/stream")
            return WebServer::answer("200 OK", "ID3" + QByteArray(600, 'U'), "Content-Type: audio/mpeg\r\n");
        return WebServer::answer("200 OK", "<!doctype html><title>Live</title>");
    });
    const QString link = server.address(path).toString();
    add& editor = openEditor();
    QMimeData dragged;
    if (asText)
        dragged.setText(u"  "_s + link + u"\n"_s);
    else
        dragged.setUrls({QUrl(link)});

    drop(editor, dragged);

    if (addressBox.isEmpty()) {
        QTRY_COMPARE(program->boxes.prompts().size(), 1);
        QCOMPARE(editor.Text2.Text(), QString());
    } else {
        QTRY_COMPARE(editor.Text2.Text(), server.address(addressBox).toString());
        QCOMPARE(program->boxes.prompts(), QStringList());
    }
    QCOMPARE(stored(), added);
}

// The keys do what the buttons do: Enter in the search box and Alt+S search, Alt+C and Alt+X empty the upper and the
// lower boxes, Alt+A adds, Ctrl+W closes. The window keeps its name whatever the title says.
void TestEditor::everyControl_hasANameAndEveryButtonAKey() {
    add& editor = openEditor();
    QStringList names;
    for (QWidget* control : editor.findChildren<QWidget*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        const bool button = accessible->role() == QAccessible::Button;
        if (control->focusPolicy() != Qt::NoFocus && !control->focusProxy() &&
            control->parentWidget() == editor.client())
            names.append(accessible->text(QAccessible::Name));
        if (button)
            QVERIFY2(accessible->text(QAccessible::Description).contains(u"快捷键"_s),
                     qPrintable(control->objectName()));
        if (qobject_cast<Image*>(control))
            QVERIFY2(button && !accessible->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(names.size(), 7); // the five boxes, the category box and the list
    QVERIFY(!names.contains(QString()));
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());

    Keyboard::type(editor.Text3, u"CCTV"_s);
    QTest::keyClick(&editor.Text3, Qt::Key_Return);
    QVERIFY(editor.List1.ListCount() > 0);
    QCOMPARE(QAccessible::queryAccessibleInterface(&editor)->text(QAccessible::Name), u"频道设置"_s);
    Keyboard::type(editor.Text4, u"改"_s);
    QTest::keyClick(&editor.Text4, Qt::Key_X, Qt::AltModifier);
    QCOMPARE(editor.Text4.Text(), QString());

    Keyboard::type(editor.Text1, u"键盘台"_s);
    Keyboard::type(editor.Text2, u"http://keys.example/"_s);
    QTest::keyClick(&editor.Text2, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(editor.Text1.Text() + editor.Text2.Text(), QString());
    Keyboard::type(editor.Text1, u"键盘台"_s);
    Keyboard::type(editor.Text2, u"http://keys.example/"_s);
    QTest::keyClick(&editor.Text2, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(program->boxes.prompts(), QStringList{u"键盘台 已增加！"_s});

    QTest::keyClick(&editor.Text2, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!program->forms.isLoaded(FormName::add));
}

// A long list, whose last page was read before the station came: the next release of the category lists it.
void TestEditor::addedStation_isTheLastLineOfItsCategoryAtTheNextRelease() {
    program->dir.changeCatalogue(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 700) "
                                 "INSERT INTO radio (类别, 名称, 网址) SELECT '个性广播', '台 ' || i, 'x' FROM n"_s);
    program->start();
    CategoryPanel& radio = program->radio();
    radio.Show();
    Mouse::click(categoryLabel(radio, u"个性广播"_s));
    const int before = radio.List1.ListCount();
    QTest::keyClick(&radio.List1, Qt::Key_End);
    add& editor = openEditor();
    QTest::keyClick(&editor.Combo1, Qt::Key_Backspace);
    Keyboard::type(editor.Combo1, u"个性广播"_s);
    Keyboard::type(editor.Text1, u"新来的台"_s);
    Keyboard::type(editor.Text2, u"http://new.example/"_s);
    Mouse::click(editor.Image1);

    Mouse::click(categoryLabel(radio, u"个性广播"_s));
    QCOMPARE(radio.List1.ListCount(), before + 1);
    QCOMPARE(radio.List1.List(before), u"新来的台"_s);
    QCOMPARE(radio.Label9.Caption(), u"总共有%1 个电台"_s.arg(before + 1));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"

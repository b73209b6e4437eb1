#include "tests/support/Mouse.h"
#include "tests/support/Program.h"
#include "tests/support/ReadOnly.h"
#include "windows/appearance/AppearancePanel.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray emeraldTheme = "[setup]\r\ncolor=&HC0FFC0\r\n";
constexpr OleColor emerald = 0xC0FFC0;

// The background colour of every themed window, in painting order, loading none.
QList<std::optional<OleColor>> backColours(Forms& forms) {
    QList<std::optional<OleColor>> colours;
    for (FormName window : ThemedWindows)
        colours.append(forms.isLoaded(window) ? std::optional(forms.form(window).BackColor()) : std::nullopt);
    return colours;
}

QList<std::optional<OleColor>> allSix(OleColor colour) {
    return QList<std::optional<OleColor>>(ThemedWindows.size(), colour);
}

} // namespace

// The appearance panel, opened from the main window's "外观设置" and used as a user uses it.
class TestSetup : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void nothingIsSaved_untilTheReleaseWithAThemeChosen();
    void save_writesTheThemeAndPaintsAllSixWindows_data();
    void save_writesTheThemeAndPaintsAllSixWindows();
    void save_loadsAWindowNotLoadedYet_hiddenAndPainted();
    void failedSave_showsOneBox_andChangesNothing_data();
    void failedSave_showsOneBox_andChangesNothing();

private:
    // Starts the program with these settings and opens the appearance panel beside the main window.
    setup& openPanel(const QByteArray& settings = emeraldTheme) {
        program->dir.write(u"tvset.ini"_s, settings);
        program->start();
        Mouse::click(program->main().Label7);
        program->boxes.clear();
        return program->forms.get<setup>(FormName::setup);
    }
};

void TestSetup::nothingIsSaved_untilTheReleaseWithAThemeChosen() {
    setup& panel = openPanel();
    QVERIFY(panel.isVisible());
    for (const auto& option : panel.Option1)
        QVERIFY2(!option->Value(), qPrintable(option->objectName()));

    Mouse::press(panel.Label1);
    QCOMPARE(panel.Label1.BorderStyle(), 1);
    Mouse::release(panel.Label1);
    QCOMPARE(panel.Label1.BorderStyle(), 0);
    Mouse::click(*panel.Option1[3]);
    QVERIFY(panel.Option1[3]->Value());

    QCOMPARE(program->dir.read(u"tvset.ini"_s), emeraldTheme);
    QVERIFY(!QFile::exists(program->dir.file(u"tvset.tmp"_s)));
    QCOMPARE(backColours(program->forms), allSix(emerald));
    QVERIFY(program->boxes.boxes().isEmpty());
}

void TestSetup::save_writesTheThemeAndPaintsAllSixWindows_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<OleColor>("colour");

    QTest::newRow("默认色, left button") << 6 << Qt::LeftButton << QByteArray("&HFFC0C0") << 16761024;
    QTest::newRow("冰蓝色, right button") << 1 << Qt::RightButton << QByteArray("&HD29788") << 13801352;
    QTest::newRow("翡翠绿 again, middle button") << 0 << Qt::MiddleButton << QByteArray("&HC0FFC0") << 12648384;
}

// Every window is painted, the hidden ones too; the panel stays open with its option selected, and the controls
// keep their own colours.
void TestSetup::save_writesTheThemeAndPaintsAllSixWindows() {
    QFETCH(int, index);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QByteArray, stored);
    QFETCH(OleColor, colour);
    setup& panel = openPanel();
    const QColor listColour = program->tv().List1.palette().color(QPalette::Base);

    Mouse::click(*panel.Option1[index]);
    Mouse::click(panel.Label1, button);

    QCOMPARE(program->dir.read(u"tvset.ini"_s), "[setup]\r\ncolor=" + stored + "\r\n");
    QCOMPARE(program->dir.read(u"tvset.tmp"_s), program->dir.read(u"tvset.ini"_s));
    QCOMPARE(backColours(program->forms), allSix(colour));
    QCOMPARE(program->tv().palette().color(QPalette::Window), toQColor(colour));
    QVERIFY(!program->tv().isVisible());
    QCOMPARE(program->tv().List1.palette().color(QPalette::Base), listColour);
    QVERIFY(panel.isVisible() && panel.Option1[index]->Value());
    QVERIFY(program->boxes.boxes().isEmpty());
}

// A colour that is no number leaves the late windows unloaded at start; the save loads them, hidden, and they
// open in the new colour.
void TestSetup::save_loadsAWindowNotLoadedYet_hiddenAndPainted() {
    setup& panel = openPanel("[setup]\r\ncolor=light blue\r\n");
    QVERIFY(!program->forms.isLoaded(FormName::yz));

    Mouse::click(*panel.Option1[2]);
    Mouse::click(panel.Label1);
    QVERIFY(program->forms.isLoaded(FormName::yz));
    QVERIFY(!program->forms.form(FormName::yz).isVisible());

    Mouse::click(program->main().Label6);
    QVERIFY(program->forms.form(FormName::yz).isVisible());
    QCOMPARE(program->forms.form(FormName::yz).BackColor(), 0xC0FFFF);
}

void TestSetup::failedSave_showsOneBox_andChangesNothing_data() {
    QTest::addColumn<QString>("readOnly");
    QTest::addColumn<QString>("reason"); // %1 the program directory

    // The system's wording of the cause, in Chinese throughout, with the file.
    QTest::newRow("read-only settings file") << u"tvset.ini"_s << u"文件只读，不能写入（%1/tvset.ini）"_s;
    QTest::newRow("read-only program directory") << u"."_s << u"没有访问权限（%1/tvset.tmp）"_s;
    QTest::newRow("a theme that is no colour") << QString() << u"不是颜色值：blue"_s;
}

void TestSetup::failedSave_showsOneBox_andChangesNothing() {
    QFETCH(QString, readOnly);
    QFETCH(QString, reason);
    setup& panel = openPanel();
    std::optional<ReadOnly> locked;
    if (readOnly.isEmpty()) {
        panel.Option1[4]->setToolTip(u"blue"_s);
    } else {
        locked.emplace(program->dir.file(readOnly));
        if (!locked->ok())
            QSKIP("this file system cannot make a file read-only for root");
    }

    Mouse::click(*panel.Option1[4]);
    Mouse::click(panel.Label1);

    QCOMPARE(program->boxes.boxes().size(), 1);
    const MsgBoxScript::Box box = program->boxes.boxes().first();
    QCOMPARE(box.prompt, u"无法保存设置："_s + reason.arg(program->dir.path()));
    QCOMPARE(box.title, AppTitle);
    QCOMPARE(backColours(program->forms), allSix(emerald));
    if (locked)
        QCOMPARE(program->dir.read(u"tvset.ini"_s), emeraldTheme);
    QVERIFY(panel.isVisible());
}

QTEST_MAIN(TestSetup)
#include "tst_appearance.moc"

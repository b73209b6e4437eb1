#include "runtime/WindowSystem.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"

#include <QApplication>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

bool atLeftDock(const Form& panel, const Form& main) {
    return panel.Left() == main.Left() - panel.Width() && panel.Top() == main.Top();
}

bool atRightDock(const Form& panel, const Form& main) {
    return panel.Left() == main.Left() + main.Width() && panel.Top() == main.Top();
}

ButtonControl& toggleNamed(Form1& main, const QString& name) {
    const QHash<QString, ButtonControl*> toggles{{u"Image5"_s, &main.Image5},
                                                 {u"Image1"_s, &main.Image1},
                                                 {u"Label6"_s, &main.Label6},
                                                 {u"Label7"_s, &main.Label7},
                                                 {u"Label5"_s, &main.Label5}};
    return *toggles.value(name);
}

} // namespace

// The five buttons of the main window that bring up the side panels.
class TestToggles : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void radioThenTv_openOnePanelOnEachSide_andEachClosesOnlyItsOwn();
    void tooltips_announceTheNextAction_data();
    void tooltips_announceTheNextAction();
    void panelsOfOneSide_shareItsDockingPosition();
    void panelOpenedAfterTheMainWindowMoved_docksAtTheNewPlace();
    void minimiseAndRestore_withEveryPanelOpen();
    void channelSettings_neverOpensASecondEditor();
    void closedPanel_keepsItsList();
    void closeRequestOnAPanel_closesItsToggle_data();
    void closeRequestOnAPanel_closesItsToggle();
    void keys_openEachSideWindowWithTheFocusItsDesignGives_EscReturns_andTheKeyCloses_data();
    void keys_openEachSideWindowWithTheFocusItsDesignGives_EscReturns_andTheKeyCloses();
};

void TestToggles::init() {
    ProgramTest::init();
    program->start();
}

void TestToggles::radioThenTv_openOnePanelOnEachSide_andEachClosesOnlyItsOwn() {
    Form1& main = program->main();
    Mouse::click(main.Image1);
    Mouse::click(main.Image5);
    QVERIFY(program->radio().isVisible() && program->tv().isVisible());
    QVERIFY(atRightDock(program->radio(), main));
    QVERIFY(atLeftDock(program->tv(), main));
    QCOMPARE(main.Image1.BorderStyle(), 1);
    QCOMPARE(main.Image5.BorderStyle(), 1);

    Mouse::click(main.Image1);
    QVERIFY(!program->radio().isVisible() && program->tv().isVisible());
    QCOMPARE(main.Image1.BorderStyle(), 0);
    QCOMPARE(main.Image5.BorderStyle(), 1);

    Mouse::click(main.Image5, Qt::RightButton);
    QVERIFY(!program->tv().isVisible());
    QCOMPARE(main.Image5.BorderStyle(), 0);
}

void TestToggles::tooltips_announceTheNextAction_data() {
    QTest::addColumn<QString>("toggle");
    QTest::addColumn<QStringList>("tooltips"); // at start, while open, after closing, open again
    QTest::newRow("TV") << u"Image5"_s
                        << QStringList{u"打开电视选框"_s, u"关闭电视选框"_s, u"打开电视选框"_s, u"关闭电视选框"_s};
    QTest::newRow("radio") << u"Image1"_s
                           << QStringList{u"打开广播选框"_s, u"关闭电台选框"_s, u"打开电台选框"_s, u"关闭电台选框"_s};
    QTest::newRow("presets") << u"Label6"_s
                             << QStringList{QString(), u"关闭预置电台选框"_s, u"打开预置电台选框"_s,
                                            u"关闭预置电台选框"_s};
    QTest::newRow("appearance") << u"Label7"_s
                                << QStringList{QString(), u"关闭外观设置选框"_s, u"打开外观设置选框"_s,
                                               u"关闭外观设置选框"_s};
    QTest::newRow("channel editor") << u"Label5"_s << QStringList(4, u"添加修改电视台地址"_s);
}

void TestToggles::tooltips_announceTheNextAction() {
    QFETCH(QString, toggle);
    QFETCH(QStringList, tooltips);
    Form1& main = program->main();
    ButtonControl& control = toggleNamed(main, toggle);
    QStringList seen{control.ToolTipText()};
    for (int release = 0; release < 3; ++release) {
        Mouse::click(control);
        seen.append(control.ToolTipText());
    }
    QCOMPARE(seen, tooltips);
}

void TestToggles::panelsOfOneSide_shareItsDockingPosition() {
    Form1& main = program->main();
    Mouse::click(main.Image5);
    Mouse::click(main.Label6);
    Mouse::click(main.Image1);
    Mouse::click(main.Label7);
    Form& presets = program->forms.form(FormName::yz);
    Form& appearance = program->forms.form(FormName::setup);
    QVERIFY(presets.isVisible() && appearance.isVisible());
    QCOMPARE(presets.pos(), program->tv().pos() + QPoint(program->tv().width() - presets.width(), 0));
    QVERIFY(atLeftDock(presets, main));
    QCOMPARE(appearance.pos(), program->radio().pos());
    QCOMPARE(main.Label6.BorderStyle(), 1);

    // Closing one of a side leaves the other open, its toggle unchanged.
    Mouse::click(main.Label6);
    QVERIFY(!presets.isVisible() && program->tv().isVisible());
    QCOMPARE(main.Label6.BorderStyle(), 0);
    QCOMPARE(main.Image5.BorderStyle(), 1);
}

void TestToggles::panelOpenedAfterTheMainWindowMoved_docksAtTheNewPlace() {
    Form1& main = program->main();
    Form& appearance = program->forms.form(FormName::setup);
    Mouse::click(main.Label7);
    const QPoint oldPlace = appearance.pos();

    WindowSystem::startMoveSeam.replace([](QWidget& window) { window.move(window.pos() + QPoint(60, -30)); });
    Mouse::click(main.Label1);
    QCOMPARE(appearance.pos(), oldPlace); // only the browser panels follow a drag

    Mouse::click(main.Label7);
    Mouse::click(main.Label7);
    QVERIFY(atRightDock(appearance, main));
}

void TestToggles::minimiseAndRestore_withEveryPanelOpen() {
    Form1& main = program->main();
    for (ButtonControl* toggle :
         std::initializer_list<ButtonControl*>{&main.Image5, &main.Image1, &main.Label6, &main.Label7})
        Mouse::click(*toggle);
    Form& presets = program->forms.form(FormName::yz);
    Form& appearance = program->forms.form(FormName::setup);

    Mouse::click(main.Image3);
    QVERIFY(!program->tv().isVisible() && !program->radio().isVisible());
    QVERIFY(presets.isVisible() && appearance.isVisible());

    main.setWindowState(Qt::WindowNoState);
    QVERIFY(program->tv().isVisible() && program->radio().isVisible());
    QVERIFY(presets.isVisible() && appearance.isVisible());
    for (ButtonControl* toggle :
         std::initializer_list<ButtonControl*>{&main.Image5, &main.Image1, &main.Label6, &main.Label7})
        QCOMPARE(toggle->BorderStyle(), 1);
}

void TestToggles::channelSettings_neverOpensASecondEditor() {
    Form1& main = program->main();
    Form& editor = program->forms.form(FormName::add);
    for (int release = 0; release < 3; ++release)
        Mouse::click(main.Label5);
    QVERIFY(editor.isVisible());
    QCOMPARE(&program->forms.form(FormName::add), &editor);
    QCOMPARE(main.Label5.BorderStyle(), 0);

    // Unloaded by its own close, it is loaded afresh at the next release.
    program->forms.unload(FormName::add);
    Mouse::click(main.Label5);
    QVERIFY(program->forms.isLoaded(FormName::add));
    QVERIFY(program->forms.form(FormName::add).isVisible());
}

void TestToggles::closedPanel_keepsItsList() {
    Form1& main = program->main();
    Mouse::click(main.Image5);
    Mouse::click(categoryLabel(program->tv(), u"国内电视"_s));
    const QStringList listed = program->tv().List1.lines();
    QVERIFY(!listed.isEmpty());

    Mouse::click(main.Image5);
    Mouse::click(main.Image5);
    QCOMPARE(program->tv().List1.lines(), listed);
    QVERIFY(program->tv().Label9.Caption().startsWith(u"总共有"_s));
}

void TestToggles::closeRequestOnAPanel_closesItsToggle_data() {
    QTest::addColumn<QString>("toggle");
    QTest::addColumn<FormName>("panel");
    QTest::newRow("TV") << u"Image5"_s << FormName::Form3;
    QTest::newRow("radio") << u"Image1"_s << FormName::Form2;
    QTest::newRow("presets") << u"Label6"_s << FormName::yz;
    QTest::newRow("appearance") << u"Label7"_s << FormName::setup;
}

// Alt+F4 under a window manager: the toggle must not go on reading open, or its next click would only "close"
// the panel that is gone already.
void TestToggles::closeRequestOnAPanel_closesItsToggle() {
    QFETCH(QString, toggle);
    QFETCH(FormName, panel);
    ButtonControl& control = toggleNamed(program->main(), toggle);
    Form& window = program->forms.form(panel);
    Mouse::click(control);
    const QString tipWhileOpen = control.ToolTipText();

    window.close();
    QVERIFY(!window.isVisible());
    QCOMPARE(control.BorderStyle(), 0);
    QVERIFY(control.ToolTipText().startsWith(u"打开"_s));

    Mouse::click(control);
    QVERIFY(window.isVisible());
    QCOMPARE(control.BorderStyle(), 1);
    QCOMPARE(control.ToolTipText(), tipWhileOpen);
}

void TestToggles::keys_openEachSideWindowWithTheFocusItsDesignGives_EscReturns_andTheKeyCloses_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<FormName>("window");
    QTest::addColumn<QString>("focus");
    QTest::newRow("TV") << Qt::Key_T << FormName::Form3 << u"List1"_s;
    QTest::newRow("radio") << Qt::Key_R << FormName::Form2 << u"List1"_s;
    QTest::newRow("presets") << Qt::Key_P << FormName::yz << u"Combo1"_s;
    QTest::newRow("appearance") << Qt::Key_A << FormName::setup << u"Option1(0)"_s;
    QTest::newRow("channel editor") << Qt::Key_C << FormName::add << u"Combo1"_s;
}

void TestToggles::keys_openEachSideWindowWithTheFocusItsDesignGives_EscReturns_andTheKeyCloses() {
    QFETCH(Qt::Key, key);
    QFETCH(FormName, window);
    QFETCH(QString, focus);
    Form1& main = program->main();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    QTest::keyClick(&main, key);
    Form& opened = program->forms.form(window);
    QVERIFY(opened.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&opened));
    // The window's own focus: Qt's offscreen platform leaves the application's focus with the main window when the
    // window opened is a dialog of it; on X11 the two agree (the end-to-end screen reader test).
    QWidget* keyboard = opened.focusWidget();
    QVERIFY(keyboard);
    QWidget* designed = opened.findChild<QWidget*>(focus);
    QVERIFY2(keyboard == designed || designed->isAncestorOf(keyboard), qPrintable(keyboard->objectName()));

    QTest::keyClick(keyboard, Qt::Key_Escape);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QVERIFY(opened.isVisible());

    QTest::keyClick(&main, key);
    QVERIFY(!program->forms.isLoaded(window) || !program->forms.form(window).isVisible());
}

QTEST_MAIN(TestToggles)
#include "tst_toggles.moc"

#include "app/ConvertOldCatalogue.h"
#include "catalogue/JetFormat.h"
#include "runtime/Twips.h"
#include "runtime/WindowSystem.h"
#include "tests/support/JetSamples.h"
#include "tests/support/Mouse.h"
#include "tests/support/Program.h"

#include <QAccessible>
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QList<FormName> allWindows{FormName::Form1, FormName::Form2, FormName::Form3,
                                 FormName::add,   FormName::setup, FormName::yz};

bool staysOnTop(const QWidget& window) {
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// What a screen reader hears of a control or window: its role and its name.
QPair<QAccessible::Role, QString> heard(QWidget& control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
    return {accessible->role(), accessible->text(QAccessible::Name)};
}

void activate(QWidget& window) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("the window never became active");
}

} // namespace

// Start-up and the main window's own buttons, driven as a user drives them.
class TestForm1 : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void startUp_paintsAllSixWindowsInTheStoredColour_data();
    void startUp_paintsAllSixWindowsInTheStoredColour();
    void startUp_withoutSettingsFile_showsSixBoxesAndKeepsTheDesignColour();
    void startUp_withColourThatIsNoNumber_leavesTheLateWindowsUnloaded();
    void startUp_withoutCatalogue_showsNoBoxAndRunsOn();
    void failedLoad_isRecorded_andTheNextLoadStartsAfresh();
    void startUp_withAnOldCatalogue_convertsItFirstAndSaysSoInOneBox_data();
    void startUp_withAnOldCatalogue_convertsItFirstAndSaysSoInOneBox();
    void startUp_showsOnlyTheMainWindow_centredAndOnTop();

    void drag_docksBothBrowserPanelsAtTheNewPlace();
    void rightButtonOnTitle_doesNotMoveButDocksThePanels();
    void stayOnTop_toggledTwice_clearsThenRestoresTheBorder();
    void anotherStart_bringsTheMinimisedMainWindowBackWithItsPanels();
    void exit_unloadsEveryWindowInOrderAndEnds();
    void closeRequest_runsTheExit();
    void pressEffect_showsWhilePressed_andReleaseOutsideStillActs();
    void links_openTheirPagesThroughTheShell();
    void links_thatTheShellRefuses_sayWhichPage();
    void screenReader_hearsEachButtonAsWhatItDoes_andEachSlotByItsStationNow();
    void keys_doWhatTheirButtonsDo();
    void tab_reachesTheButtonsInTurn_andSpaceActsOnlyOnOneReached();
};

void TestForm1::startUp_paintsAllSixWindowsInTheStoredColour_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("hexadecimal") << QByteArray("[setup]\r\ncolor=&HC0FFC0\r\n");
    QTest::newRow("decimal") << QByteArray("[setup]\r\ncolor=12648384\r\n");
}

void TestForm1::startUp_paintsAllSixWindowsInTheStoredColour() {
    QFETCH(QByteArray, settings);
    program->dir.write(u"tvset.ini"_s, settings);
    program->start();

    QVERIFY(program->boxes.boxes().isEmpty());
    // The late windows count as loaded, yet are built only at their first use, then in the colour.
    for (QWidget* built : QApplication::topLevelWidgets())
        QVERIFY(!QList<QString>({u"add"_s, u"setup"_s, u"yz"_s}).contains(built->objectName()));
    for (FormName window : allWindows) {
        QVERIFY(program->forms.isLoaded(window));
        QCOMPARE(program->forms.form(window).BackColor(), 0xC0FFC0);
        QCOMPARE(program->forms.form(window).palette().color(QPalette::Window), QColor(192, 255, 192));
    }
}

void TestForm1::startUp_withoutSettingsFile_showsSixBoxesAndKeepsTheDesignColour() {
    program->dir.remove(u"tvset.ini"_s);
    program->start();

    QCOMPARE(program->boxes.prompts(), QStringList(6, u"节点未找到"_s));
    QCOMPARE(program->boxes.boxes().first().title, u"Vimaro2.0"_s);
    QCOMPARE(program->boxes.boxes().first().buttons, vbOKOnly);
    for (FormName window : {FormName::Form1, FormName::Form2, FormName::Form3})
        QCOMPARE(program->forms.form(window).BackColor(), DesignBackColor);
    QVERIFY(!program->forms.isLoaded(FormName::add));
}

void TestForm1::startUp_withColourThatIsNoNumber_leavesTheLateWindowsUnloaded() {
    program->dir.write(u"tvset.ini"_s, "[setup]\r\ncolor=light blue\r\n");
    program->start();

    QVERIFY(program->boxes.boxes().isEmpty());
    QCOMPARE(program->main().BackColor(), DesignBackColor);
    QCOMPARE(program->radio().BackColor(), DesignBackColor);
    for (FormName window : {FormName::add, FormName::setup, FormName::yz})
        QVERIFY(!program->forms.isLoaded(window));
    // Loaded later at first use, still in the design colour.
    QCOMPARE(program->forms.form(FormName::setup).BackColor(), DesignBackColor);
}

void TestForm1::startUp_withoutCatalogue_showsNoBoxAndRunsOn() {
    program->dir.remove(u"tv.mdb"_s);
    program->start();

    QVERIFY(program->boxes.boxes().isEmpty());
    QVERIFY(program->main().isVisible());
    for (FormName window : allWindows)
        QVERIFY(program->forms.isLoaded(window));
    // The panels could not finish loading, so start-up never made them stay on top; the toggle still can.
    QVERIFY(!staysOnTop(program->radio()));
    Mouse::click(program->main().Image7);
    Mouse::click(program->main().Image7);
    QVERIFY(staysOnTop(program->radio()));
}

void TestForm1::failedLoad_isRecorded_andTheNextLoadStartsAfresh() {
    const QByteArray catalogue = program->dir.read(u"tv.mdb"_s);
    program->dir.remove(u"tv.mdb"_s);
    program->start();
    QVERIFY(program->forms.loadFailed(FormName::Form3));

    // The channel editor is loaded again from "频道设置" after its close, catalogue or none.
    program->forms.unload(FormName::add);
    Mouse::click(program->main().Label5);
    QVERIFY(program->forms.form(FormName::add).isVisible());
    QVERIFY(program->main().isVisible());

    program->dir.write(u"tv.mdb"_s, catalogue);
    program->forms.unload(FormName::Form3);
    program->forms.form(FormName::Form3);
    QVERIFY(!program->forms.loadFailed(FormName::Form3));
}

void TestForm1::startUp_withAnOldCatalogue_convertsItFirstAndSaysSoInOneBox_data() {
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<QString>("saying");
    QTest::newRow("converted") << JetSamples::bytes(u"tv-jet4-reordered.mdb"_s) << u"20 个电台已转入"_s;
    QTest::newRow("not convertible") << JetSamples::bytes(u"jet4-datetest.mdb"_s) << u"旧电台目录无法转换"_s;
}

void TestForm1::startUp_withAnOldCatalogue_convertsItFirstAndSaysSoInOneBox() {
    QFETCH(QByteArray, old);
    QFETCH(QString, saying);
    program->dir.write(u"tv.mdb"_s, old);

    convertOldCatalogue();
    program->start();

    QCOMPARE(program->boxes.boxes().size(), 1);
    QVERIFY2(program->boxes.prompts().first().contains(saying), qPrintable(program->boxes.prompts().first()));
    QCOMPARE(program->boxes.boxes().first().title, AppTitle);
    const bool converted = program->dir.read(u"tv.mdb.jet"_s) == old;
    QCOMPARE(converted, !jetFormat(program->dir.catalogue()));
    QVERIFY(program->main().isVisible());
}

void TestForm1::startUp_showsOnlyTheMainWindow_centredAndOnTop() {
    program->start();
    Form1& main = program->main();

    QCOMPARE(main.Width(), 2205);
    QCOMPARE(main.Height(), 3420);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(main.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(main.geometry().center().y() - screen.center().y()) <= 1);
    QVERIFY(staysOnTop(main) && staysOnTop(program->radio()) && staysOnTop(program->tv()));
    QVERIFY(!staysOnTop(program->forms.form(FormName::setup)));
    for (FormName window : allWindows)
        QCOMPARE(program->forms.form(window).isVisible(), window == FormName::Form1);
    QCOMPARE(main.Image7.BorderStyle(), 1);
    QCOMPARE(main.Image5.ToolTipText(), u"打开电视选框"_s);
    QCOMPARE(main.Image1.ToolTipText(), u"打开广播选框"_s);
    // The panels load docked against the main window.
    QCOMPARE(program->radio().Left(), main.Left() + main.Width());
    QCOMPARE(program->tv().Left(), main.Left() - program->tv().Width());
}

void TestForm1::drag_docksBothBrowserPanelsAtTheNewPlace() {
    program->start();
    Form1& main = program->main();
    WindowSystem::startMoveSeam.replace([](QWidget& window) { window.move(window.pos() + QPoint(-40, 25)); });
    const QPoint before = main.pos();

    Mouse::press(main.Label1);
    Mouse::release(main.Label1);

    QCOMPARE(main.pos(), before + QPoint(-40, 25));
    QCOMPARE(program->radio().Left(), main.Left() + main.Width());
    QCOMPARE(program->radio().Top(), main.Top());
    QCOMPARE(program->tv().Left(), main.Left() - program->tv().Width());
    QCOMPARE(program->tv().Top(), main.Top());
}

void TestForm1::rightButtonOnTitle_doesNotMoveButDocksThePanels() {
    program->start();
    Form1& main = program->main();
    bool moved = false;
    WindowSystem::startMoveSeam.replace([&](QWidget&) { moved = true; });
    program->radio().move(5, 5);
    program->tv().move(5, 5);
    const QPoint before = main.pos();

    Mouse::press(main.Label1, Qt::RightButton);

    QVERIFY(!moved);
    QCOMPARE(main.pos(), before);
    QCOMPARE(program->radio().Left(), main.Left() + main.Width());
    QCOMPARE(program->tv().Left(), main.Left() - program->tv().Width());
    QCOMPARE(program->tv().Top(), main.Top());
}

void TestForm1::stayOnTop_toggledTwice_clearsThenRestoresTheBorder() {
    program->start();
    Form1& main = program->main();

    Mouse::click(main.Image7);
    QCOMPARE(main.Image7.BorderStyle(), 0);
    QVERIFY(!staysOnTop(main) && !staysOnTop(program->radio()) && !staysOnTop(program->tv()));
    QVERIFY(main.isVisible()); // changing the flag in place never hides the window

    Mouse::click(main.Image7, Qt::MiddleButton);
    QCOMPARE(main.Image7.BorderStyle(), 1);
    QVERIFY(staysOnTop(main) && staysOnTop(program->radio()) && staysOnTop(program->tv()));
    QVERIFY(main.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(main.Image7.ToolTipText(), u"是否在最前面"_s);
}

void TestForm1::anotherStart_bringsTheMinimisedMainWindowBackWithItsPanels() {
    program->start();
    Form1& main = program->main();
    Mouse::click(main.Image5);
    Mouse::click(main.Image3);

    program->forms.bringToFront();
    QVERIFY(main.isVisible() && !main.isMinimized());
    QVERIFY(program->tv().isVisible());
}

void TestForm1::exit_unloadsEveryWindowInOrderAndEnds() {
    program->start();
    Mouse::click(program->main().Image5);
    QSignalSpy unloaded(&program->forms, &Registry::unloaded);
    QSignalSpy ended(&program->forms, &Registry::allUnloaded);

    Mouse::press(program->main().Image6);
    Mouse::release(program->main().Image6);

    QList<FormName> order;
    for (const QList<QVariant>& signal : unloaded)
        order.append(signal.at(0).value<FormName>());
    QCOMPARE(order, QList<FormName>({FormName::Form2, FormName::Form3, FormName::Form1, FormName::setup, FormName::yz,
                                     FormName::add}));
    QCOMPARE(ended.count(), 1);
    for (FormName window : allWindows)
        QVERIFY(!program->forms.isLoaded(window));
}

void TestForm1::closeRequest_runsTheExit() {
    program->start();
    QSignalSpy ended(&program->forms, &Registry::allUnloaded);
    program->main().close();
    QCOMPARE(ended.count(), 1);
}

void TestForm1::pressEffect_showsWhilePressed_andReleaseOutsideStillActs() {
    program->start();
    Form1& main = program->main();

    Mouse::press(main.Label2, Qt::RightButton);
    QCOMPARE(main.Label2.BorderStyle(), 1);
    QVERIFY(program->shell.files().isEmpty());
    Mouse::releaseOutside(main.Label2, Qt::RightButton);

    QCOMPARE(main.Label2.BorderStyle(), 0);
    QCOMPARE(program->shell.files().size(), 1);
}

void TestForm1::links_openTheirPagesThroughTheShell() {
    program->start();
    Form1& main = program->main();

    Mouse::click(main.Label2);
    Mouse::click(main.Label3);

    QCOMPARE(program->shell.files().size(), 2);
    for (const QString& page : program->shell.files())
        QVERIFY(page.startsWith(u"http"_s));
    QVERIFY(program->shell.files()[0] != program->shell.files()[1]);
    QCOMPARE(main.Label3.BorderStyle(), 0); // the credit line has no press effect
}

void TestForm1::links_thatTheShellRefuses_sayWhichPage() {
    program->start();
    program->shell.answerWith(false);

    Mouse::click(program->main().Label2);
    Mouse::click(program->main().Label3);

    QCOMPARE(program->boxes.boxes().size(), 2);
    for (int link = 0; link < 2; ++link)
        QVERIFY(program->boxes.prompts()[link].contains(program->shell.files()[link]));
}

void TestForm1::screenReader_hearsEachButtonAsWhatItDoes_andEachSlotByItsStationNow() {
    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = 'CCTV-13 新闻' WHERE 类别 = '快速选台三'"_s);
    program->dir.changeCatalogue(u"DELETE FROM radio WHERE 类别 = '快速选台九'"_s);
    program->start();
    Form1& main = program->main();

    for (Image* picture : {&main.Image5, &main.Image7, &main.Image3, &main.Image6, &main.Image1})
        QCOMPARE(heard(*picture), qMakePair(QAccessible::Button, picture->ToolTipText()));
    for (Label* label : {&main.Label6, &main.Label7, &main.Label5})
        QCOMPARE(heard(*label), qMakePair(QAccessible::Button, label->Caption()));
    for (Label* link : {&main.Label2, &main.Label3})
        QCOMPARE(heard(*link), qMakePair(QAccessible::Link, link->Caption()));
    QCOMPARE(heard(main.Image8), qMakePair(QAccessible::Button, u"快速选台三：CCTV-13 新闻"_s));
    QCOMPARE(heard(main.Image14).second, u"快速选台九：空"_s);
    program->dir.changeCatalogue(u"UPDATE radio SET 名称 = 'CCTV-13' WHERE 类别 = '快速选台三'"_s);
    QCOMPARE(heard(main.Image8).second, u"快速选台三：CCTV-13"_s);
    // Every button says its key.
    for (ButtonControl* control : main.findChildren<ButtonControl*>()) {
        if (control->acts())
            QVERIFY2(
                QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description).contains(u"快捷键"_s),
                qPrintable(control->objectName()));
    }

    const QList<QPair<FormName, QString>> sideWindows{{FormName::Form3, u"电视选框"_s},
                                                      {FormName::Form2, u"广播选框"_s},
                                                      {FormName::add, u"频道设置"_s},
                                                      {FormName::yz, u"预置电台"_s},
                                                      {FormName::setup, u"外观设置"_s}};
    for (const auto& [window, name] : sideWindows)
        QCOMPARE(heard(program->forms.form(window)).second, name);
    // The captions and tooltips stay as they are.
    QCOMPARE(main.Image8.ToolTipText(), u"快速选台三"_s);
    QCOMPARE(main.Label5.ToolTipText(), u"添加修改电视台地址"_s);
}

void TestForm1::keys_doWhatTheirButtonsDo() {
    program->start();
    Form1& main = program->main();
    activate(main);

    QTest::keyClick(&main, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!staysOnTop(main));
    QTest::keyClick(&main, Qt::Key_S);
    QTest::keyClick(&main, Qt::Key_F1);
    QCOMPARE(program->shell.files(), QStringList({u"https://www.10086.cn/"_s, u"https://vimaro.example.org/"_s}));
    QTest::keyClick(&main, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(main.isMinimized());

    program->forms.bringToFront();
    activate(main);
    QSignalSpy ended(&program->forms, &Registry::allUnloaded);
    QTest::keyClick(&main, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(ended.count(), 1);
}

// Enter does nothing until Tab has reached a button: a window that merely has the keyboard acts as before.
void TestForm1::tab_reachesTheButtonsInTurn_andSpaceActsOnlyOnOneReached() {
    program->start();
    Form1& main = program->main();
    activate(main);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!program->forms.form(FormName::Form3).isVisible());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &main.Image5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &main.Image7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(program->forms.form(FormName::Form3).isVisible());
}

QTEST_MAIN(TestForm1)
#include "tst_mainwindow.moc"

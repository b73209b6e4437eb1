#include "core/FileFailure.h"
#include "desktop/Translations.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Mouse.h"
#include "tests/support/MsgBoxScript.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace {

// A window with a control of each kind that runs handlers.
class Window : public Form {
public:
    Window()
        : Form("Window", 3000, 3000, TaskBar::OwnButton), Label1(*this, "Label1", 120, 120, 720, 180, u"保存"_s),
          List1(*this, "List1", 120, 480, 1500, 900),
          Combo1(*this, "Combo1", 120, 1500, 1500, 300, u"请选择....."_s, {u"快速选台一"_s, u"快速选台二"_s}) {
        List1.setLines({u"中国之声"_s, u"经济之声"_s});
        Label1.setToolTipText(u"快速选台一"_s);
    }

    void showOnScreen() {
        Show();
        if (!QTest::qWaitForWindowExposed(this))
            qFatal("the test window never appeared");
    }

    Label Label1;
    ListBox List1;
    ComboBox Combo1;
};

// What a real box on the screen showed: whose it is, whether it stays on top, its buttons from left to right.
struct ShownBox {
    QWidget* owner = nullptr;
    bool staysOnTop = false;
    QStringList buttons;
    QString defaultButton;
    // What a screen reader is told of it.
    QAccessible::Role role = QAccessible::NoRole;
    QString announced;
};

// Waits for the next message box to open, notes what it shows and answers it with its default button.
void answerNextBoxOnScreen(ShownBox& shown) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [&shown, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        shown.owner = box->parentWidget();
        shown.staysOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QList<QAbstractButton*> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        for (QAbstractButton* button : buttons)
            shown.buttons.append(button->text());
        shown.defaultButton = box->defaultButton()->text();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
        shown.role = accessible->role();
        shown.announced = accessible->text(QAccessible::Description);
        box->defaultButton()->click();
    });
    poll->start(10);
}

} // namespace

// The window layer under the windows: handlers at the event edge, the combo box's choice, message boxes, tooltips.
class TestControls : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadTranslations(QLocale(QLocale::Chinese)); }

    void failingHandler_showsOneBox_andTheProgramRunsOn_data();
    void failingHandler_showsOneBox_andTheProgramRunsOn();
    void comboBox_choiceIsALineOfItsList_only();
    void comboBox_tenThousandLongLines_openAsANarrowList();
    void messageBox_belongsToTheAskingWindow_aboveAll_inChinese_data();
    void messageBox_belongsToTheAskingWindow_aboveAll_inChinese();
    void buttonControl_tellsAScreenReaderWhatItIsAndDoes();
    void buttonControl_shortcut_clicksOnceWhileItsWindowIsActive();
    void tooltips_showInAWindowThatIsNotActive();
    void autoSizedLabel_fitsItsText_onceShown_andAfterEveryCaption();
};

void TestControls::failingHandler_showsOneBox_andTheProgramRunsOn_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("reason");
    QTest::newRow("label released, catalogue failure") << u"Label1"_s << u"database is locked"_s;
    QTest::newRow("list line chosen, settings failure") << u"List1"_s << u"cannot write tvset.ini"_s;
    QTest::newRow("combo line chosen, colour failure") << u"Combo1"_s << u"not a colour: blue"_s;
}

void TestControls::failingHandler_showsOneBox_andTheProgramRunsOn() {
    QFETCH(QString, control);
    QFETCH(QString, reason);
    Window window;
    window.showOnScreen();
    MsgBoxScript boxes;
    int runs = 0;
    const auto fail = [&] {
        ++runs;
        const std::string what = reason.toStdString();
        if (control == u"Label1"_s)
            throw DbError(what);
        if (control == u"List1"_s)
            throw FileFailure(what);
        throw ColourError(what);
    };
    window.Label1.onMouseUp = {u"保存设置"_s, [&](int) { fail(); }};
    window.List1.onClick = {u"保存设置"_s, fail};
    window.Combo1.onClick = {u"保存设置"_s, fail};

    for (int row = 0; row < 2; ++row) {
        if (control == u"Label1"_s)
            Mouse::click(window.Label1);
        else if (control == u"List1"_s)
            Mouse::chooseLine(window.List1, row);
        else
            Mouse::chooseItem(window.Combo1, row);
    }

    QCOMPARE(runs, 2);
    QCOMPARE(boxes.prompts(), QStringList(2, u"无法保存设置："_s + reason));
    QCOMPARE(boxes.boxes().first().title, AppTitle);
    QCOMPARE(boxes.boxes().first().buttons, vbOKOnly);
}

void TestControls::comboBox_choiceIsALineOfItsList_only() {
    Window window;
    window.showOnScreen();
    ComboBox& box = window.Combo1;
    QStringList chosen;
    box.onClick = {u"选择"_s, [&] { chosen.append(box.Text()); }};
    box.SetFocus();

    // Typed text equal to a line, Enter on it, then the arrow key and the wheel on the closed box.
    Keyboard::type(box, u"快速选台一"_s);
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_Down);
    const QPointF centre = box.rect().center();
    QWheelEvent wheel(centre, box.mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&box, &wheel);
    QCOMPARE(chosen, QStringList());

    Mouse::chooseItem(box, 0);
    box.showPopup();
    QTest::keyClick(box.view(), Qt::Key_Down);
    QTest::keyClick(box.view(), Qt::Key_Return);
    QCOMPARE(chosen, QStringList({u"快速选台一"_s, u"快速选台二"_s}));
}

void TestControls::comboBox_tenThousandLongLines_openAsANarrowList() {
    Window window;
    window.showOnScreen();
    QStringList lines;
    for (int line = 0; line < 10000; ++line)
        lines.append(u"类别 %1 "_s.arg(line) + QString(line % 100 * 50, u'长'));
    ComboBox box(window, "Combo2", 120, 1900, 1500, 300, {}, lines);

    box.showPopup();
    QVERIFY(box.view()->window()->width() <= box.fontMetrics().horizontalAdvance(u'国') * ComboBox::widestLine);
    QCOMPARE(box.itemData(9999, Qt::ToolTipRole).toString(), lines.last());
    box.hidePopup();
}

void TestControls::messageBox_belongsToTheAskingWindow_aboveAll_inChinese_data() {
    QTest::addColumn<MsgBoxButtons>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("OK") << vbOKOnly << QStringList{u"确定"_s};
    QTest::newRow("Abort, Retry, Ignore") << vbAbortRetryIgnore << QStringList{u"中止"_s, u"重试"_s, u"忽略"_s};
}

void TestControls::messageBox_belongsToTheAskingWindow_aboveAll_inChinese() {
    QFETCH(MsgBoxButtons, buttons);
    QFETCH(QStringList, texts);
    Window asking;
    Window other;
    asking.showOnScreen();
    other.showOnScreen();
    other.activateWindow();
    MsgBoxResult answer{};
    asking.Label1.onMouseUp = {u"提问"_s, [&](int) { answer = MsgBox(u"问题"_s, buttons); }};
    ShownBox shown;
    answerNextBoxOnScreen(shown);

    Mouse::click(asking.Label1);

    QCOMPARE(shown.owner, &asking);
    QVERIFY(shown.staysOnTop);
    QCOMPARE(shown.buttons, texts);
    QCOMPARE(shown.defaultButton, texts.first());
    QCOMPARE(answer, buttons == vbOKOnly ? vbOK : vbAbort);
    QCOMPARE(shown.role, QAccessible::AlertMessage);
    QCOMPARE(shown.announced, u"问题"_s);
}

void TestControls::buttonControl_tellsAScreenReaderWhatItIsAndDoes() {
    Window window;
    Image picture(window, "Image1", 1800, 120, 255, 255, QPixmap());
    picture.setToolTipText(u"最小化"_s);
    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(&window.Label1);
    QAccessibleInterface* image = QAccessible::queryAccessibleInterface(&picture);

    // Without a handler a label is text, named by its caption.
    QCOMPARE(label->role(), QAccessible::StaticText);
    QCOMPARE(label->text(QAccessible::Name), u"保存"_s);
    QVERIFY(label->actionInterface()->actionNames().isEmpty());

    int clicks = 0;
    window.Label1.onMouseUp = {u"保存"_s, [&](int) { ++clicks; }};
    window.Label1.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    picture.onClick = {u"最小化"_s, [&] { ++clicks; }};
    QCOMPARE(label->role(), QAccessible::Button);
    QCOMPARE(label->text(QAccessible::Description), u"快速选台一，快捷键 Ctrl+S"_s);
    QCOMPARE(label->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
             QStringList{u"Ctrl+S"_s});
    // A picture is named by its tooltip, which its description then does not repeat.
    QCOMPARE(image->role(), QAccessible::Button);
    QCOMPARE(image->text(QAccessible::Name), u"最小化"_s);
    QCOMPARE(image->text(QAccessible::Description), QString());
    image->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    label->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks, 2);

    // A name asked afresh comes before the caption, a name given comes before both.
    QString station = u"中国之声"_s;
    window.Label1.nameNow = [&] { return station; };
    station = u"经济之声"_s;
    QCOMPARE(label->text(QAccessible::Name), u"经济之声"_s);
    window.Label1.setAccessibleName(u"保存设置"_s);
    QCOMPARE(label->text(QAccessible::Name), u"保存设置"_s);

    picture.setLink();
    QCOMPARE(image->role(), QAccessible::Link);
    QVERIFY(image->state().linked);
}

// Held down, the key repeats; the control acts once all the same. In another window the key does nothing.
void TestControls::buttonControl_shortcut_clicksOnceWhileItsWindowIsActive() {
    Window window;
    Window other;
    int clicks = 0;
    window.Label1.onClick = {u"保存"_s, [&] { ++clicks; }};
    window.Label1.setShortcut(QKeySequence(Qt::Key_S));
    window.showOnScreen();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTest::simulateEvent(&window, true, Qt::Key_S, Qt::NoModifier, u"s"_s, false);
    QTest::simulateEvent(&window, true, Qt::Key_S, Qt::NoModifier, u"s"_s, true);
    QTest::simulateEvent(&window, false, Qt::Key_S, Qt::NoModifier, u"s"_s, false);
    QCOMPARE(clicks, 1);

    other.showOnScreen();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(&other, Qt::Key_S);
    QCOMPARE(clicks, 1);
}

void TestControls::tooltips_showInAWindowThatIsNotActive() {
    Window hovered;
    Window active;
    hovered.showOnScreen();
    active.showOnScreen();
    active.activateWindow();
    QTRY_VERIFY(active.isActiveWindow());

    // From the window's edge onto the control, as the pointer comes in.
    QTest::mouseMove(hovered.windowHandle(), QPoint(0, 0));
    QTest::mouseMove(hovered.windowHandle(), hovered.Label1.mapTo(&hovered, hovered.Label1.rect().center()));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), u"快速选台一"_s);
    QVERIFY(!hovered.isActiveWindow());
}

// Hidden, a label keeps its designed size; what is shown always fits its text.
void TestControls::autoSizedLabel_fitsItsText_onceShown_andAfterEveryCaption() {
    Window window;
    window.showOnScreen();
    QCOMPARE(window.Label1.size(), window.Label1.sizeHint());
    window.Label1.setCaption(u"保存设置并关闭窗口"_s);
    QCOMPARE(window.Label1.size(), window.Label1.sizeHint());
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"

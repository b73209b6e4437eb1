#include "windows/mainwindow/MainWindow.h"

#include "catalogue/Catalogue.h"
#include "core/OnError.h"
#include "desktop/ProgramDir.h"
#include "desktop/Shell.h"
#include "playing/Playing.h"
#include "profile/Profile.h"
#include "resources/Pictures.h"
#include "runtime/Module1.h"
#include "runtime/MsgBox.h"
#include "windows/presets/QuickSelect.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>

using namespace Module1;
using namespace Qt::StringLiterals;

namespace {

const QColor navy(0x00, 0x00, 0x80);

// Where the two link labels lead.
const QString textMessagePage = u"https://www.10086.cn/"_s;
const QString creditPage = u"https://vimaro.example.org/"_s;

using Pictures::picture;

void stayOnTop(QWidget& window, bool on) {
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

} // namespace

// The window design: every control at its place in twips (left, top, width, height), as one table.
// clang-format off
Form1::Form1(Forms& forms)
    : Form("Form1", 2175, 3390, TaskBar::OwnButton),
      Shape1(*this, "Shape1", 0, 0, 2415, 3375),
      Shape3(*this, "Shape3", 120, 330, 1935, 2790),
      Label1(*this, "Label1", 120, 75, 1995, 180, u"::::Vimaro::::"_s, Label::Size::Designed),
      Image5(*this, "Image5", 240, 480, 255, 255, picture("tv-toggle")),
      Image7(*this, "Image7", 600, 480, 255, 255, picture("on-top")),
      Image3(*this, "Image3", 960, 480, 255, 255, picture("minimise")),
      Image6(*this, "Image6", 1320, 480, 255, 255, picture("exit")),
      Image1(*this, "Image1", 1680, 480, 255, 255, picture("radio-toggle")),
      Line2(*this, "Line2", 120, 840, 2040, 840),
      Image2(*this, "Image2", 480, 960, 420, 420, picture("slot1")),
      Image4(*this, "Image4", 960, 960, 420, 420, picture("slot2")),
      Image8(*this, "Image8", 1440, 960, 420, 420, picture("slot3")),
      Image9(*this, "Image9", 480, 1440, 420, 420, picture("slot4")),
      Image10(*this, "Image10", 960, 1440, 420, 420, picture("slot5")),
      Image11(*this, "Image11", 1440, 1440, 420, 420, picture("slot6")),
      Image12(*this, "Image12", 480, 1920, 420, 420, picture("slot7")),
      Image13(*this, "Image13", 960, 1920, 420, 420, picture("slot8")),
      Image14(*this, "Image14", 1440, 1920, 420, 420, picture("slot9")),
      Label6(*this, "Label6", 240, 2445, 720, 180, u"预置电台"_s),
      Label7(*this, "Label7", 1200, 2445, 720, 180, u"外观设置"_s),
      Line1(*this, "Line1", 120, 2760, 2040, 2760),
      Label2(*this, "Label2", 240, 2830, 720, 180, u"手机短信"_s),
      Label5(*this, "Label5", 1200, 2830, 720, 180, u"频道设置"_s),
      Label3(*this, "Label3", 120, 3165, 1905, 180, {}, Label::Size::Designed),
      forms_(forms),
      tvToggle_{Image5, FormName::Form3, dockLeft, u"关闭电视选框"_s, u"打开电视选框"_s},
      radioToggle_{Image1, FormName::Form2, dockRight, u"关闭电台选框"_s, u"打开电台选框"_s},
      presetToggle_{Label6, FormName::yz, dockLeft, u"关闭预置电台选框"_s, u"打开预置电台选框"_s},
      appearanceToggle_{Label7, FormName::setup, dockRight, u"关闭外观设置选框"_s, u"打开外观设置选框"_s} {
    // clang-format on
    setCaption(u"::::Vimaro::::"_s);
    setWindowIcon(Pictures::windowIcon());

    Label1.setAlignment(Qt::AlignCenter);
    Label1.setForeColor(navy);
    Label1.setCursor(Pictures::moveCursor());
    designCreditLine(Label3);
    const QCursor hand = Pictures::handCursor();
    for (Label* link : {&Label2, &Label5, &Label3})
        link->setCursor(hand);
    for (Label* label : {&Label6, &Label7, &Label2, &Label5})
        label->setForeColor(palette().color(QPalette::Highlight));

    Image5.setToolTipText(u"打开电视选框"_s);
    Image7.setToolTipText(u"是否在最前面"_s);
    Image7.setBorderStyle(1);
    Image3.setToolTipText(u"最小化"_s);
    Image6.setToolTipText(u"退出Vimaro"_s);
    Image1.setToolTipText(u"打开广播选框"_s);
    Label5.setToolTipText(u"添加修改电视台地址"_s);
    for (int slot = 0; slot < 9; ++slot)
        quickSelectButtons()[slot]->setToolTipText(Catalogue::SlotNames[slot]);
    designForKeysAndScreenReaders();

    // The window opens centred on the screen; the panels dock against it when they load.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connectHandlers();
}

// What a screen reader says of the main window and its controls, and the keys that do what the buttons do while it
// is active (README, Keys). A quick-select button is named after the station it plays now, read afresh each time.
void Form1::designForKeysAndScreenReaders() {
    setAccessibleName(u"Vimaro 电视电台快选"_s);
    Label1.setAccessibleName(u"Vimaro"_s);
    Label1.setAccessibleDescription(u"拖动它可以移动窗口"_s);
    Label2.setLink();
    Label3.setLink();
    Image5.setShortcut(Qt::Key_T, [this] { toggleFromKeyboard(tvToggle_); });
    Image1.setShortcut(Qt::Key_R, [this] { toggleFromKeyboard(radioToggle_); });
    Label6.setShortcut(Qt::Key_P, [this] { toggleFromKeyboard(presetToggle_); });
    Label7.setShortcut(Qt::Key_A, [this] { toggleFromKeyboard(appearanceToggle_); });
    Label5.setShortcut(Qt::Key_C, [this] { Label5_Key(); });
    Image7.setShortcut(Qt::CTRL | Qt::Key_T);
    Image3.setShortcut(Qt::CTRL | Qt::Key_M);
    Image6.setShortcut(Qt::CTRL | Qt::Key_Q);
    Label2.setShortcut(Qt::Key_S);
    Label3.setShortcut(Qt::Key_F1);
    // 网络电台 has no button on the main window: its key opens it, or gives it the keyboard again.
    connect(new QShortcut(Qt::Key_N, this), &QShortcut::activated, this, [this] { openNetRadio(forms_); });
    // The keys 1 to 9, on the keypad too.
    for (int slot = 0; slot < 9; ++slot) {
        Image& button = *quickSelectButtons()[slot];
        button.setShortcut(Qt::Key(Qt::Key_1 + slot));
        button.nameNow = [this, &button] { return describeSlot(connection_, button.ToolTipText()); };
    }
    // Tab goes through the buttons in the order they are made, top to bottom; the handle that moves the window is
    // no button.
    for (ButtonControl* stop : std::initializer_list<ButtonControl*>{
             &Image5, &Image7, &Image3, &Image6, &Image1, &Image2, &Image4, &Image8, &Image9, &Image10, &Image11,
             &Image12, &Image13, &Image14, &Label6, &Label7, &Label2, &Label5, &Label3})
        stop->takeTabStop();
}

void Form1::connectHandlers() {
    Label1.onMouseDown = {u"移动窗口"_s, [this](int button) { Label1_MouseDown(button); }};
    withPressEffect(Image3, u"最小化"_s, [this] { Image3_MouseUp(); });
    Image7.onMouseUp = {u"改变最前显示"_s, [this](int) { Image7_MouseUp(); }};
    withPressEffect(Image6, u"退出"_s, [this] { Image6_MouseUp(); });
    withPressEffect(Label2, u"打开手机短信网页"_s, [this] { Label2_MouseUp(); });
    Label3.onClick = {u"打开开发组网页"_s, [this] { Label3_Click(); }};
    Image5.onMouseUp = {u"打开或关闭电视选框"_s, [this](int) { Image5_MouseUp(); }};
    Image1.onMouseUp = {u"打开或关闭电台选框"_s, [this](int) { Image1_MouseUp(); }};
    withPressEffect(Label6, u"打开或关闭预置电台选框"_s, [this] { Label6_MouseUp(); });
    withPressEffect(Label7, u"打开或关闭外观设置选框"_s, [this] { Label7_MouseUp(); });
    withPressEffect(Label5, u"打开频道设置"_s, [this] { Label5_MouseUp(); });
    for (Image* button : quickSelectButtons())
        withPressEffect(*button, u"播放预置电台"_s, [this, button] { QuickSelect_MouseUp(*button); });
    // A close request from the task bar or the window manager quits the program like the exit button, so the
    // program never runs on without its main window.
    onCloseRequest = {u"退出"_s, [this] {
                          if (!exiting_)
                              Image6_MouseUp();
                      }};
}

// Start-up: each statement that fails is abandoned and the next one runs, so a missing catalogue or settings
// file never keeps the program from starting.
void Form1::Form_Load() {
    stayOnTop(*this, true);
    // A browser panel whose load failed is not made to stay on top at start; the stay-on-top toggle still can.
    for (FormName panel : {FormName::Form2, FormName::Form3}) {
        Form& window = forms_.form(panel);
        if (!forms_.loadFailed(panel))
            stayOnTop(window, true);
    }
    resumeNext([&] { connection_ = Catalogue::openConnection(); });
    // The table is checked once to prove the file is a catalogue; the quick-select buttons query afresh.
    resumeNext([&] { Catalogue::checkTable(connection_.value()); });

    // The colour is read anew for every window. A text that is no window colour leaves that window in its design
    // colour, and a window not loaded yet then stays unloaded until its first use.
    const QString settings = programDir() + u"/tvset.ini"_s;
    ThemeColours colours;
    for (std::optional<OleColor>& colour : colours)
        resumeNext([&] { colour = toBackColor(GetProfile(settings, u"setup"_s, u"color"_s)); });
    paintTheme(forms_, colours);
}

QString Form1::GetProfile(const QString& strFileName, const QString& strSection, const QString& strName) {
    return ::GetProfile(strFileName, strSection, strName);
}

// Shown or restored: the browser panels that are open come back with the main window.
void Form1::Form_Resize() {
    if (isMinimized())
        return;
    if (Image1.BorderStyle() == 1)
        forms_.form(FormName::Form2).Show();
    if (Image5.BorderStyle() == 1)
        forms_.form(FormName::Form3).Show();
}

// Where the window system moves the window itself, it reports the new place here; the panels follow it.
void Form1::moveEvent(QMoveEvent* event) {
    Form::moveEvent(event);
    if (forms_.isLoaded(FormName::Form2) && forms_.isLoaded(FormName::Form3))
        dockBrowserPanels(forms_);
}

void Form1::Label1_MouseDown(int button) {
    dragByHandle(*this, button, forms_);
}

// The browser panels go with the main window; restoring it brings them back (Form_Resize). They are hidden before
// it is minimised, so that the window system never minimises them with it: a window it minimised as part of another
// takes its owner down with it again when it is shown. The other side windows stay where they are.
void Form1::Image3_MouseUp() {
    forms_.form(FormName::Form2).hide();
    forms_.form(FormName::Form3).hide();
    Minimize();
}

void Form1::Image7_MouseUp() {
    setStayOnTop(!onTop_);
}

void Form1::setStayOnTop(bool on) {
    onTop_ = on;
    Image7.setBorderStyle(on ? 1 : 0);
    stayOnTop(*this, on);
    stayOnTop(forms_.form(FormName::Form2), on);
    stayOnTop(forms_.form(FormName::Form3), on);
}

void Form1::Image6_MouseUp() {
    exiting_ = true;
    for (FormName window : {FormName::Form2, FormName::Form3, FormName::Form1, FormName::setup, FormName::yz,
                            FormName::add, FormName::net})
        forms_.unload(window);
}

void Form1::Label2_MouseUp() {
    handedOn(ShellExecuteA(this, u"open"_s, textMessagePage, QString(), QString(), SW_HIDE), textMessagePage);
}

void Form1::Label3_Click() {
    handedOn(ShellExecuteA(this, u"open"_s, creditPage, QString(), QString(), SW_HIDE), creditPage);
}

// Opening docks the panel at the main window's place of this moment, with the panel's own width; each toggle
// keeps its own state and never touches another panel.
void Form1::toggle(PanelToggle& toggle) {
    toggle.open = !toggle.open;
    Form& panel = forms_.form(toggle.panel);
    if (toggle.open) {
        toggle.control.setBorderStyle(1);
        // Placed before it is shown, so it never flashes up at its old place.
        toggle.dock(panel, *this);
        // Only the browser panels belong to the main window: the window system minimises a window with its owner and
        // keeps it in its owner's band on top, where the preset editor and the appearance panel never are.
        if (toggle.panel == FormName::Form2 || toggle.panel == FormName::Form3)
            panel.setOwner(*this);
        panel.Show();
        toggle.control.setToolTipText(toggle.tipWhileOpen);
        // Closed by the window system (Alt+F4), the panel is closed as by its toggle, which then reads closed.
        panel.onCloseRequest = {toggle.tipWhileOpen, [this, &panelToggle = toggle] {
                                    if (panelToggle.open)
                                        this->toggle(panelToggle);
                                }};
    } else {
        panel.hide();
        toggle.control.setBorderStyle(0);
        toggle.control.setToolTipText(toggle.tipAfterClosing);
    }
}

// The channel editor is shown wherever it is, and only comes to the front when it is shown already.
void Form1::Label5_MouseUp() {
    Form& editor = forms_.form(FormName::add);
    editor.Show();
    editor.activateWindow();
}

// Its key also closes the channel editor, as its own 关闭 does, so that one key opens and closes every side window.
void Form1::Label5_Key() {
    if (forms_.isShown(FormName::add))
        forms_.unload(FormName::add);
    else
        Label5.click();
}

// A panel opened from the keyboard takes the keyboard, where its design puts the focus, so that its own keys work at
// once; the mouse only shows it, as it always did.
void Form1::toggleFromKeyboard(PanelToggle& toggle) {
    toggle.control.click();
    if (toggle.open)
        forms_.form(toggle.panel).activateWithFocus();
}

// The button's tooltip is its slot name and the only tie to the slot, so it is read back at every release;
// the catalogue is asked afresh each time, and a slot that no station fills does nothing.
void Form1::QuickSelect_MouseUp(const Image& button) {
    if (const std::optional<Catalogue::PlayableStation> station =
            presetStation(Catalogue::opened(connection_), button.ToolTipText()))
        Playing::play(tellInBox(*this), *connection_, *station);
}

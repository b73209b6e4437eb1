#include "windows/editor/ChannelEditor.h"

#include "resources/Pictures.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "windows/editor/PlaylistDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QShortcut>

using namespace Qt::StringLiterals;
using namespace Catalogue;

namespace {

// The background of the five text boxes, a shade lighter than any theme.
constexpr OleColor BoxColour = 0xFAF8F8;

// How long a search looks at names before the window answers other events again.
constexpr std::chrono::milliseconds searchTurn(30);

using Pictures::picture;

} // namespace

// The window design: every control at its place in twips (left, top, width, height), as one table.
// clang-format off
add::add(Forms& forms)
    : Form("add", 5175, 4305, TaskBar::OwnButton),
      Shape1(*this, "Shape1", 120, 360, 4935, 1455),
      Shape2(*this, "Shape2", 120, 1920, 4935, 2295),
      Label1(*this, "Label1", 4080, 120, 360, 180, u"移动"_s),
      Label2(*this, "Label2", 4560, 120, 360, 180, u"关闭"_s),
      CaptionLabel(*this, "CaptionLabel", 240, 120, 3720, 180, {}, Label::Size::Designed),
      Label3(*this, "Label3", 240, 600, 540, 180, u"名称："_s),
      Text1(*this, "Text1", 720, 480, 2415, 310),
      Label5(*this, "Label5", 3240, 600, 540, 180, u"类别："_s),
      Combo1(*this, "Combo1", 3840, 480, 1095, 300, u" "_s,
             {Categories::DomesticTv, Categories::HongKongTaiwanTv, Categories::OverseasTv,
              Categories::SpecialInterestTv, Categories::DomesticRadio, Categories::HongKongTaiwanRadio,
              Categories::OverseasRadio, Categories::SpecialInterestRadio}),
      Label4(*this, "Label4", 240, 1080, 540, 180, u"网址："_s),
      Text2(*this, "Text2", 720, 960, 4215, 310),
      Image1(*this, "Image1", 1320, 1320, 1335, 375, picture("word-add")),
      Image2(*this, "Image2", 2880, 1320, 1335, 375, picture("word-cancel")),
      Label9(*this, "Label9", 360, 2040, 1260, 180, u"搜索结果列表："_s),
      Text3(*this, "Text3", 2160, 2040, 1695, 300),
      Image3(*this, "Image3", 3960, 2040, 975, 375, picture("word-search")),
      List1(*this, "List1", 240, 2280, 1575, 1830),
      Label8(*this, "Label8", 1920, 2520, 3060, 180, u"请先输入名称，搜索到后再进行修改！"_s),
      Label6(*this, "Label6", 1920, 3000, 540, 180, u"名称："_s),
      Text4(*this, "Text4", 2400, 2880, 2535, 310),
      Label7(*this, "Label7", 1920, 3360, 540, 180, u"网址："_s),
      Text5(*this, "Text5", 2400, 3240, 2535, 310),
      Image4(*this, "Image4", 2040, 3720, 1335, 375, picture("word-change")),
      Image5(*this, "Image5", 3480, 3720, 1335, 375, picture("word-cancel")),
      forms_(forms) {
    // clang-format on
    for (TextBox* box : {&Text1, &Text2, &Text3, &Text4, &Text5}) {
        box->setBackColor(BoxColour);
        // A file dropped on a box is a playlist for the window, not a path to type.
        box->setAcceptDrops(false);
    }
    Combo1.setAcceptDrops(false);
    Combo1.lineEdit()->setAcceptDrops(false);
    setAcceptDrops(true);

    // Without a title bar the caption would reach only the window system; the label shows it to the user.
    connect(this, &QWidget::windowTitleChanged, &CaptionLabel, &Label::setCaption);
    ::setTabOrder({&Combo1, &Text1, &Text2, &List1, &Text3, &Text4, &Text5});
    Combo1.SetFocus();
    connectHandlers();
    designForKeysAndScreenReaders();
}

// Its title changes with every search, so the window has a name of its own; the boxes are named after what they
// hold, the picture buttons after the word they show. Enter in the search box searches (README, Keys).
void add::designForKeysAndScreenReaders() {
    setAccessibleName(u"频道设置"_s);
    Combo1.setAccessibleName(u"新电台的类别"_s);
    Text1.setAccessibleName(u"新电台的名称"_s);
    Text2.setAccessibleName(u"新电台的网址"_s);
    Text3.setAccessibleName(u"要搜索的名称"_s);
    List1.setAccessibleName(u"搜索结果列表"_s);
    Text4.setAccessibleName(u"选中电台的名称"_s);
    Text5.setAccessibleName(u"选中电台的网址"_s);
    Image1.setAccessibleName(u"添加"_s);
    Image2.setAccessibleName(u"取消"_s);
    Image2.setAccessibleDescription(u"清空新电台的名称和网址"_s);
    Image3.setAccessibleName(u"搜索"_s);
    Image4.setAccessibleName(u"修改"_s);
    Image5.setAccessibleName(u"取消"_s);
    Image5.setAccessibleDescription(u"清空选中电台的名称和网址"_s);
    Label1.setAccessibleDescription(u"拖动它可以移动窗口"_s);
    Image1.setShortcut(Qt::ALT | Qt::Key_A);
    Image2.setShortcut(Qt::ALT | Qt::Key_C);
    Image3.setShortcut(Qt::ALT | Qt::Key_S);
    Image4.setShortcut(Qt::ALT | Qt::Key_M);
    Image5.setShortcut(Qt::ALT | Qt::Key_X);
    Label2.setShortcut(Qt::CTRL | Qt::Key_W);
    connect(new QShortcut(Qt::ALT | Qt::Key_N, this), &QShortcut::activated, this, [this] { openNetRadio(forms_); });
    connect(&Text3, &QLineEdit::returnPressed, &Image3, &ButtonControl::click);
}

void add::connectHandlers() {
    Label1.onMouseDown = {u"移动窗口"_s, [this](int button) { Label1_MouseDown(button); }};
    Label2.onClick = {u"关闭频道设置"_s, [this] { Label2_Click(); }};
    withPressEffect(Image1, u"增加电台"_s, [this] { Image1_MouseUp(); });
    withPressEffect(Image2, u"清空"_s, [this] { Image2_MouseUp(); });
    withPressEffect(Image3, u"搜索电台"_s, [this] { Image3_MouseUp(); });
    withPressEffect(Image4, u"修改电台"_s, [this] { Image4_MouseUp(); });
    withPressEffect(Image5, u"清空"_s, [this] { Image5_MouseUp(); });
    List1.onClick = {u"显示电台"_s, [this] { List1_Click(); }};
    findingOn_.setSingleShot(true);
    connect(&findingOn_, &QTimer::timeout, this, [this] { guarded(*this, u"搜索电台"_s, [this] { findMore(); }); });
    // Closed by the window system (Alt+F4), the editor goes as by its own close label.
    onCloseRequest = {u"关闭频道设置"_s, [this] { Label2_Click(); }};
}

// The window's own connection. A catalogue that cannot be opened is reported by the first action that needs it.
void add::Form_Load() {
    connection_ = openConnection();
    checkTable(*connection_);
}

void add::Label1_MouseDown(int button) {
    dragByHandle(*this, button, forms_);
}

// The window goes with everything it holds; "频道设置" makes a fresh one.
void add::Label2_Click() {
    forms_.unload(FormName::add);
}

// Appends a new station, even one that is there already. An untouched category box gives the category of one blank.
void add::Image1_MouseUp() {
    if (Text1.Text().isEmpty() || Text2.Text().isEmpty()) {
        MsgBox(u"你都没写，我怎么增加呀？"_s);
        Text1.SetFocus();
        return;
    }
    addStation(opened(connection_), {Combo1.Text(), Text1.Text(), Text2.Text()});
    MsgBox(Text1.Text() + u" 已增加！"_s);
}

void add::Image2_MouseUp() {
    Text1.setText({});
    Text2.setText({});
}

// Lists every station whose name contains the search text, and makes that search the one a change rewrites.
void add::Image3_MouseUp() {
    clearSearch();
    if (Text3.Text().isEmpty())
        return;
    search(StationQuery::nameSearch(Text3.Text()));
}

void add::clearSearch() {
    List1.Clear();
    found_.reset();
    findingOn_.stop();
}

// The list fills a stretch at a time from here on; a change rewrites the first station found until a line is chosen.
void add::search(const StationQuery& query) {
    Database& connection = opened(connection_);
    found_ = StationPages::toFind(connection, query);
    List1.showLines(0, [this](int line) { return found_->shownName(*connection_, line); });
    lastSearch_ = query;
    chosen_ = query.first(connection);
    findMore();
}

// Looks through the names a stretch at a time and adds what it found to the list, so that the first lines show at
// once and the window answers while a search goes through millions of names. The caption counts what is found so
// far, and says the total once every name has been looked at.
void add::findMore() {
    found_->findMore(*connection_, searchTurn);
    // The list lays out all its lines anew whenever it grows: it grows at the first turn, whenever what was found
    // has doubled since, and at the end.
    if (List1.ListCount() == 0 || found_->lineCount() >= 2 * List1.ListCount() || found_->complete())
        List1.growLines(found_->lineCount());
    const QString count = QString::number(found_->stationCount());
    if (found_->complete()) {
        setCaption(u"总共找到"_s + count + u" 记录"_s);
        return;
    }
    setCaption(u"已找到"_s + count + u" 记录，还在搜索……"_s);
    findingOn_.start();
}

// Shows the station of the chosen line, which a change then rewrites: that very station, whatever other stations
// share or contain its name. A station gone since the search leaves the name box as it was; a field without a value
// shows as empty text.
void add::List1_Click() {
    const HourglassPointer busy;
    Database& connection = opened(connection_);
    const qint64 row = found_->line(connection, List1.ListIndex()).row;
    const std::optional<Station> chosen = station(connection, row);
    if (!chosen) {
        // A change then finds its station gone, and says so.
        chosen_ = PlayableStation{row, {}, {}};
        Text5.setText({});
        return;
    }
    chosen_ = PlayableStation{row, chosen->name, chosen->address};
    Text4.setText(chosen->name);
    Text5.setText(chosen->address);
    // A long address is read from its scheme on.
    Text5.home(false);
}

// Rewrites the name and web address of the station found; its category stays. The list keeps the old name until
// the next search. A station changed or deleted elsewhere since it was found is not written over, nor is another
// station that took its row: the search runs again to show what is there now.
void add::Image4_MouseUp() {
    if (Text4.Text().isEmpty() || Text5.Text().isEmpty()) {
        MsgBox(u"你都没写，我怎么更新纪录呀？"_s);
        Text4.SetFocus();
        return;
    }
    if (!chosen_) {
        MsgBox(u"还没有要修改的电台：请先搜索，再在搜索结果列表中选中它。"_s);
        return;
    }
    if (!changeFoundStation(opened(connection_), *chosen_, Text4.Text(), Text5.Text())) {
        MsgBox(u"这个电台已在别处被修改或删除，这次修改没有保存。现在重新搜索，请再选中要修改的电台。"_s);
        clearSearch();
        if (lastSearch_)
            search(*lastSearch_);
        return;
    }
    chosen_->name = Text4.Text();
    chosen_->address = Text5.Text();
    MsgBox(u"数据已更新！"_s);
    Text4.setText({});
    Text5.setText({});
}

void add::Image5_MouseUp() {
    Text4.setText({});
    Text5.setText({});
}

void add::dragEnterEvent(QDragEnterEvent* event) {
    if (!playlistFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// The import runs once the drop is over, so the program the files came from is not kept waiting for it.
void add::dropEvent(QDropEvent* event) {
    const QStringList files = playlistFiles(*event->mimeData());
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this,
        [this, files] {
            guarded(*this, u"导入播放列表"_s, [&] { importPlaylistFiles(*this, opened(connection_), files); });
        },
        Qt::QueuedConnection);
}

#include "windows/netradio/NetRadio.h"

#include "catalogue/Catalogue.h"
#include "health/CheckRun.h"
#include "runtime/MsgBox.h"
#include "runtime/Twips.h"
#include "windows/forms/InternetTexts.h"

#include <QAccessible>
#include <QEventLoop>
#include <QKeyEvent>
#include <QNetworkAccessManager>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The colour of the words that act, as on the main window.
QColor actionColour(const QWidget& window) {
    return window.palette().color(QPalette::Highlight);
}

// The boxes' background, a shade lighter than any theme, as in the channel editor.
constexpr OleColor BoxColour = 0xFAF8F8;
// A search asks for this many stations at most; a user reads no more.
constexpr int SearchLimit = 200;
// The window's height in twips, with 订阅 folded to its heading and unfolded.
constexpr int FoldedHeight = 5160;
constexpr int UnfoldedHeight = 8220;
constexpr std::chrono::seconds SearchTimeout{15};
constexpr int CheckPage = 64;
const QString OwnGroups = u"列表自带的分组"_s;
// The stations of a subscription listed at most: a list of a hundred thousand is read in the panels, not here.
constexpr int StationsShown = 1000;

QStringList categoriesAndSlots() {
    using namespace Catalogue::Categories;
    QStringList all{DomesticTv,        HongKongTaiwanTv, OverseasTv,          SelectedMusic, SelectedFilms,
                    SpecialInterestTv, DomesticRadio,    HongKongTaiwanRadio, OverseasRadio, SpecialInterestRadio};
    for (const QString& slot : Catalogue::SlotNames)
        all.append(slot);
    return all;
}

// A label that acts: in the colour of the words that act, and a Tab stop.
void designAsButton(const QWidget& window, Label& button) {
    button.setForeColor(actionColour(window));
    button.takeTabStop();
}

void placeList(QListView& list, Form& form, QAnyStringView name, QAbstractItemModel& model, QRect twips) {
    list.setParent(form.client());
    list.setObjectName(name);
    list.setGeometry(toPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    list.setModel(&model);
    list.setUniformItemSizes(true);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QString subscriptionLine(const Subscriptions::Subscription& s, const std::optional<Subscriptions::Attempt>& attempt) {
    const QString into = s.category ? *s.category : OwnGroups;
    QString last = u"还没有更新过"_s;
    if (attempt)
        last = attempt->time.toLocalTime().toString(u"yyyy-MM-dd HH:mm "_s) + attempt->outcome;
    else if (s.updated.isValid())
        last = s.updated.toLocalTime().toString(u"yyyy-MM-dd HH:mm "_s) + s.result;
    return u"%1 — %2 — %3 个电台 — %4"_s.arg(s.address, into).arg(s.stations).arg(last);
}

} // namespace

void Lines::setLines(std::vector<Line> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

int Lines::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant Lines::data(const QModelIndex& index, int role) const {
    const Line& line = lines_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return line.text;
    case Qt::ToolTipRole:
        return line.tip.isEmpty() ? QVariant() : line.tip;
    case Qt::ForegroundRole:
        return line.dead ? QVariant(deadLineColour()) : QVariant();
    default:
        return {};
    }
}

QString resultLine(const Directory::Station& station) {
    QStringList sound;
    if (!station.codec.isEmpty())
        sound.append(station.codec);
    if (station.bitrate > 0)
        sound.append(u"%1 kbit/s"_s.arg(station.bitrate));
    return u"%1 — %2 — %3 — %4 票"_s
        .arg(station.name.isEmpty() ? u"（无名）"_s : station.name,
             station.countryCode.isEmpty() ? u"--"_s : station.countryCode, sound.isEmpty() ? u"?"_s : sound.join(u' '))
        .arg(station.votes);
}

// The window design: every control at its place in twips (left, top, width, height), as one table; 订阅 is
// folded to its heading at first.
// clang-format off
net::net(Forms& forms, SubscriptionKeeper& keeper)
    : Form("net", 6600, FoldedHeight, TaskBar::NoButton),
      moveHandle(*this, "moveHandle", 5520, 120, 360, 180, u"移动"_s),
      closeLabel(*this, "closeLabel", 6000, 120, 360, 180, u"关闭"_s),
      titleLabel(*this, "titleLabel", 240, 120, 1500, 180, u"网络电台"_s),
      searchFrame(*this, "searchFrame", 120, 360, 6360, 4140),
      followFrame(*this, "followFrame", 120, 4620, 6360, FoldedHeight - 4740),
      searchHeading(*this, "searchHeading", 240, 420, 900, 180, u"搜索电台"_s),
      nameLabel(*this, "nameLabel", 240, 780, 540, 180, u"名称："_s),
      searchBox(*this, "searchBox", 780, 720, 2520, 300),
      searchButton(*this, "searchButton", 3420, 780, 360, 180, u"搜索"_s),
      stopSearch(*this, "stopSearch", 3900, 780, 360, 180, u"停止"_s),
      searchStatus(*this, "searchStatus", 4380, 780, 2040, 180, {}, Label::Size::Designed),
      countryLabel(*this, "countryLabel", 240, 1200, 540, 180, u"国家："_s),
      countryBox(*this, "countryBox", 780, 1140, 700, 300),
      languageLabel(*this, "languageLabel", 1620, 1200, 540, 180, u"语言："_s),
      languageBox(*this, "languageBox", 2160, 1140, 1200, 300),
      tagLabel(*this, "tagLabel", 3480, 1200, 540, 180, u"标签："_s),
      tagBox(*this, "tagBox", 4020, 1140, 1200, 300),
      intoLabel(*this, "intoLabel", 240, 4140, 540, 180, u"类别："_s),
      intoBox(*this, "intoBox", 780, 4080, 1500, 300, Catalogue::Categories::OverseasRadio, categoriesAndSlots()),
      addButton(*this, "addButton", 2460, 4140, 360, 180, u"添加"_s),
      followHeading(*this, "followHeading", 240, 4680, 900, 180, u"订阅 ▼"_s),
      forms_(forms), keeper_(keeper) {
    placeList(results, *this, "results", resultLines_, {240, 1560, 6120, 2400});
    // clang-format on
    results.setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (TextBox* box : {&searchBox, &countryBox, &languageBox, &tagBox})
        box->setBackColor(BoxColour);
    for (Label* button : {&searchButton, &stopSearch, &addButton, &followHeading, &closeLabel})
        designAsButton(*this, *button);
    setCaption(u"网络电台"_s);
    connectHandlers();
    designForKeysAndScreenReaders();
    ::setTabOrder({&searchBox, &searchButton, &stopSearch, &countryBox, &languageBox, &tagBox, &results, &intoBox,
                   &addButton, &followHeading, &closeLabel});
    searchBox.SetFocus();
}

// clang-format off
Following::Following(Form& window)
    : addressLabel(window, "addressLabel", 240, 6060, 540, 180, u"网址："_s),
      addressBox(window, "addressBox", 780, 6000, 2900, 300),
      followIntoLabel(window, "followIntoLabel", 3800, 6060, 540, 180, u"类别："_s),
      followIntoBox(window, "followIntoBox", 4340, 6000, 1300, 300, OwnGroups, QStringList{OwnGroups} + categoriesAndSlots()),
      subscribeButton(window, "subscribeButton", 5700, 6060, 720, 180, u"添加订阅"_s),
      updateButton(window, "updateButton", 240, 6420, 720, 180, u"立即更新"_s),
      updateAllButton(window, "updateAllButton", 1080, 6420, 720, 180, u"全部更新"_s),
      unsubscribeButton(window, "unsubscribeButton", 1920, 6420, 720, 180, u"取消订阅"_s),
      checkButton(window, "checkButton", 2760, 6420, 900, 180, u"检查该类别"_s),
      stopCheck(window, "stopCheck", 3780, 6420, 720, 180, u"停止检查"_s),
      followStatus(window, "followStatus", 4620, 6420, 1860, 180, {}, Label::Size::Designed) {
    placeList(followed, window, "followed", followedLines, {240, 4920, 6120, 960});
    placeList(stations, window, "stations", stationLines, {240, 6720, 6120, 1320});
    // clang-format on
    addressBox.setBackColor(BoxColour);
    for (Label* button :
         {&subscribeButton, &updateButton, &updateAllButton, &unsubscribeButton, &checkButton, &stopCheck})
        designAsButton(window, *button);
}

// Every action has a key beside its Tab stop; the lists and boxes are named after what they hold.
void net::designForKeysAndScreenReaders() {
    setAccessibleName(u"网络电台"_s);
    searchBox.setAccessibleName(u"要搜索的电台名称"_s);
    countryBox.setAccessibleName(u"国家代码，例如 CH"_s);
    languageBox.setAccessibleName(u"语言"_s);
    tagBox.setAccessibleName(u"标签"_s);
    results.setAccessibleName(u"搜索结果"_s);
    intoBox.setAccessibleName(u"添加到的类别"_s);
    searchStatus.setAccessibleName(u"搜索状态"_s);
    followHeading.setAccessibleName(u"订阅"_s);
    followHeading.setAccessibleDescription(u"展开订阅的列表"_s);
    moveHandle.setAccessibleDescription(u"拖动它可以移动窗口"_s);
    searchButton.setShortcut(Qt::ALT | Qt::Key_S);
    stopSearch.setShortcut(Qt::ALT | Qt::Key_T);
    addButton.setShortcut(Qt::ALT | Qt::Key_A);
    followHeading.setShortcut(Qt::ALT | Qt::Key_O);
    closeLabel.setShortcut(Qt::CTRL | Qt::Key_W);
    for (TextBox* box : {&searchBox, &countryBox, &languageBox, &tagBox})
        connect(box, &QLineEdit::returnPressed, &searchButton, &ButtonControl::click);
}

// 订阅's controls: named, with their keys and handlers, and in the window's Tab order after the search's.
void net::designFollowing() {
    Following& f = *following;
    f.followed.setAccessibleName(u"订阅的列表"_s);
    f.addressBox.setAccessibleName(u"要订阅的列表网址"_s);
    f.followIntoBox.setAccessibleName(u"订阅的类别，也是要检查的类别"_s);
    f.stations.setAccessibleName(u"所选订阅的电台"_s);
    f.followStatus.setAccessibleName(u"订阅状态"_s);
    f.subscribeButton.setShortcut(Qt::ALT | Qt::Key_D);
    f.updateButton.setShortcut(Qt::ALT | Qt::Key_U);
    f.updateAllButton.setShortcut(Qt::ALT | Qt::Key_L);
    f.unsubscribeButton.setShortcut(Qt::ALT | Qt::Key_R);
    f.checkButton.setShortcut(Qt::ALT | Qt::Key_K);
    f.stopCheck.setShortcut(Qt::ALT | Qt::Key_P);
    connect(&f.addressBox, &QLineEdit::returnPressed, &f.subscribeButton, &ButtonControl::click);
    withPressEffect(f.subscribeButton, u"添加订阅"_s, [this] { subscribe(); });
    withPressEffect(f.updateButton, u"更新订阅"_s, [this] { updateChosen(false); });
    withPressEffect(f.updateAllButton, u"更新订阅"_s, [this] { updateChosen(true); });
    withPressEffect(f.unsubscribeButton, u"取消订阅"_s, [this] { unsubscribe(); });
    withPressEffect(f.checkButton, u"检查电台"_s, [this] { checkCategory(); });
    withPressEffect(f.stopCheck, u"停止检查"_s, [this] { checking_.cancel(); });
    connect(f.followed.selectionModel(), &QItemSelectionModel::currentRowChanged, this, &net::listStationsOfChosen);
    connect(&keeper_, &SubscriptionKeeper::changed, this, &net::listSubscriptions);
    connect(&keeper_, &SubscriptionKeeper::progress, this,
            [this](const QString& text) { announce(following->followStatus, text); });
    ::setTabOrder({&addButton, &f.followed, &f.addressBox, &f.followIntoBox, &f.subscribeButton, &f.updateButton,
                   &f.updateAllButton, &f.unsubscribeButton, &f.checkButton, &f.stopCheck, &f.stations, &closeLabel});
}

// 订阅 ▼ unfolds the lower part, built the first time: the window grows to hold it and the subscriptions are read.
// 订阅 ▲ folds it again.
void net::followHeading_Click() {
    const bool unfolding = !following || following->followed.isHidden();
    if (!following) {
        following.emplace(*this);
        designFollowing();
    }
    for (QWidget* control : following->controls())
        control->setVisible(unfolding);
    const int height = unfolding ? UnfoldedHeight : FoldedHeight;
    followFrame.resize(followFrame.width(), toPixels(height - 4740));
    setClientHeight(height);
    followHeading.setCaption(unfolding ? u"订阅 ▲"_s : u"订阅 ▼"_s);
    followHeading.setAccessibleDescription(unfolding ? u"收起订阅的列表"_s : u"展开订阅的列表"_s);
    if (!unfolding)
        return;
    keepOnScreen(*this);
    following->addressBox.SetFocus();
    listSubscriptions();
}

std::vector<QWidget*> Following::controls() {
    return {&followed,        &addressLabel, &addressBox,      &followIntoLabel,   &followIntoBox,
            &subscribeButton, &updateButton, &updateAllButton, &unsubscribeButton, &checkButton,
            &stopCheck,       &followStatus, &stations};
}

void net::connectHandlers() {
    moveHandle.onMouseDown = {u"移动窗口"_s, [this](int button) { dragByHandle(*this, button, forms_); }};
    closeLabel.onClick = {u"关闭网络电台"_s, [this] { hide(); }};
    withPressEffect(searchButton, u"搜索电台"_s, [this] { search(); });
    withPressEffect(stopSearch, u"停止搜索"_s, [this] { searching_.cancel(); });
    withPressEffect(addButton, u"添加电台"_s, [this] { addChosen(); });
    withPressEffect(followHeading, u"展开订阅"_s, [this] { followHeading_Click(); });
}

// Takes the saved theme from the main window, which was painted with it at start.
void net::Form_Load() {
    setBackColor(forms_.form(FormName::Form1).BackColor());
    connection_ = Catalogue::openConnection();
}

void net::announce(Label& status, const QString& text) {
    status.setCaption(text);
    status.setToolTipText(text);
    QAccessibleEvent event(&status, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

// The search runs on its own thread; a new search stops the one under way. A failure keeps the results there were.
void net::search() {
    Directory::Query query;
    query.name = searchBox.Text().trimmed();
    query.countryCode = countryBox.Text().trimmed().toUpper();
    query.language = languageBox.Text().trimmed();
    query.tag = tagBox.Text().trimmed();
    query.limit = SearchLimit;
    searching_.cancel();
    announce(searchStatus, u"正在搜索……"_s);
    results.setCursor(Qt::BusyCursor);
    searching_.run([this, query](const std::atomic_bool& cancel) -> Worker::Then {
        QNetworkAccessManager network;
        Directory::Search search(network, query, SearchTimeout,
                                 Directory::asServers(Directory::serversInEnvironment()).value_or(QList<QUrl>()));
        const auto stop = stopOnCancel(cancel, [&search] { search.cancel(); });
        try {
            std::vector<Directory::Station> found = search.run();
            return [this, found = std::move(found)]() mutable { showResults(std::move(found)); };
        } catch (const Internet::FetchError&) {
            return [this] {
                results.unsetCursor();
                announce(searchStatus, u"搜索已停止"_s);
            };
        } catch (const Directory::DirectoryError& error) {
            const QString why = QString::fromUtf8(error.what()).section(u'\n', 0, 0);
            return [this, why] {
                results.unsetCursor();
                announce(searchStatus, u"搜索失败：%1"_s.arg(why));
            };
        }
    });
}

void net::showResults(std::vector<Directory::Station> found) {
    std::vector<Lines::Line> lines;
    lines.reserve(found.size());
    for (const Directory::Station& station : found)
        lines.push_back({resultLine(station), station.address, false});
    resultLines_.setLines(std::move(lines));
    found_ = std::move(found);
    results.unsetCursor();
    announce(searchStatus, u"找到 %1 个电台"_s.arg(found_.size()));
}

void net::addChosen() {
    std::vector<int> picks;
    for (const QModelIndex& index : results.selectionModel()->selectedRows())
        picks.push_back(index.row() + 1);
    if (picks.empty()) {
        MsgBox(u"请先在搜索结果里选中要添加的电台（按住 Ctrl 或 Shift 可以选几个）。"_s);
        return;
    }
    std::sort(picks.begin(), picks.end());
    keeper_.addStations(found_, picks, intoBox.Text(), [](const QString& report, bool) { MsgBox(report); });
}

void net::subscribe() {
    const QString address = following->addressBox.Text().trimmed();
    if (!Internet::isWebAddress(address)) {
        MsgBox(u"请写上播放列表的网址（http 或 https）。"_s);
        following->addressBox.SetFocus();
        return;
    }
    const QString into = following->followIntoBox.Text();
    keeper_.subscribe(address, into == OwnGroups ? std::nullopt : std::optional(into),
                      [this](const SubscriptionKeeper::Outcome& outcome) {
                          const QString text =
                              outcome.report
                                  ? u"已订阅 %1：%2"_s.arg(outcome.address, Subscriptions::summary(*outcome.report))
                                  : u"没能订阅 %1：%2"_s.arg(outcome.address, outcome.failure);
                          announce(following->followStatus, text);
                          if (outcome.report)
                              following->addressBox.setText({});
                      });
}

void net::updateChosen(bool all) {
    const std::optional<qint64> chosen = chosenSubscription();
    if (!all && !chosen) {
        MsgBox(u"请先在订阅的列表里选中一个。"_s);
        return;
    }
    keeper_.updateNow(all ? std::nullopt : chosen, [this](const SubscriptionKeeper::Outcomes& outcomes) {
        QStringList parts;
        for (const SubscriptionKeeper::Outcome& outcome : outcomes) {
            const QString what = outcome.report              ? updateDetails(*outcome.report)
                                 : outcome.failure.isEmpty() ? u"没有变化"_s
                                                             : u"更新失败：%1"_s.arg(outcome.failure);
            parts.append(outcome.address.isEmpty() ? what : u"%1：\n%2"_s.arg(outcome.address, what));
        }
        announce(following->followStatus, u"更新完毕"_s);
        if (!parts.isEmpty())
            MsgBox(parts.join(u"\n\n"_s));
    });
}

void net::unsubscribe() {
    const std::optional<qint64> chosen = chosenSubscription();
    if (!chosen) {
        MsgBox(u"请先在订阅的列表里选中一个。"_s);
        return;
    }
    keeper_.unsubscribe(*chosen, [this](const QString& failure) {
        announce(following->followStatus, failure.isEmpty() ? u"已取消订阅，它的电台仍然保留"_s : failure);
    });
}

// Checks the stations of the category on a thread of its own; the findings are kept as `vimaro check` keeps them.
void net::checkCategory() {
    const QString category = following->followIntoBox.Text();
    if (category == OwnGroups || category.trimmed().isEmpty()) {
        MsgBox(u"请先在“类别”里选要检查的类别。"_s);
        following->followIntoBox.SetFocus();
        return;
    }
    if (checking_.busy())
        return;
    announce(following->followStatus, u"正在检查 %1……"_s.arg(category));
    checking_.run([this, category](const std::atomic_bool& cancel) -> Worker::Then {
        Tally tally;
        try {
            Database catalogue = Catalogue::openConnection();
            catalogue.setBusyWait(std::chrono::seconds(30));
            Health::StationPages pages(catalogue, category);
            const qint64 total = pages.count();
            CheckRun run([&] { return pages.next(CheckPage); }, {});
            HealthTable::Writer writer(catalogue);
            QObject::connect(&run, &CheckRun::checked, [&](const Health::Station& station, const Finding& finding) {
                writer.add(station, finding, QDateTime::currentDateTimeUtc());
                tally.add(finding.verdict);
                QMetaObject::invokeMethod(this, [this, done = tally.total(), total] {
                    following->followStatus.setCaption(u"正在检查（%1/%2）"_s.arg(done).arg(total));
                });
            });
            QEventLoop loop;
            QObject::connect(&run, &CheckRun::finished, &loop, &QEventLoop::quit);
            const auto stop = stopOnCancel(cancel, [&run] { run.stop(); });
            run.start();
            loop.exec();
            writer.flush();
        } catch (const DbError& error) {
            return [this, why = QString::fromUtf8(error.what())] {
                announce(following->followStatus, u"检查失败：%1"_s.arg(why));
            };
        }
        return [this, tally] {
            announce(following->followStatus,
                     u"检查完毕：%1 个电台，%2 个无法播放"_s.arg(tally.total()).arg(tally.count(Standing::Dead)));
            listStationsOfChosen();
        };
    });
}

// Read on the window's thread, as a panel lists a category: a catalogue held too long by another says so.
void net::listSubscriptions() {
    if (!following || (!isVisible() && !connection_))
        return;
    try {
        Database& catalogue = Catalogue::opened(connection_);
        const std::optional<qint64> chosen = chosenSubscription();
        const QHash<qint64, Subscriptions::Attempt> tried = Subscriptions::attempts(catalogue);
        std::vector<Lines::Line> lines;
        subscriptions_ = Subscriptions::all(catalogue);
        for (const Subscriptions::Subscription& s : subscriptions_) {
            const auto attempt = tried.contains(s.id) ? std::optional(tried[s.id]) : std::nullopt;
            const QString text = subscriptionLine(s, attempt);
            lines.push_back({text, text, false});
        }
        following->followedLines.setLines(std::move(lines));
        const auto again = std::find_if(subscriptions_.begin(), subscriptions_.end(),
                                        [&](const Subscriptions::Subscription& s) { return s.id == chosen; });
        following->followed.setCurrentIndex(following->followedLines.index(
            again == subscriptions_.end() ? 0 : static_cast<int>(again - subscriptions_.begin())));
        listStationsOfChosen();
    } catch (const DbError& error) {
        following->followStatus.setCaption(dynamic_cast<const BusyError*>(&error) ? u"电台目录正被占用"_s
                                                                                  : u"找不到电台目录"_s);
    }
}

void net::listStationsOfChosen() {
    const std::optional<qint64> chosen = chosenSubscription();
    std::vector<Lines::Line> lines;
    try {
        if (chosen) {
            Database& catalogue = Catalogue::opened(connection_);
            const QHash<qint64, HealthTable::Entry> dead = HealthTable::deadStations(catalogue, {});
            for (const Subscriptions::HeldStation& held :
                 Subscriptions::stationsOf(catalogue, *chosen, StationsShown)) {
                const auto finding = dead.constFind(held.row);
                const bool isDead = finding != dead.constEnd();
                lines.push_back({held.station.name, isDead ? deadMark(*finding) : QString(), isDead});
            }
            if (const int more =
                    subscriptions_[static_cast<std::size_t>(following->followed.currentIndex().row())].stations -
                    static_cast<int>(lines.size());
                more > 0)
                lines.push_back({u"……还有 %1 个电台，在面板上可以看到"_s.arg(more), {}, false});
        }
    } catch (const DbError&) {
        following->followStatus.setCaption(u"电台目录正被占用"_s);
    }
    following->stationLines.setLines(std::move(lines));
}

std::optional<qint64> net::chosenSubscription() const {
    const int row = following->followed.currentIndex().row();
    if (row < 0 || row >= static_cast<int>(subscriptions_.size()))
        return std::nullopt;
    return subscriptions_[static_cast<std::size_t>(row)].id;
}

#include "windows/tray/TrayIcon.h"

#include "catalogue/RecentStations.h"
#include "desktop/Players.h"
#include "guide/Guide.h"
#include "playing/PlayerChoice.h"
#include "playing/Playing.h"
#include "resources/Pictures.h"
#include "runtime/MsgBox.h"
#include "windows/mainwindow/MainWindow.h"
#include "windows/presets/QuickSelect.h"

#include <QActionGroup>

using namespace Qt::StringLiterals;

namespace {

// How wide an entry's text may grow, in characters of the menu's font: a name of any length leaves the menu a
// menu, not a band across the screen.
constexpr int widestEntry = 32;

// A menu takes "&" for the mark of a key; a station's name means it as itself.
QString menuText(const QString& text) {
    return QString(text).replace(u'&', u"&&"_s);
}

// What is on the station now, after its name: "CCTV-1 · 新闻联播"; the name alone for a station without a guide.
QString withProgramme(std::optional<Database>& connection, const QString& name, std::optional<qint64> station) {
    if (!connection || !station)
        return name;
    try {
        const QString title = Guide::nowTitle(Guide::nowNext(*connection, *station, Guide::clockSeam()));
        return title.isEmpty() ? name : name + u" · "_s + title;
    } catch (const DbError&) {
        return name;
    }
}

std::optional<qint64> slotStation(std::optional<Database>& connection, const QString& slotName) {
    try {
        if (connection)
            if (const auto station = presetStation(*connection, slotName))
                return station->row;
    } catch (const DbError&) {
    }
    return std::nullopt;
}

// An entry that shows its text, shortened in the middle where it is too long, with the whole of it in its tooltip.
QAction* addEntry(QMenu& menu, const QString& text) {
    const QFontMetrics metrics(menu.font());
    const QString shown = metrics.elidedText(text, Qt::ElideMiddle, metrics.horizontalAdvance(u'国') * widestEntry);
    QAction* entry = menu.addAction(menuText(shown));
    if (shown != text)
        entry->setToolTip(text);
    return entry;
}

} // namespace

// A catalogue that cannot be opened leaves the slots named without their stations and 最近播放 empty; a slot chosen
// then says why, as its button does.
TrayMenu::TrayMenu(Forms& forms) : forms_(forms), recent_(u"最近播放"_s), players_(u"播放器"_s) {
    try {
        connection_ = Catalogue::openConnection();
    } catch (const DbError&) {
    }
    setToolTipsVisible(true);
    recent_.setToolTipsVisible(true);
    connect(this, &QMenu::aboutToShow, this, &TrayMenu::fill);
    followCatalogue();
    // Filled as soon as the program waits for events: asking the desktop for its players costs a start nothing.
    QTimer::singleShot(0, this, &TrayMenu::fill);
}

// Any write to tv.mdb, from a window of the program or from a command, may rename a slot's station, add a station
// played or choose a player: the menu is filled again once the writes have settled, unless it is open.
void TrayMenu::followCatalogue() {
    refill_.setSingleShot(true);
    refill_.setInterval(300);
    connect(&refill_, &QTimer::timeout, this, [this] {
        if (!isVisible())
            fill();
    });
    const QString file = Catalogue::file();
    catalogueFile_.addPath(file);
    connect(&catalogueFile_, &QFileSystemWatcher::fileChanged, this, [this, file] {
        // A catalogue put in place by rename (a restored backup) is a new file to watch.
        if (!catalogueFile_.files().contains(file))
            catalogueFile_.addPath(file);
        refill_.start();
    });
}

void TrayMenu::fill() {
    clear();
    recent_.clear();
    Form1& main = forms_.get<Form1>(FormName::Form1);
    for (Image* button : main.quickSelectButtons()) {
        const QString slot = button->ToolTipText();
        const QString text =
            withProgramme(connection_, describeSlot(connection_, slot), slotStation(connection_, slot));
        connect(addEntry(*this, text), &QAction::triggered, button, &ButtonControl::click);
    }
    addSeparator();
    std::vector<Catalogue::PlayableStation> played;
    try {
        if (connection_)
            played = RecentStations::latest(*connection_);
    } catch (const DbError&) {
        // Busy or damaged: the list stays empty until the next time the menu opens.
    }
    for (const Catalogue::PlayableStation& station : played) {
        const QString name = station.name.isEmpty() ? station.address.toString() : station.name;
        connect(addEntry(recent_, withProgramme(connection_, name, station.row)), &QAction::triggered, this,
                [this, row = station.row] { playRecent(row); });
    }
    recent_.setEnabled(!played.empty());
    addMenu(&recent_);
    fillPlayers();
    addMenu(&players_);
    addSeparator();
    addAction(u"网络电台"_s, this, [this] { openNetRadio(forms_); });
    addAction(main.Label5.Caption(), &main.Label5, &ButtonControl::click);
    addAction(u"退出"_s, &main.Image6, &ButtonControl::click);
}

void TrayMenu::fillPlayers() {
    players_.clear();
    std::optional<QString> chosen;
    try {
        if (connection_)
            chosen = PlayerChoice::chosenForAll(*connection_);
    } catch (const DbError&) {
    }
    const std::vector<Players::Player> installed = Players::all();
    auto* group = new QActionGroup(&players_);
    const auto add = [&](const QString& text, const std::optional<QString>& player) {
        QAction* item = players_.addAction(text, this, [this, player] { choosePlayer(player); });
        item->setCheckable(true);
        item->setChecked(chosen == player);
        item->setEnabled(!installed.empty());
        group->addAction(item);
    };
    add(installed.empty() ? u"桌面默认（没有安装媒体播放器）"_s
                          : u"桌面默认（%1）"_s.arg(menuText(installed.front().name)),
        std::nullopt);
    for (const Players::Player& player : installed)
        add(menuText(player.name), player.id);
}

// The choice for every category; a category's own choice, made with vimaro player, stays.
void TrayMenu::choosePlayer(const std::optional<QString>& player) {
    guarded(forms_.form(FormName::Form1), u"选择播放器"_s,
            [&] { PlayerChoice::choose(Catalogue::opened(connection_), {}, player); });
    fill();
}

// The station as it is now; one deleted since the menu opened plays nothing.
void TrayMenu::playRecent(qint64 station) {
    Form& main = forms_.form(FormName::Form1);
    guarded(main, u"播放电台"_s, [&] {
        Database& connection = Catalogue::opened(connection_);
        if (const std::optional<Catalogue::PlayableStation> now =
                Catalogue::StationQuery::stationAt(station).first(connection))
            Playing::play(tellInBox(main), connection, *now);
    });
}

TrayIcon::TrayIcon(Forms& forms, std::function<void()> bringToFront)
    : forms_(forms), bringToFront_(std::move(bringToFront)), menu_(forms) {
    icon_.setIcon(Pictures::windowIcon());
    icon_.setToolTip(u"Vimaro 电视电台快选"_s);
    icon_.setContextMenu(&menu_);
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Icon_Click();
    });
    icon_.show();
}

// The main window is in front when it is shown and not minimised, and either active or kept above the others.
void TrayIcon::Icon_Click() {
    Form& main = forms_.form(FormName::Form1);
    const bool inFront = main.isVisible() && !main.isMinimized() &&
                         (main.isActiveWindow() || main.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    if (!inFront) {
        for (FormName name : hidden_) {
            if (forms_.isLoaded(name))
                forms_.form(name).show();
        }
        hidden_.clear();
        bringToFront_();
        return;
    }
    // Every window of the program, the main window among them.
    for (FormName name : AllWindows) {
        if (forms_.isShown(name)) {
            hidden_.push_back(name);
            forms_.form(name).hide();
        }
    }
}

#include "windows/tray/TrayIcon.h"

#include "catalogue/RecentStations.h"
#include "resources/Pictures.h"
#include "windows/mainwindow/MainWindow.h"
#include "windows/presets/QuickSelect.h"

using namespace Qt::StringLiterals;

namespace {

// How wide an entry's text may grow, in characters of the menu's font: a name of any length leaves the menu a
// menu, not a band across the screen.
constexpr int widestEntry = 32;

// A menu takes "&" for the mark of a key; a station's name means it as itself.
QString menuText(const QString& text) {
    return QString(text).replace(u'&', u"&&"_s);
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
TrayMenu::TrayMenu(Forms& forms) : forms_(forms), recent_(u"最近播放"_s) {
    try {
        connection_ = Catalogue::openConnection();
    } catch (const DbError&) {
    }
    setToolTipsVisible(true);
    recent_.setToolTipsVisible(true);
    connect(this, &QMenu::aboutToShow, this, &TrayMenu::fill);
}

void TrayMenu::fill() {
    clear();
    recent_.clear();
    Form1& main = forms_.get<Form1>(FormName::Form1);
    for (Image* button : main.quickSelectButtons())
        connect(addEntry(*this, describeSlot(connection_, button->ToolTipText())), &QAction::triggered, button,
                &ButtonControl::click);
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
        connect(addEntry(recent_, name), &QAction::triggered, this, [this, row = station.row] { playRecent(row); });
    }
    recent_.setEnabled(!played.empty());
    addMenu(&recent_);
    addSeparator();
    addAction(u"网络电台"_s, this, [this] { openNetRadio(forms_); });
    addAction(main.Label5.Caption(), &main.Label5, &ButtonControl::click);
    addAction(u"退出"_s, &main.Image6, &ButtonControl::click);
}

// The station as it is now; one deleted since the menu opened plays nothing.
void TrayMenu::playRecent(qint64 station) {
    Form& main = forms_.form(FormName::Form1);
    guarded(main, u"播放电台"_s, [&] {
        Database& connection = Catalogue::opened(connection_);
        if (const std::optional<Catalogue::PlayableStation> now =
                Catalogue::StationQuery::stationAt(station).first(connection))
            Catalogue::playStation(main, connection, *now);
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
        if (forms_.isLoaded(name) && forms_.form(name).isVisible()) {
            hidden_.push_back(name);
            forms_.form(name).hide();
        }
    }
}

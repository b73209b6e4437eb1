#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "desktop/Players.h"
#include "playing/PlayerChoice.h"
#include "sqlite/Database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

QString nameOf(const QString& id) {
    const std::optional<Players::Player> player = Players::named(id);
    return player ? u"%1 (%2)"_s.arg(printable(player->name), printable(id))
                  : tr("%1, not installed").arg(printable(id));
}

// The players with their types, the one streams go to now marked, then the choices and the directory's click.
void list(Database& catalogue) {
    const std::vector<Players::Player> players = Players::all();
    const std::optional<QString> chosen = PlayerChoice::chosenForAll(catalogue);
    const QString inUse = chosen.value_or(players.empty() ? QString() : players.front().id);
    if (players.empty())
        say(stdout,
            tr("No media player is installed for streams: every station goes to xdg-open, as a web page does."));
    else
        say(stdout,
            tr("Players for streams (* plays them now; \"headers\": takes a station's User-Agent and Referer):"));
    for (const Players::Player& player : players) {
        say(stdout, u"%1 %2 (%3)%4\n    %5"_s.arg(
                        player.id == inUse ? u"*"_s : u" "_s, printable(player.name), printable(player.id),
                        player.takesHeaders() ? tr(", headers") : QString(), player.types.join(u", "_s)));
    }
    say(stdout, QString());
    const std::vector<PlayerChoice::Choice> choices = PlayerChoice::choices(catalogue);
    if (choices.empty())
        say(stdout, tr("Chosen: none, the desktop's default player for each type (first above)."));
    for (const PlayerChoice::Choice& choice : choices)
        say(stdout, tr("Chosen for %1: %2")
                        .arg(choice.category.isEmpty() ? tr("every category") : printable(choice.category),
                             nameOf(choice.player)));
    say(stdout, PlayerChoice::directoryClicks(catalogue)
                    ? tr("A play of a directory station is told to the directory (--no-directory-clicks turns it off).")
                    : tr("Plays are not told to the directory (--directory-clicks turns it on)."));
}

// Chooses the player of the stations of `category`, or of every category when it is empty: `player`, or the
// desktop's default when none is named. False, having said why, for a category that holds no station or a player
// that is not installed.
bool choose(Database& catalogue, const QString& category, const std::optional<QString>& player) {
    if (!category.isEmpty() && !Catalogue::categories(catalogue).contains(category)) {
        print(stderr, tr("vimaro player: no station is in the category \"%1\"; the categories are:\n%2")
                          .arg(printable(category), categoryLines(catalogue)));
        return false;
    }
    if (!player) {
        PlayerChoice::choose(catalogue, category, std::nullopt);
        return true;
    }
    const std::optional<Players::Player> installed = Players::named(*player);
    if (!installed) {
        print(stderr, tr("vimaro player: no installed player is called \"%1\"; vimaro player lists them\n")
                          .arg(printable(*player)));
        return false;
    }
    PlayerChoice::choose(catalogue, category, installed->id);
    return true;
}

} // namespace

int choosePlayer(const QStringList& arguments) {
    Invocation invocation(
        "player",
        tr("Lists the media players that play streams, and chooses the one stations go to: PLAYER (a name as listed, "
           "such as mpv or vlc) for every category or, with --category, for one; --default gives the choice back to "
           "the desktop. Web pages always open in the browser."));
    QCommandLineParser& parser = invocation.parser;
    parser.addPositionalArgument(u"PLAYER"_s, tr("The player to choose."), u"[PLAYER]"_s);
    const QCommandLineOption category(u"category"_s, tr("Choose for the stations of this category only."), u"类别"_s);
    const QCommandLineOption desktopDefault(u"default"_s, tr("Play streams in the desktop's default player again."));
    const QCommandLineOption noClicks(u"no-directory-clicks"_s,
                                      tr("Do not tell the community directory when one of its stations is played."));
    const QCommandLineOption clicks(u"directory-clicks"_s, tr("Tell the directory again (the first setting)."));
    parser.addOptions({category, desktopDefault, noClicks, clicks});
    if (const std::optional<int> exit = invocation.parse(arguments))
        return *exit;
    const QStringList names = parser.positionalArguments();
    const bool choosing = names.size() == 1 || parser.isSet(desktopDefault);
    if (names.size() > 1 || (names.size() == 1 && parser.isSet(desktopDefault)) ||
        (parser.isSet(category) && !choosing)) {
        print(stderr, tr("vimaro player: give one PLAYER or --default; vimaro player --help says more\n"));
        return Usage;
    }
    Database catalogue = openCatalogue();
    if (parser.isSet(noClicks) || parser.isSet(clicks))
        PlayerChoice::setDirectoryClicks(catalogue, parser.isSet(clicks));
    const std::optional<QString> player = parser.isSet(desktopDefault) ? std::nullopt : std::optional(names.value(0));
    if (choosing && !choose(catalogue, parser.value(category), player))
        return Failed;
    list(catalogue);
    return Done;
}

} // namespace CommandLine

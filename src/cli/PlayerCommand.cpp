#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "desktop/Players.h"
#include "playing/PlayerChoice.h"
#include "sqlite/Database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

void say(std::FILE* stream, const QString& text) {
    print(stream, text + u'\n');
}

QString nameOf(const QString& id) {
    const std::optional<Players::Player> player = Players::named(id);
    return player ? u"%1 (%2)"_s.arg(printable(player->name), printable(id))
                  : u"%1, not installed"_s.arg(printable(id));
}

// The players with their types, the one streams go to now marked, then the choices and the directory's click.
void list(Database& catalogue) {
    const std::vector<Players::Player> players = Players::all();
    const std::optional<QString> chosen = PlayerChoice::chosenForAll(catalogue);
    const QString inUse = chosen.value_or(players.empty() ? QString() : players.front().id);
    if (players.empty())
        say(stdout, u"No media player is installed for streams: every station goes to xdg-open, as a web page does."_s);
    else
        say(stdout,
            u"Players for streams (* plays them now; \"headers\": takes a station's User-Agent and Referer):"_s);
    for (const Players::Player& player : players) {
        say(stdout, u"%1 %2 (%3)%4\n    %5"_s.arg(
                        player.id == inUse ? u"*"_s : u" "_s, printable(player.name), printable(player.id),
                        player.takesHeaders() ? u", headers"_s : QString(), player.types.join(u", "_s)));
    }
    say(stdout, QString());
    const std::vector<PlayerChoice::Choice> choices = PlayerChoice::choices(catalogue);
    if (choices.empty())
        say(stdout, u"Chosen: none, the desktop's default player for each type (first above)."_s);
    for (const PlayerChoice::Choice& choice : choices)
        say(stdout,
            u"Chosen for %1: %2"_s.arg(choice.category.isEmpty() ? u"every category"_s : printable(choice.category),
                                       nameOf(choice.player)));
    say(stdout, PlayerChoice::directoryClicks(catalogue)
                    ? u"A play of a directory station is told to the directory (--no-directory-clicks turns it off)."_s
                    : u"Plays are not told to the directory (--directory-clicks turns it on)."_s);
}

} // namespace

int choosePlayer(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Lists the media players that play streams, and chooses the one stations go to: PLAYER (a name as listed, "
        "such as mpv or vlc) for every category or, with --category, for one; --default gives the choice back to "
        "the desktop. Web pages always open in the browser."_s);
    parser.addPositionalArgument(u"PLAYER"_s, u"The player to choose."_s, u"[PLAYER]"_s);
    const QCommandLineOption category(u"category"_s, u"Choose for the stations of this category only."_s, u"类别"_s);
    const QCommandLineOption desktopDefault(u"default"_s, u"Play streams in the desktop's default player again."_s);
    const QCommandLineOption noClicks(u"no-directory-clicks"_s,
                                      u"Do not tell the community directory when one of its stations is played."_s);
    const QCommandLineOption clicks(u"directory-clicks"_s, u"Tell the directory again (the first setting)."_s);
    parser.addOptions({category, desktopDefault, noClicks, clicks});
    if (const std::optional<int> exit = parse(parser, arguments))
        return *exit;
    const QStringList names = parser.positionalArguments();
    const bool choosing = names.size() == 1 || parser.isSet(desktopDefault);
    if (names.size() > 1 || (names.size() == 1 && parser.isSet(desktopDefault)) ||
        (parser.isSet(category) && !choosing)) {
        std::fprintf(stderr, "vimaro player: give one PLAYER or --default; vimaro player --help says more\n");
        return Usage;
    }
    Database catalogue = openCatalogue();
    if (parser.isSet(noClicks) || parser.isSet(clicks))
        PlayerChoice::setDirectoryClicks(catalogue, parser.isSet(clicks));
    const QString forCategory = parser.value(category);
    if (!forCategory.isEmpty() && !Catalogue::categories(catalogue).contains(forCategory)) {
        print(stderr, u"vimaro player: no station is in the category \"%1\"; the categories are:\n%2"_s.arg(
                          printable(forCategory), categoryLines(catalogue)));
        return Failed;
    }
    if (parser.isSet(desktopDefault)) {
        PlayerChoice::choose(catalogue, forCategory, std::nullopt);
    } else if (names.size() == 1) {
        const std::optional<Players::Player> player = Players::named(names.first());
        if (!player) {
            print(stderr, u"vimaro player: no installed player is called \"%1\"; vimaro player lists them\n"_s.arg(
                              printable(names.first())));
            return Failed;
        }
        PlayerChoice::choose(catalogue, forCategory, player->id);
    }
    list(catalogue);
    return Done;
}

} // namespace CommandLine

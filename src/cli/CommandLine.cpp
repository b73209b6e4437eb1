#include "cli/CommandLine.h"

#include "catalogue/Backup.h"
#include "catalogue/Catalogue.h"
#include "catalogue/JetFormat.h"
#include "core/HiddenText.h"
#include "desktop/ProgramDir.h"
#include "desktop/Translations.h"
#include "jet/OldCatalogue.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

const Command* find(const QString& name) {
    for (const Command& command : commands()) {
        if (name == QLatin1StringView(command.name))
            return &command;
    }
    return nullptr;
}

QString overview() {
    if (commands().empty())
        return {};
    QString text = tr("\nCommands (vimaro COMMAND --help for each):\n");
    for (const Command& command : commands())
        text += u"  %1  %2\n"_s.arg(QString::fromLatin1(command.name).leftJustified(13), tr(command.summary));
    return text;
}

} // namespace

// Commands join this table as they arrive; each lives in a file of its own beside this one.
const std::vector<Command>& commands() {
    static const std::vector<Command> all{
        {"import",
         QT_TRANSLATE_NOOP("CommandLine",
                           "Add the stations of playlist files (M3U, PLS, XSPF) or old catalogues to the catalogue"),
         importStations},
        {"export", QT_TRANSLATE_NOOP("CommandLine", "Write the catalogue, or one category, as a playlist file"),
         exportStations},
        {"check",
         QT_TRANSLATE_NOOP("CommandLine",
                           "Tell which stations still play: check what answers at every station's address"),
         checkStations},
        {"find", QT_TRANSLATE_NOOP("CommandLine", "Search the community radio directory, and add what it finds"),
         findStations},
        {"subscribe",
         QT_TRANSLATE_NOOP("CommandLine",
                           "Import the playlist at an address and keep it up to date with vimaro update"),
         subscribe},
        {"update", QT_TRANSLATE_NOOP("CommandLine", "Bring in the changes of the subscribed playlists"),
         updateSubscriptions},
        {"subscriptions", QT_TRANSLATE_NOOP("CommandLine", "List the subscribed playlists and their last update"),
         listSubscriptions},
        {"unsubscribe", QT_TRANSLATE_NOOP("CommandLine", "Forget a subscription; its stations stay"), unsubscribe},
        {"player",
         QT_TRANSLATE_NOOP("CommandLine", "List the media players for streams and choose the one stations play in"),
         choosePlayer},
        {"now", QT_TRANSLATE_NOOP("CommandLine", "What is on now and next, from the programme guides"), now},
        {"guide",
         QT_TRANSLATE_NOOP("CommandLine",
                           "A station's programme until tomorrow; the programme guides and where they come from"),
         guide},
        {"restore",
         QT_TRANSLATE_NOOP("CommandLine",
                           "Put a backup of the catalogue in place of tv.mdb, keeping the old file aside"),
         restoreCatalogue},
    };
    return all;
}

std::optional<int> parse(QCommandLineParser& parser, const QStringList& arguments) {
    parser.addHelpOption();
    const QString command = arguments.value(0);
    if (!parser.parse(arguments)) {
        print(stderr, u"vimaro %1: %2\n"_s.arg(command, printable(parser.errorText())));
        return Usage;
    }
    if (parser.isSet(u"help"_s)) {
        // Qt's usage line names the program file; the command's own name belongs there too. Qt translates the line.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(u' ' + QCoreApplication::translate("QCommandLineParser", "[options]")),
                     QCoreApplication::translate("QCommandLineParser", "Usage: %1").arg(u"vimaro "_s + command));
        std::printf("%s", qPrintable(help));
        return Done;
    }
    return std::nullopt;
}

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

void say(std::FILE* stream, const QString& text) {
    print(stream, text + u'\n');
}

QString labelColumn(const QString& label) {
    qsizetype columns = 0;
    for (const QChar c : label)
        columns += c.script() == QChar::Script_Han || (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF60) ? 2 : 1;
    return label + QString(qMax<qsizetype>(0, 20 - columns), u' ');
}

QString printable(QStringView text) {
    return withHiddenEscaped(text);
}

namespace {

bool sameFile(const QString& one, const QString& other) {
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(one).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(other).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// An SQLite database or an old catalogue of the Jet engine, told by its header.
bool isDatabase(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4096);
    return head.startsWith(QByteArrayView("SQLite format 3\0", 16)) || jetFormatOf(head).has_value();
}

} // namespace

std::optional<QString> notAPlaylistTarget(const QString& path) {
    if (path == u"-"_s)
        return std::nullopt;
    // The folder a new file would land in, links resolved, and the file itself where it is there.
    const QFileInfo target(path);
    const QString folder = target.absoluteDir().canonicalPath();
    const QFileInfo catalogue(Catalogue::file());
    const QString backups = QDir(Catalogue::backupFolder()).canonicalPath();
    const QString landing = target.exists() ? target.canonicalFilePath() : folder + u'/' + target.fileName();
    // The journal beside the catalogue is part of it.
    const QString journals = catalogue.absoluteDir().canonicalPath() + u'/' + catalogue.fileName() + u'-';
    if (sameFile(path, catalogue.filePath()) || landing.startsWith(journals))
        return tr("%1 is the catalogue in use").arg(QDir::toNativeSeparators(catalogue.filePath()));
    if (!backups.isEmpty() && (QFileInfo(landing).absolutePath() == backups || folder == backups))
        return tr("%1 is in the backup folder %2").arg(path, QDir::toNativeSeparators(backups));
    if (target.exists() && isDatabase(path))
        return tr("%1 is a database").arg(path);
    return std::nullopt;
}

QString catalogueName() {
    try {
        return QDir::toNativeSeparators(Catalogue::file());
    } catch (const ProgramDirError&) {
        return tr("tv.mdb in the data folder");
    }
}

QString categoryLines(Database& catalogue) {
    QString lines;
    for (const QString& category : Catalogue::categories(catalogue))
        lines += u"  \"%1\"\n"_s.arg(printable(category));
    return lines;
}

Database openCatalogue(Database::Access access) {
    if (const auto done = OldCatalogue::convert(Catalogue::file()))
        print(stderr, u"vimaro: %1\n"_s.arg(done->message()));
    return Catalogue::openChecked(access);
}

QString failure(const DbError& error) {
    // The engine's busy text is the windows' Chinese; a command speaks the user's language.
    if (dynamic_cast<const BusyError*>(&error))
        return tr("the catalogue is in use by another program; try again later (database is locked)");
    const auto* corrupt = dynamic_cast<const CorruptError*>(&error);
    if (!corrupt)
        return QString::fromUtf8(error.what());
    const auto* damaged = dynamic_cast<const Catalogue::DamagedError*>(corrupt);
    QString text = tr("the catalogue %1 is damaged (%2).")
                       .arg(QDir::toNativeSeparators(Catalogue::file()),
                            damaged ? damaged->problem : QString::fromUtf8(error.what()));
    if (const std::optional<QString> backup = Catalogue::newestSoundBackup())
        return text + tr(" The newest good backup is %1: \"vimaro restore\" puts it in place and keeps the damaged "
                         "file aside.")
                          .arg(QDir::toNativeSeparators(*backup));
    return text + tr(" There is no good backup in %1.").arg(QDir::toNativeSeparators(Catalogue::backupFolder()));
}

Invocation::Invocation(const char* command, const QString& description) : command_(command) {
    parser.setApplicationDescription(description);
}

Invocation::~Invocation() {
    if (noBackup_)
        Catalogue::setNoBackupRule({});
}

QCommandLineOption Invocation::noBackup() {
    noBackup_.emplace(u"no-backup"_s,
                      CommandLine::tr("Write even when the catalogue cannot be backed up first and backup/ holds no "
                                      "good backup of the last seven days (without it, the command then stops before "
                                      "it writes)."));
    return *noBackup_;
}

std::optional<int> Invocation::parse(const QStringList& arguments) {
    if (const std::optional<int> exit = CommandLine::parse(parser, arguments))
        return exit;
    if (noBackup_ && parser.isSet(*noBackup_)) {
        Catalogue::setNoBackupRule([command = command_](const DbError& why) {
            print(stderr, CommandLine::tr("vimaro %1: writing without a backup, as --no-backup asks: %2\n")
                              .arg(QString::fromUtf8(command), QString::fromUtf8(why.what())));
        });
    }
    return std::nullopt;
}

int failed(const std::exception& error, const QString& words, const std::optional<QString>& noBackupHint) {
    const auto* catalogue = dynamic_cast<const DbError*>(&error);
    const QString why = printable(catalogue ? failure(*catalogue) : QString::fromUtf8(error.what()));
    const bool backupMissing = dynamic_cast<const Catalogue::NoBackupError*>(&error);
    print(stderr, noBackupHint ? words.arg(why, backupMissing ? *noBackupHint : QString()) : words.arg(why));
    return Failed;
}

bool wanted(int argc, char*[]) {
    return argc > 1;
}

int run(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"vimaro"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VIMARO_VERSION));
    // The user's language, as LANG, LC_MESSAGES or LC_ALL name it.
    loadTranslations(QLocale::system());

    const QStringList arguments = QCoreApplication::arguments();
    Database::setWaitingNotice([](std::chrono::milliseconds patience) {
        print(stderr, tr("vimaro: waiting for the catalogue %1, which another program is using (at most %2 s)\n")
                          .arg(catalogueName())
                          .arg(patience.count() / 1000));
    });
    if (const Command* command = find(arguments.value(1))) {
        // Commands work on the catalogue and settings of the program's directory, which may have to be made first.
        // Whatever a command throws is caught here, so that the stack unwinds before the exit: a transaction under
        // way then rolls back and its connection closes, leaving no hot journal beside the catalogue.
        try {
            return command->run(arguments.mid(1));
        } catch (const std::exception& error) {
            print(stderr, u"vimaro: %1\n"_s.arg(printable(QString::fromUtf8(error.what()))));
            return Failed;
        }
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Vimaro 电视电台快选: a desktop launcher for internet television and radio stations.\n"
           "Without arguments it opens its windows.") +
        overview());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(u"command"_s, tr("The command to run."), u"[COMMAND]"_s);
    if (!parser.parse(arguments)) {
        print(stderr, u"vimaro: %1\n"_s.arg(printable(parser.errorText())));
        return Usage;
    }
    if (parser.isSet(u"version"_s)) {
        std::printf("vimaro %s\n", VIMARO_VERSION);
        return Done;
    }
    if (parser.isSet(u"help"_s)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return Done;
    }
    print(stderr, tr("vimaro: unknown command \"%1\"; vimaro --help lists the commands.\n")
                      .arg(printable(parser.positionalArguments().value(0))));
    return Usage;
}

} // namespace CommandLine

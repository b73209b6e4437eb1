// PLS: an INI-like [playlist] section with FileN, TitleN and LengthN keys, NumberOfEntries and Version.
// The category travels in GroupN, a key other players pass over.
#include "playlists/Playlist.h"
#include "playlists/TextLines.h"
#include "sqlite/Statement.h"

#include <QCoreApplication>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

// Every other key of an entry (LengthN, keys of other programs) is one of its attributes.
enum class Key { File, Title, Group, Other };

Key keyNamed(QStringView name) {
    if (name.compare(u"File", Qt::CaseInsensitive) == 0)
        return Key::File;
    if (name.compare(u"Title", Qt::CaseInsensitive) == 0)
        return Key::Title;
    if (name.compare(u"Group", Qt::CaseInsensitive) == 0)
        return Key::Group;
    return Key::Other;
}

// The keys of the entries, kept until the file ends in a private database of their own, which hands them back in
// the order of the entries' numbers: the keys of a PLS file may come in any order, and memory stays the same
// however many entries it holds.
class EntryKeys {
public:
    EntryKeys()
        : keys_(keyDatabase()), writing_(keys_),
          add_(keys_, u"INSERT INTO key VALUES (?, ?, ?, ?, ?) ON CONFLICT DO NOTHING RETURNING 1"_s),
          others_(keys_, u"SELECT name, value FROM key WHERE entry = ? AND key = ? ORDER BY line"_s) {}

    // False when the entry has this key already. `name` tells the keys of Key::Other apart.
    bool add(int entry, Key key, const QString& name, const QString& value, int line) {
        add_.bind(1, entry);
        add_.bind(2, static_cast<int>(key));
        add_.bind(3, key == Key::Other ? name : QString(u""_s));
        add_.bind(4, value);
        add_.bind(5, line);
        const bool added = add_.step();
        add_.reset();
        return added;
    }

    // Each entry in number order: its keys as given (a null text for a key not given), the line of its File key,
    // and its first line.
    template <typename Each> void forEach(Each each) {
        // SQLite numbers parameters from 1 but columns from 0.
        Statement entries(keys_, u"SELECT entry, max(CASE key WHEN ?1 THEN value END), max(CASE key WHEN ?2 THEN "
                                 "value END), max(CASE key WHEN ?3 THEN value END), max(CASE key WHEN ?1 THEN line "
                                 "END), min(line) FROM key GROUP BY entry ORDER BY entry"_s);
        entries.bind(1, static_cast<int>(Key::File));
        entries.bind(2, static_cast<int>(Key::Title));
        entries.bind(3, static_cast<int>(Key::Group));
        const auto given = [&](int column) {
            const QVariant value = entries.column(column);
            return value.isNull() ? std::nullopt : std::optional(value.toString());
        };
        while (entries.step())
            each(static_cast<int>(entries.integer(0)), given(1), given(2), given(3),
                 static_cast<int>(entries.integer(4)), static_cast<int>(entries.integer(5)));
    }

    // The entry's other keys in the order of their lines, as its attributes.
    Catalogue::Attributes others(int entry) {
        others_.bind(1, entry);
        others_.bind(2, static_cast<int>(Key::Other));
        Catalogue::Attributes attributes;
        while (others_.step())
            attributes.push_back({Catalogue::AttributeSource::Pls, others_.text(0), others_.text(1)});
        others_.reset();
        return attributes;
    }

private:
    // An empty name opens a private database that SQLite deletes with its connection.
    static Database keyDatabase() {
        Database keys = Database::OpenDatabase(QString());
        keys.execute(u"CREATE TABLE key (entry INTEGER, key INTEGER, name TEXT, value TEXT, line INTEGER, "
                     "PRIMARY KEY (entry, key, name)) WITHOUT ROWID"_s);
        return keys;
    }

    Database keys_;
    // Never committed: the private database goes with its connection.
    Transaction writing_;
    Statement add_;
    Statement others_;
};

} // namespace

void readPls(TextLines& lines, const Reading& reading) {
    static const QRegularExpression entryKey(u"^([A-Za-z]+)(\\d+)$"_s);
    EntryKeys keys;
    bool inPlaylist = false;
    while (std::optional<TextLine> line = lines.next()) {
        const QStringView trimmed = QStringView(line->text).trimmed();
        const auto unreadable = [&](const QString& reason) { reading.unreadable({line->number, reason}); };
        // Blank lines and comments are passed over; a line too long to keep has no text and is reported.
        const bool passedOver =
            trimmed.isEmpty() ? line->unreadable.isEmpty() : trimmed.startsWith(u';') || trimmed.startsWith(u'#');
        if (passedOver)
            continue;
        if (!line->unreadable.isEmpty()) {
            unreadable(line->unreadable);
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            inPlaylist = trimmed.compare(u"[playlist]", Qt::CaseInsensitive) == 0;
            if (!inPlaylist)
                unreadable(QCoreApplication::translate("Playlists", "starts a section other than [playlist]"));
            continue;
        }
        const qsizetype equals = line->text.indexOf(u'=');
        if (!inPlaylist || equals < 0) {
            unreadable(inPlaylist ? QCoreApplication::translate("Playlists", "is no key=value line")
                                  : QCoreApplication::translate("Playlists", "stands outside the [playlist] section"));
            continue;
        }
        const QRegularExpressionMatch match = entryKey.match(QStringView(line->text).first(equals).trimmed());
        if (!match.hasMatch())
            continue; // NumberOfEntries, Version and keys of other programs
        const Key key = keyNamed(match.capturedView(1));
        // Titles are trimmed as in M3U; the address, the category and the other keys are taken as written.
        const QString value =
            key == Key::Title ? line->text.sliced(equals + 1).trimmed() : line->text.sliced(equals + 1);
        if (!keys.add(match.capturedView(2).toInt(), key, match.captured(1), value, line->number))
            unreadable(QCoreApplication::translate("Playlists", "repeats %1").arg(match.captured(0)));
    }
    keys.forEach([&](int number, const std::optional<QString>& file, const std::optional<QString>& title,
                     const std::optional<QString>& group, int fileLine, int firstLine) {
        if (!file && !title && !group)
            return; // keys of other programs only, as a player may write for entries it has none of
        if (!file || file->isEmpty())
            reading.unreadable(
                {file ? fileLine : firstLine, file ? u"gives File%1 no address"_s.arg(number)
                                                   : u"belongs to entry %1, which has no File%1"_s.arg(number)});
        else
            reading.entry({title.value_or(QString()), *file, group, fileLine, std::nullopt, keys.others(number)});
    });
}

QByteArray writePls(const std::vector<Catalogue::AttributedStation>& stations) {
    QString text = u"[playlist]\n"_s;
    int number = 0;
    for (const auto& [station, attributes] : stations) {
        const QString n = QString::number(++number);
        text += u"File"_s + n + u'=' + oneLine(station.address) + u"\nTitle"_s + n + u'=' + oneLine(station.name) +
                u"\nGroup"_s + n + u'=' + oneLine(station.category) + u'\n';
        // A length the entry's source gave is written among its keys; a stream has none.
        if (!Catalogue::valueOf(attributes, Catalogue::AttributeSource::Pls, u"Length"))
            text += u"Length"_s + n + u"=-1\n"_s;
        for (const Catalogue::Attribute& attribute : attributes) {
            if (attribute.source == Catalogue::AttributeSource::Pls)
                text += oneLine(attribute.name) + n + u'=' + oneLine(attribute.value) + u'\n';
        }
    }
    text += u"NumberOfEntries=%1\nVersion=2\n"_s.arg(number);
    return text.toUtf8();
}

} // namespace Playlists

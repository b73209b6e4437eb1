// PLS: an INI-like [playlist] section with FileN, TitleN and LengthN keys, NumberOfEntries and Version.
// The category travels in GroupN, a key other players pass over.
#include "playlists/Playlist.h"
#include "playlists/TextLines.h"

#include <QRegularExpression>
#include <map>

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

// The keys of entry N, as far as they were given.
struct Keys {
    std::optional<QString> file;
    std::optional<QString> title;
    std::optional<QString> group;
    int fileLine = 0;
    int firstLine = 0;
};

std::optional<QString>* slot(Keys& keys, QStringView name) {
    if (name.compare(u"File", Qt::CaseInsensitive) == 0)
        return &keys.file;
    if (name.compare(u"Title", Qt::CaseInsensitive) == 0)
        return &keys.title;
    if (name.compare(u"Group", Qt::CaseInsensitive) == 0)
        return &keys.group;
    return nullptr; // LengthN and keys of other programs
}

} // namespace

Playlist readPls(const QByteArray& bytes) {
    static const QRegularExpression entryKey(u"^([A-Za-z]+)(\\d+)$"_s);
    Playlist playlist;
    std::map<int, Keys> entries;
    bool inPlaylist = false;
    for (const TextLine& line : textLines(bytes)) {
        const QStringView trimmed = QStringView(line.text).trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        const auto unreadable = [&](const QString& reason) { playlist.unreadable.push_back({line.number, reason}); };
        if (!line.readable) {
            unreadable(u"is not UTF-8 text"_s);
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            inPlaylist = trimmed.compare(u"[playlist]", Qt::CaseInsensitive) == 0;
            if (!inPlaylist)
                unreadable(u"starts a section other than [playlist]"_s);
            continue;
        }
        const qsizetype equals = line.text.indexOf(u'=');
        if (!inPlaylist || equals < 0) {
            unreadable(inPlaylist ? u"is no key=value line"_s : u"stands outside the [playlist] section"_s);
            continue;
        }
        const QRegularExpressionMatch key = entryKey.match(QStringView(line.text).first(equals).trimmed());
        if (!key.hasMatch())
            continue; // NumberOfEntries, Version and keys of other programs
        Keys& keys = entries[key.capturedView(2).toInt()];
        std::optional<QString>* value = slot(keys, key.capturedView(1));
        if (!value)
            continue;
        if (*value) {
            unreadable(u"repeats %1"_s.arg(key.captured(0)));
            continue;
        }
        // Titles are trimmed as in M3U; the address and the category are taken as written.
        *value = value == &keys.title ? line.text.sliced(equals + 1).trimmed() : line.text.sliced(equals + 1);
        if (value == &keys.file)
            keys.fileLine = line.number;
        if (keys.firstLine == 0)
            keys.firstLine = line.number;
    }
    for (auto& [number, keys] : entries) {
        if (!keys.file || keys.file->isEmpty())
            playlist.unreadable.push_back({keys.file ? keys.fileLine : keys.firstLine,
                                           keys.file ? u"gives File%1 no address"_s.arg(number)
                                                     : u"belongs to entry %1, which has no File%1"_s.arg(number)});
        else
            playlist.entries.push_back({keys.title.value_or(QString()), *keys.file, keys.group, keys.fileLine});
    }
    return playlist;
}

QByteArray writePls(const std::vector<Catalogue::Station>& stations) {
    QString text = u"[playlist]\n"_s;
    int number = 0;
    for (const Catalogue::Station& station : stations) {
        const QString n = QString::number(++number);
        text += u"File"_s + n + u'=' + oneLine(station.address) + u"\nTitle"_s + n + u'=' + oneLine(station.name) +
                u"\nGroup"_s + n + u'=' + oneLine(station.category) + u"\nLength"_s + n + u"=-1\n"_s;
    }
    text += u"NumberOfEntries=%1\nVersion=2\n"_s.arg(number);
    return text.toUtf8();
}

} // namespace Playlists

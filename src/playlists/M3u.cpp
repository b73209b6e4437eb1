// Extended M3U (and M3U8): "#EXTINF:duration attributes,title" before an address line, "#EXTGRP:group",
// comments, and bare address lines.
#include "playlists/Playlist.h"
#include "playlists/TextLines.h"

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

// What an #EXTINF line says about the address that follows it.
struct Info {
    QString title;
    std::optional<QString> group;
    std::optional<QString> id;
    int line;
};

bool hasControlCharacters(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t')
            return true;
    }
    return false;
}

// The value of attribute `wanted` in `name="value" name="value"`, with names compared without regard to case.
std::optional<QString> attribute(QStringView attributes, QStringView wanted) {
    qsizetype from = 0;
    qsizetype equals;
    while ((equals = attributes.indexOf(u"=\"", from)) >= 0) {
        qsizetype nameStart = equals;
        while (nameStart > from && !attributes[nameStart - 1].isSpace())
            --nameStart;
        const qsizetype valueEnd = attributes.indexOf(u'"', equals + 2);
        if (valueEnd < 0)
            return std::nullopt;
        if (attributes.sliced(nameStart, equals - nameStart).compare(wanted, Qt::CaseInsensitive) == 0)
            return attributes.sliced(equals + 2, valueEnd - equals - 2).toString();
        from = valueEnd + 1;
    }
    return std::nullopt;
}

// The title follows the first comma outside quoted attribute values, so a group-title "News, World" stays whole.
std::optional<Info> info(QStringView directive, int line) {
    bool quoted = false;
    for (qsizetype i = 0; i < directive.size(); ++i) {
        if (directive[i] == u'"') {
            quoted = !quoted;
        } else if (directive[i] == u',' && !quoted) {
            const QStringView attributes = directive.first(i);
            return Info{directive.sliced(i + 1).trimmed().toString(), attribute(attributes, u"group-title"),
                        attribute(attributes, u"tvg-id"), line};
        }
    }
    return std::nullopt;
}

// The rest of a comment line after a directive such as "#EXTINF:" that it starts with, blanks before it allowed.
std::optional<QStringView> afterDirective(QStringView line, QStringView directive) {
    const QStringView text = line.sliced(line.indexOf(u'#'));
    if (!text.startsWith(directive, Qt::CaseInsensitive))
        return std::nullopt;
    return text.sliced(directive.size());
}

} // namespace

void readM3u(TextLines& lines, const Reading& reading) {
    std::optional<Info> pending;
    std::optional<QString> groupLine;
    while (std::optional<TextLine> line = lines.next()) {
        const QStringView text(line->text);
        const QStringView trimmed = text.trimmed();
        if (line->unreadable.isEmpty() && trimmed.isEmpty())
            continue;
        if (!line->unreadable.isEmpty() || hasControlCharacters(text)) {
            reading.unreadable(
                {line->number, line->unreadable.isEmpty() ? u"holds control characters"_s : line->unreadable});
            continue;
        }
        if (trimmed.startsWith(u'#')) {
            if (const auto directive = afterDirective(text, u"#EXTINF:")) {
                if (pending)
                    reading.unreadable({pending->line, u"is an #EXTINF without an address after it"_s});
                pending = info(*directive, line->number);
                if (!pending)
                    reading.unreadable({line->number, u"is an #EXTINF without a comma before the title"_s});
            } else if (const auto group = afterDirective(text, u"#EXTGRP:")) {
                groupLine = group->toString();
            }
            continue; // #EXTM3U, comments and directives of other programs
        }
        Entry entry{{}, std::move(line->text), groupLine, line->number};
        if (pending) {
            entry.title = std::move(pending->title);
            entry.id = std::move(pending->id);
            if (pending->group)
                entry.group = std::move(pending->group);
        }
        reading.entry(std::move(entry));
        pending.reset();
        groupLine.reset();
    }
    if (pending)
        reading.unreadable({pending->line, u"is an #EXTINF without an address after it"_s});
}

QByteArray writeM3u(const std::vector<Catalogue::Station>& stations) {
    QString text = u"#EXTM3U\n"_s;
    for (const Catalogue::Station& station : stations) {
        // A quoted attribute value cannot hold a double quote; #EXTGRP takes the rest of its line as it is.
        const QString category = oneLine(station.category);
        if (category.contains(u'"'))
            text += u"#EXTINF:-1,"_s + oneLine(station.name) + u"\n#EXTGRP:"_s + category + u'\n';
        else
            text += u"#EXTINF:-1 group-title=\""_s + category + u"\","_s + oneLine(station.name) + u'\n';
        text += oneLine(station.address) + u'\n';
    }
    return text.toUtf8();
}

} // namespace Playlists

// Extended M3U (and M3U8): "#EXTM3U attributes" at the head, then for each entry "#EXTINF:duration attributes,title",
// "#EXTGRP:group" and "#EXTVLCOPT:name=value" lines before its address line, an address perhaps followed by
// "|Name=value&Name=value" for the player; comments, and bare address lines.
#include "playlists/Playlist.h"
#include "playlists/TextLines.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;
using Catalogue::Attribute;
using Catalogue::Attributes;
using Catalogue::AttributeSource;

namespace Playlists {

namespace {

// What an #EXTINF line says about the address that follows it.
struct Info {
    QString title;
    std::optional<QString> group;
    std::optional<QString> id;
    Attributes attributes; // all but group-title
};

// The lines of an entry read before its address: they belong to that address and to no other.
struct EntryLines {
    int first = 0; // the line the entry starts at
    std::optional<Info> info;
    int infoLine = 0;
    std::optional<QString> group;
    Attributes options;
};

bool hasControlCharacters(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t')
            return true;
    }
    return false;
}

// The attributes of `name="value" name="value"`, in their order, of the given source.
Attributes attributesOf(QStringView attributes, AttributeSource source) {
    Attributes found;
    qsizetype from = 0;
    qsizetype equals;
    while ((equals = attributes.indexOf(u"=\"", from)) >= 0) {
        qsizetype nameStart = equals;
        while (nameStart > from && !attributes[nameStart - 1].isSpace())
            --nameStart;
        const qsizetype valueEnd = attributes.indexOf(u'"', equals + 2);
        if (valueEnd < 0)
            break;
        found.push_back({source, attributes.sliced(nameStart, equals - nameStart).toString(),
                         attributes.sliced(equals + 2, valueEnd - equals - 2).toString()});
        from = valueEnd + 1;
    }
    return found;
}

// Takes the first attribute named `wanted` (without regard to case) out of `attributes`.
std::optional<QString> take(Attributes& attributes, QStringView wanted) {
    const auto found = std::find_if(attributes.begin(), attributes.end(), [&](const Attribute& attribute) {
        return attribute.name.compare(wanted, Qt::CaseInsensitive) == 0;
    });
    if (found == attributes.end())
        return std::nullopt;
    QString value = std::move(found->value);
    attributes.erase(found);
    return value;
}

// The title follows the first comma outside quoted attribute values, so a group-title "News, World" stays whole.
// group-title is the station's category and is kept as such, not as an attribute.
std::optional<Info> info(QStringView directive) {
    bool quoted = false;
    for (qsizetype i = 0; i < directive.size(); ++i) {
        if (directive[i] == u'"') {
            quoted = !quoted;
        } else if (directive[i] == u',' && !quoted) {
            Attributes attributes = attributesOf(directive.first(i), AttributeSource::M3u);
            std::optional<QString> group = take(attributes, u"group-title");
            std::optional<QString> id = Catalogue::valueOf(attributes, AttributeSource::M3u, u"tvg-id");
            return Info{directive.sliced(i + 1).trimmed().toString(), std::move(group), std::move(id),
                        std::move(attributes)};
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

bool isEntryDirective(QStringView trimmed) {
    for (QStringView directive : {u"#EXTINF", u"#EXTGRP", u"#EXTVLCOPT"}) {
        if (trimmed.startsWith(directive, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// A header's name as players take it (User-Agent, Referer, X-Forwarded-For): a letter, then letters, digits and
// hyphens. Anything else after a "|" is part of the address.
bool isHeaderName(QStringView name) {
    static const QRegularExpression token(u"^[A-Za-z][A-Za-z0-9-]*$"_s);
    return token.match(name.toString()).hasMatch();
}

// An address with a "|Name=value&Name=value" suffix is the address before it, and the suffix's pairs go to the
// player (values percent-encoded). An address whose "|" is not followed by such pairs stays whole.
std::pair<QString, Attributes> withoutPlayerSuffix(QString address) {
    const qsizetype bar = address.indexOf(u'|');
    if (bar <= 0)
        return {address, {}};
    Attributes pairs;
    for (QStringView pair : QStringView(address).sliced(bar + 1).split(u'&')) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0 || !isHeaderName(pair.first(equals)))
            return {address, {}};
        pairs.push_back({AttributeSource::Kodi, pair.first(equals).toString(),
                         QUrl::fromPercentEncoding(pair.sliced(equals + 1).toUtf8())});
    }
    address.truncate(bar);
    return {std::move(address), std::move(pairs)};
}

QString playerSuffix(const Attributes& attributes) {
    QStringList pairs;
    for (const Attribute& attribute : attributes) {
        if (attribute.source == AttributeSource::Kodi)
            pairs.append(attribute.name + u'=' +
                         QString::fromUtf8(QUrl::toPercentEncoding(attribute.value, " !\"#$'()*+,/:;<=>?@[\\]^`{}~")));
    }
    return pairs.isEmpty() ? QString() : u'|' + pairs.join(u'&');
}

// The reading of an M3U list: the entry being read, and the list's own attributes that every entry carries.
class M3uReader {
public:
    explicit M3uReader(const Reading& reading) : reading_(reading) {}

    void line(TextLine& line) {
        const QStringView text(line.text);
        const QStringView trimmed = text.trimmed();
        if (line.unreadable.isEmpty() && trimmed.isEmpty())
            return;
        if (!line.unreadable.isEmpty() || hasControlCharacters(text))
            return unreadable(line.number,
                              line.unreadable.isEmpty()
                                  ? QCoreApplication::translate("Playlists", "holds control characters")
                                  : line.unreadable,
                              trimmed);
        if (trimmed.startsWith(u'#'))
            return directive(line.number, text);
        address(line.number, std::move(line.text));
    }

    void end() { endEntry(QCoreApplication::translate("Playlists", "is an #EXTINF without an address after it")); }

private:
    void directive(int number, QStringView text) {
        if (const auto header = afterDirective(text, u"#EXTM3U")) {
            listAttributes_ = attributesOf(*header, AttributeSource::M3uList);
        } else if (const auto extinf = afterDirective(text, u"#EXTINF:")) {
            if (entry_ && entry_->info)
                reading_.unreadable({entry_->infoLine, QCoreApplication::translate(
                                                           "Playlists", "is an #EXTINF without an address after it")});
            skipping_ = 0;
            start(number);
            entry_->info = info(*extinf);
            entry_->infoLine = number;
            if (!entry_->info)
                reading_.unreadable({number, QCoreApplication::translate(
                                                 "Playlists", "is an #EXTINF without a comma before the title")});
        } else if (const auto group = afterDirective(text, u"#EXTGRP:")) {
            start(number);
            entry_->group = group->toString();
        } else if (const auto option = afterDirective(text, u"#EXTVLCOPT:")) {
            start(number);
            const qsizetype equals = option->indexOf(u'=');
            entry_->options.push_back({AttributeSource::VlcOption,
                                       option->first(equals < 0 ? option->size() : equals).toString(),
                                       equals < 0 ? QString() : option->sliced(equals + 1).toString()});
        }
        // Other comments and the directives of other programs are passed over.
    }

    void address(int number, QString text) {
        if (skipping_) {
            reading_.unreadable({number, QCoreApplication::translate(
                                             "Playlists", "is the address of an entry whose line %1 cannot be read")
                                             .arg(skipping_)});
            skipping_ = 0;
            entry_.reset();
            return;
        }
        auto [address, suffix] = withoutPlayerSuffix(std::move(text));
        Entry entry{{}, std::move(address), {}, number};
        Attributes attributes;
        if (entry_) {
            entry.group = std::move(entry_->group);
            if (entry_->info) {
                entry.title = std::move(entry_->info->title);
                entry.id = std::move(entry_->info->id);
                if (entry_->info->group)
                    entry.group = std::move(entry_->info->group);
                attributes = std::move(entry_->info->attributes);
            }
            attributes.insert(attributes.end(), entry_->options.begin(), entry_->options.end());
            entry_.reset();
        }
        attributes.insert(attributes.end(), suffix.begin(), suffix.end());
        attributes.insert(attributes.end(), listAttributes_.begin(), listAttributes_.end());
        entry.attributes = std::move(attributes);
        reading_.entry(std::move(entry));
    }

    // A line that cannot be read ends the entry it belongs to, which is left out as a whole: an #EXTINF or option
    // line that cannot be read takes the next address with it, an address line that cannot be read the lines
    // before it. A comment that cannot be read belongs to no entry. A line too long to keep is taken for an
    // entry's line, since nothing shows that it is not one.
    void unreadable(int number, const QString& reason, QStringView trimmed) {
        reading_.unreadable({number, reason});
        if (trimmed.startsWith(u'#') && !isEntryDirective(trimmed))
            return;
        endEntry(u"belongs to an entry whose line %1 cannot be read"_s.arg(number));
        const bool anAddress = !trimmed.isEmpty() && !trimmed.startsWith(u'#');
        skipping_ = anAddress ? 0 : number;
    }

    void start(int number) {
        if (!entry_)
            entry_ = EntryLines{number, {}, 0, {}, {}};
    }

    // The entry being read ends without an address: its #EXTINF, if any, is reported with `reason`.
    void endEntry(const QString& reason) {
        if (entry_ && entry_->info)
            reading_.unreadable({entry_->infoLine, reason});
        entry_.reset();
    }

    const Reading& reading_;
    std::optional<EntryLines> entry_;
    Attributes listAttributes_;
    int skipping_ = 0; // the unreadable line of the entry whose address is still to come, or 0
};

} // namespace

void readM3u(TextLines& lines, const Reading& reading) {
    M3uReader reader(reading);
    while (std::optional<TextLine> line = lines.next())
        reader.line(*line);
    reader.end();
}

namespace {

QString attributeText(const Attributes& attributes, AttributeSource source) {
    QString text;
    for (const Attribute& attribute : attributes) {
        if (attribute.source == source)
            text += u' ' + attribute.name + u"=\""_s + oneLine(attribute.value) + u'"';
    }
    return text;
}

// The list's own attributes of the stations, each once, in the order they first come.
Attributes listAttributes(const std::vector<Catalogue::AttributedStation>& stations) {
    Attributes all;
    for (const Catalogue::AttributedStation& station : stations) {
        for (const Attribute& attribute : station.attributes) {
            if (attribute.source == AttributeSource::M3uList &&
                std::find(all.begin(), all.end(), attribute) == all.end())
                all.push_back(attribute);
        }
    }
    return all;
}

} // namespace

QByteArray writeM3u(const std::vector<Catalogue::AttributedStation>& stations) {
    QString text = u"#EXTM3U"_s + attributeText(listAttributes(stations), AttributeSource::M3uList) + u'\n';
    for (const auto& [station, attributes] : stations) {
        // A quoted attribute value cannot hold a double quote; #EXTGRP takes the rest of its line as it is.
        const QString category = oneLine(station.category);
        const QString extinf = u"#EXTINF:-1"_s + attributeText(attributes, AttributeSource::M3u);
        if (category.contains(u'"'))
            text += extinf + u',' + oneLine(station.name) + u"\n#EXTGRP:"_s + category + u'\n';
        else
            text += extinf + u" group-title=\""_s + category + u"\","_s + oneLine(station.name) + u'\n';
        for (const Attribute& attribute : attributes) {
            if (attribute.source == AttributeSource::VlcOption)
                text += u"#EXTVLCOPT:"_s + oneLine(attribute.name) + u'=' + oneLine(attribute.value) + u'\n';
        }
        text += oneLine(station.address) + oneLine(playerSuffix(attributes)) + u'\n';
    }
    return text.toUtf8();
}

} // namespace Playlists

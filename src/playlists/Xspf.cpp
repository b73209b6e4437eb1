// XSPF: <playlist><trackList><track><location/><title/></track>...; the category travels in a <meta> element
// of the track with the program's own rel, which other players pass over.
#include "playlists/Input.h"
#include "playlists/Playlist.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

const QString Namespace = u"http://xspf.org/ns/0/"_s;
const QString CategoryRel = u"https://vimaro.example.org/xspf/category"_s;

// The most XML the reader may hold while it waits for the end of one piece (a text, a tag): far more than the
// longest value, so that a value too long is still told as such, and bounded, so that an endless one ends.
constexpr qsizetype LongestPiece = 16 * LongestValue;

int lineOf(const QXmlStreamReader& xml) {
    return static_cast<int>(xml.lineNumber());
}

// The tracks of an XSPF document, told apart as its elements pass by, one at a time: the first <location> of a
// track is its address, its last <title> its title, and its last <meta> with the program's rel its category.
// Everything else, however deep, is passed over.
class Tracks {
public:
    explicit Tracks(const Reading& reading) : reading_(reading) {}

    // Takes the reader's current piece; false once the document's root element has ended, or is no XSPF playlist.
    bool take(QXmlStreamReader& xml) {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement:
            return start(xml);
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (field_)
                append(xml.text());
            return true;
        case QXmlStreamReader::EndElement:
            return end();
        default:
            return true;
        }
    }

private:
    enum class Field { Location, Title, Category, Other };
    struct Track {
        int line; // where the track starts
        Entry entry;
        bool located = false;
        bool tooLong = false;
    };

    bool start(QXmlStreamReader& xml) {
        ++depth_;
        const QStringView name = xml.name();
        if (depth_ == 1 && name != u"playlist") {
            reading_.unreadable({lineOf(xml), QCoreApplication::translate("Playlists", "starts no XSPF playlist")});
            return false;
        }
        // A value holds text only, as the XML reader's own element text requires.
        if (field_) {
            xml.raiseError(u"Expected character data."_s);
        } else if (depth_ == 2) {
            inTrackList_ = name == u"trackList";
        } else if (depth_ == 3 && inTrackList_ && name == u"track") {
            track_ = Track{lineOf(xml), {{}, {}, {}, lineOf(xml)}};
        } else if (depth_ == 4 && track_) {
            field_ = fieldOf(xml, name);
            if (field_ == Field::Location)
                track_->entry.line = lineOf(xml);
        }
        return true;
    }

    std::optional<Field> fieldOf(const QXmlStreamReader& xml, QStringView name) {
        if (name == u"location" && !track_->located)
            return Field::Location;
        if (name == u"title")
            return Field::Title;
        const QStringView rel = xml.attributes().value(u"rel"_s);
        if (name == u"meta" && rel == CategoryRel)
            return Field::Category;
        // The other text fields of a track are kept as its attributes, meta and link by their rel.
        static const QStringList others = {u"creator"_s, u"annotation"_s, u"info"_s,     u"image"_s,
                                           u"album"_s,   u"trackNum"_s,   u"duration"_s, u"identifier"_s};
        if (others.contains(name))
            otherName_ = name.toString();
        else if (name == u"meta" || name == u"link")
            otherName_ = name.toString() + u':' + rel.toString();
        else
            return std::nullopt;
        return Field::Other;
    }

    void append(QStringView text) {
        if (text_.size() + text.size() > LongestValue)
            track_->tooLong = true;
        else
            text_ += text;
    }

    bool end() {
        if (field_ && depth_ == 4)
            keep(*std::exchange(field_, std::nullopt), std::exchange(text_, {}));
        else if (depth_ == 3 && track_)
            give(*std::exchange(track_, std::nullopt));
        return --depth_ > 0;
    }

    void keep(Field field, QString text) {
        Entry& entry = track_->entry;
        if (field == Field::Location) {
            entry.address = std::move(text);
            track_->located = true;
        } else if (field == Field::Title) {
            entry.title = std::move(text);
        } else if (field == Field::Category) {
            entry.group = std::move(text);
        } else {
            entry.attributes.push_back({Catalogue::AttributeSource::Xspf, otherName_, std::move(text)});
        }
    }

    void give(Track track) {
        if (track.tooLong)
            reading_.unreadable(
                {track.line, QCoreApplication::translate("Playlists", "holds a value longer than %1 KiB")
                                 .arg(LongestValue / 1024)});
        else if (track.entry.address.isEmpty())
            reading_.unreadable(
                {track.line, QCoreApplication::translate("Playlists", "is a track without a location")});
        else
            reading_.entry(std::move(track.entry));
    }

    const Reading& reading_;
    int depth_ = 0;
    bool inTrackList_ = false;
    std::optional<Track> track_;
    std::optional<Field> field_;
    QString otherName_; // of the field of Field::Other
    QString text_;
};

} // namespace

void readXspf(InputBlocks& input, const Reading& reading) {
    QXmlStreamReader xml;
    Tracks tracks(reading);
    qint64 waiting = 0;
    for (;;) {
        const QByteArray block = input.next();
        xml.addData(block);
        waiting += block.size();
        while (xml.readNext() != QXmlStreamReader::Invalid) {
            waiting = 0;
            if (!tracks.take(xml))
                return;
        }
        if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError || block.isEmpty())
            break;
        // The XML reader keeps a piece whole until it ends.
        if (waiting > LongestPiece)
            return reading.unreadable(
                {lineOf(xml),
                 u"holds a text or a tag longer than %1 MiB, and is read no further"_s.arg(LongestPiece >> 20)});
    }
    // The tracks before a fault are read; the fault itself is reported where the XML reader met it.
    reading.unreadable(
        {lineOf(xml), QCoreApplication::translate("Playlists", "is no well-formed XML: %1").arg(xml.errorString())});
}

QByteArray writeXspf(const std::vector<Catalogue::AttributedStation>& stations) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(Namespace);
    xml.writeStartElement(Namespace, u"playlist"_s);
    xml.writeAttribute(u"version"_s, u"1"_s);
    xml.writeStartElement(Namespace, u"trackList"_s);
    for (const auto& [station, attributes] : stations) {
        xml.writeStartElement(Namespace, u"track"_s);
        xml.writeTextElement(Namespace, u"location"_s, station.address);
        xml.writeTextElement(Namespace, u"title"_s, station.name);
        xml.writeStartElement(Namespace, u"meta"_s);
        xml.writeAttribute(u"rel"_s, CategoryRel);
        xml.writeCharacters(station.category);
        xml.writeEndElement();
        for (const Catalogue::Attribute& attribute : attributes) {
            if (attribute.source != Catalogue::AttributeSource::Xspf)
                continue;
            const qsizetype colon = attribute.name.indexOf(u':');
            xml.writeStartElement(Namespace, attribute.name.first(colon < 0 ? attribute.name.size() : colon));
            if (colon >= 0)
                xml.writeAttribute(u"rel"_s, attribute.name.sliced(colon + 1));
            xml.writeCharacters(attribute.value);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return bytes;
}

} // namespace Playlists

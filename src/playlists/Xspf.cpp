// XSPF: <playlist><trackList><track><location/><title/></track>...; the category travels in a <meta> element
// of the track with the program's own rel, which other players pass over.
#include "playlists/Playlist.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

const QString Namespace = u"http://xspf.org/ns/0/"_s;
const QString CategoryRel = u"https://vimaro.example.org/xspf/category"_s;

int lineOf(const QXmlStreamReader& xml) {
    return static_cast<int>(xml.lineNumber());
}

void readTrack(QXmlStreamReader& xml, Playlist& playlist) {
    const int line = lineOf(xml);
    Entry entry{{}, {}, {}, line};
    bool located = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"location" && !located) {
            entry.line = lineOf(xml);
            entry.address = xml.readElementText();
            located = true;
        } else if (xml.name() == u"title") {
            entry.title = xml.readElementText();
        } else if (xml.name() == u"meta" && xml.attributes().value(u"rel"_s) == CategoryRel) {
            entry.group = xml.readElementText();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return;
    if (entry.address.isEmpty())
        playlist.unreadable.push_back({line, u"is a track without a location"_s});
    else
        playlist.entries.push_back(std::move(entry));
}

void readTrackList(QXmlStreamReader& xml, Playlist& playlist) {
    while (xml.readNextStartElement()) {
        if (xml.name() == u"track")
            readTrack(xml, playlist);
        else
            xml.skipCurrentElement();
    }
}

} // namespace

Playlist readXspf(const QByteArray& bytes) {
    Playlist playlist;
    QXmlStreamReader xml(bytes);
    if (xml.readNextStartElement()) {
        if (xml.name() != u"playlist") {
            playlist.unreadable.push_back({lineOf(xml), u"starts no XSPF playlist"_s});
            return playlist;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == u"trackList")
                readTrackList(xml, playlist);
            else
                xml.skipCurrentElement();
        }
    }
    // The tracks before a fault are read; the fault itself is reported where the XML reader met it.
    if (xml.hasError())
        playlist.unreadable.push_back({lineOf(xml), u"is no well-formed XML: %1"_s.arg(xml.errorString())});
    return playlist;
}

QByteArray writeXspf(const std::vector<Catalogue::Station>& stations) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(Namespace);
    xml.writeStartElement(Namespace, u"playlist"_s);
    xml.writeAttribute(u"version"_s, u"1"_s);
    xml.writeStartElement(Namespace, u"trackList"_s);
    for (const Catalogue::Station& station : stations) {
        xml.writeStartElement(Namespace, u"track"_s);
        xml.writeTextElement(Namespace, u"location"_s, station.address);
        xml.writeTextElement(Namespace, u"title"_s, station.name);
        xml.writeStartElement(Namespace, u"meta"_s);
        xml.writeAttribute(u"rel"_s, CategoryRel);
        xml.writeCharacters(station.category);
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return bytes;
}

} // namespace Playlists

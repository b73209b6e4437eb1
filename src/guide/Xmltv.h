#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <optional>

// XMLTV read as its bytes arrive, one element at a time, so that a guide of any size takes the same memory:
// <tv><channel id><display-name/>…</channel>…<programme start stop channel><title/><sub-title/><desc/>
// <category/>…</programme>…</tv>. A DOCTYPE line is accepted as it is and never loaded; a guide that declares
// entities of its own is refused, so no text is ever expanded.
namespace Guide {

// An XMLTV time: "20261208200000 +0800", seconds and the offset optional (no offset is UTC). Seconds since the
// epoch, or nothing when the text is no such time.
std::optional<qint64> parseTime(QStringView text);

struct Channel {
    QString id;
    QStringList names;
};

struct ProgrammeHead {
    QString channel;
    qint64 start = 0;
    std::optional<qint64> stop; // a guide may leave it out: the next programme's start ends it
};

struct ProgrammeText {
    QString title;
    QString subTitle;
    QString description;
    QString category;
};

// What the reader gives to whoever keeps the guide.
class XmltvHandler {
public:
    virtual ~XmltvHandler() = default;
    virtual void channel(Channel channel) = 0;
    // Whether the programme is wanted at all; the texts of one that is not are never gathered.
    virtual bool wants(const ProgrammeHead& head) = 0;
    virtual void programme(const ProgrammeHead& head, ProgrammeText text) = 0;
};

class XmltvReader {
public:
    // Titles in `language` ("zh") are taken before others; else a programme's first.
    XmltvReader(XmltvHandler& handler, QString language);

    // Throws GuideError for what is not XMLTV, is not well-formed, or has a time that does not parse.
    void feed(QByteArrayView bytes);
    // The end of the guide: throws GuideError for one cut short.
    void finish();

private:
    enum class Field { None, DisplayName, Title, SubTitle, Description, Category };

    void take();
    void start();
    void end();
    void startProgramme();
    void startField();
    void keepField();
    qint64 time(QStringView name, QStringView text) const;
    [[noreturn]] void refuse(const QString& reason) const;

    XmltvHandler& handler_;
    QString language_;
    QXmlStreamReader xml_;
    qint64 waiting_ = 0; // bytes given since the reader last finished a piece
    int depth_ = 0;
    bool ended_ = false;

    enum class Item { None, Channel, Programme, Skipped } item_ = Item::None;
    Channel channel_;
    ProgrammeHead head_;
    ProgrammeText text_;
    bool titleInLanguage_ = false;
    bool fieldInLanguage_ = false;
    Field field_ = Field::None;
    QString fieldText_;
};

} // namespace Guide

#include "guide/Xmltv.h"

#include "guide/Guide.h"

using namespace Qt::StringLiterals;

namespace Guide {

namespace {

// The longest texts kept: a title or a name far longer is no title, and a description says in a few lines what the
// programme is.
constexpr qsizetype LongestName = 256;
constexpr qsizetype LongestDescription = 512;
// The most XML the reader may hold while it waits for the end of one piece (a text, a tag).
constexpr qint64 LongestPiece = qint64(4) << 20;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
qint64 daysFromCivil(qint64 year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<qint64>(dayOfEra) - 719468;
}

// The number of `count` digits at `at`, or -1.
int digits(QStringView text, qsizetype at, qsizetype count) {
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

bool isMonthDay(int year, int month, int day) {
    static constexpr int Days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > Days[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day <= 28 || leap;
}

// Text from a guide as the catalogue may hold it: one line, bounded. XML keeps out every control character but the
// line breaks and tabs, which become blanks with the other white space, and DEL and C1 (U+007F to U+009F), which
// could rewrite a terminal and are dropped.
QString cleaned(const QString& text, qsizetype bound) {
    QString clean = text.simplified();
    clean.removeIf([](QChar c) { return c.unicode() >= 0x7F && c.unicode() <= 0x9F; });
    return clean.left(bound);
}

} // namespace

std::optional<qint64> parseTime(QStringView text) {
    const int year = digits(text, 0, 4);
    const int month = digits(text, 4, 2);
    const int day = digits(text, 6, 2);
    const int hour = digits(text, 8, 2);
    const int minute = digits(text, 10, 2);
    if (year < 0 || !isMonthDay(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    qsizetype at = 12;
    int second = 0;
    if (const int given = digits(text, 12, 2); given >= 0) {
        second = given;
        at = 14;
    }
    if (second > 60)
        return std::nullopt;
    while (at < text.size() && text[at] == u' ')
        ++at;
    qint64 offset = 0;
    if (at < text.size()) {
        const QChar sign = text[at];
        const int hours = digits(text, at + 1, 2);
        const int minutes = digits(text, at + 3, 2);
        if ((sign != u'+' && sign != u'-') || hours < 0 || hours > 14 || minutes < 0 || minutes > 59 ||
            at + 5 != text.size())
            return std::nullopt;
        offset = (hours * 3600 + minutes * 60) * (sign == u'-' ? -1 : 1);
    }
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset;
}

XmltvReader::XmltvReader(XmltvHandler& handler, QString language) : handler_(handler), language_(std::move(language)) {}

void XmltvReader::feed(QByteArrayView bytes) {
    xml_.addData(bytes.toByteArray());
    waiting_ += bytes.size();
    while (!ended_ && xml_.readNext() != QXmlStreamReader::Invalid) {
        waiting_ = 0;
        take();
    }
    if (ended_)
        return;
    if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        refuse(u"it is no well-formed XML: %1"_s.arg(xml_.errorString()));
    if (waiting_ > LongestPiece)
        refuse(u"it holds a text or a tag longer than %1 MiB"_s.arg(LongestPiece >> 20));
}

void XmltvReader::finish() {
    if (!ended_)
        refuse(depth_ == 0 && xml_.lineNumber() <= 1 ? u"it is empty"_s : u"it is cut short"_s);
}

void XmltvReader::take() {
    switch (xml_.tokenType()) {
    case QXmlStreamReader::StartElement:
        return start();
    case QXmlStreamReader::EndElement:
        return end();
    case QXmlStreamReader::Characters:
        if (field_ != Field::None && fieldText_.size() < LongestDescription)
            fieldText_ += xml_.text();
        return;
    case QXmlStreamReader::DTD:
        if (!xml_.entityDeclarations().isEmpty() || !xml_.notationDeclarations().isEmpty())
            refuse(u"it declares entities of its own, which a guide is never read with"_s);
        return;
    case QXmlStreamReader::EntityReference:
        refuse(u"it refers to an entity, %1, which a guide is never read with"_s.arg(xml_.name()));
    default:
        return;
    }
}

void XmltvReader::start() {
    ++depth_;
    if (depth_ == 1) {
        if (xml_.name() != u"tv")
            refuse(u"it is no XMLTV guide: it starts with <%1>"_s.arg(xml_.name()));
    } else if (depth_ == 2) {
        const QStringView name = xml_.name();
        if (name == u"channel") {
            item_ = Item::Channel;
            channel_ = {cleaned(xml_.attributes().value(u"id"_s).toString(), LongestName), {}};
        } else if (name == u"programme") {
            startProgramme();
        } else {
            item_ = Item::Skipped;
        }
    } else if (depth_ == 3) {
        startField();
    }
}

void XmltvReader::startProgramme() {
    const QXmlStreamAttributes attributes = xml_.attributes();
    head_.channel = cleaned(attributes.value(u"channel"_s).toString(), LongestName);
    head_.start = time(u"start", attributes.value(u"start"_s));
    const QStringView stop = attributes.value(u"stop"_s);
    head_.stop = stop.isEmpty() ? std::nullopt : std::optional(time(u"stop", stop));
    item_ = handler_.wants(head_) ? Item::Programme : Item::Skipped;
    text_ = {};
    titleInLanguage_ = false;
}

void XmltvReader::startField() {
    const QStringView name = xml_.name();
    field_ = Field::None;
    if (item_ == Item::Channel && name == u"display-name")
        field_ = Field::DisplayName;
    else if (item_ != Item::Programme)
        return;
    else if (name == u"title")
        field_ = Field::Title;
    else if (name == u"sub-title" && text_.subTitle.isEmpty())
        field_ = Field::SubTitle;
    else if (name == u"desc" && text_.description.isEmpty())
        field_ = Field::Description;
    else if (name == u"category" && text_.category.isEmpty())
        field_ = Field::Category;
    // Only a title is picked by its language among several; of the other texts the first is kept.
    fieldInLanguage_ = field_ == Field::Title && !language_.isEmpty() &&
                       xml_.attributes().value(u"lang"_s).startsWith(language_, Qt::CaseInsensitive);
    fieldText_.clear();
}

void XmltvReader::end() {
    if (depth_ == 3 && field_ != Field::None)
        keepField();
    else if (depth_ == 2 && item_ == Item::Channel)
        handler_.channel(std::move(channel_));
    else if (depth_ == 2 && item_ == Item::Programme)
        handler_.programme(head_, std::move(text_));
    else if (depth_ == 1)
        ended_ = true;
    if (depth_ == 2)
        item_ = Item::None;
    --depth_;
}

void XmltvReader::keepField() {
    const Field field = std::exchange(field_, Field::None);
    const qsizetype bound = field == Field::Description ? LongestDescription : LongestName;
    QString text = cleaned(fieldText_, bound);
    if (text.isEmpty())
        return;
    switch (field) {
    case Field::DisplayName:
        channel_.names.append(std::move(text));
        break;
    case Field::Title:
        // A programme's first title, unless one in the user's language follows.
        if (text_.title.isEmpty() || (fieldInLanguage_ && !titleInLanguage_)) {
            text_.title = std::move(text);
            titleInLanguage_ = fieldInLanguage_;
        }
        break;
    case Field::SubTitle:
        text_.subTitle = std::move(text);
        break;
    case Field::Description:
        text_.description = std::move(text);
        break;
    case Field::Category:
        text_.category = std::move(text);
        break;
    case Field::None:
        break;
    }
}

qint64 XmltvReader::time(QStringView name, QStringView text) const {
    const std::optional<qint64> parsed = parseTime(text);
    if (!parsed)
        refuse(u"the %1 time \"%2\" is no XMLTV time"_s.arg(name, text.left(LongestName)));
    return *parsed;
}

void XmltvReader::refuse(const QString& reason) const {
    throw GuideError(u"line %1: %2"_s.arg(xml_.lineNumber()).arg(reason));
}

} // namespace Guide

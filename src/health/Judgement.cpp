#include "health/Judgement.h"

#include "health/Content.h"

using namespace Qt::StringLiterals;
using Content::Kind;

namespace {

constexpr qsizetype SniffBytes = 512; // enough to tell a stream or a playlist by its first bytes

// A server's bytes shown in a finding: one line, printable, short.
QString printable(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes.left(60));
    for (QChar& c : text) {
        if (!c.isPrint())
            c = u'?';
    }
    return text;
}

Judgement found(Verdict verdict, const QString& detail) {
    return {Judgement::Step::Found, {verdict, detail}, {}, {}};
}

QString typeText(const QByteArray& type) {
    return type.isEmpty() ? u"no Content-Type"_s : printable(type);
}

QString statusText(const Answer& answer) {
    const QString protocol = answer.protocol() == "ICY" ? u"ICY"_s : u"HTTP"_s;
    return u"%1 %2 %3"_s.arg(protocol).arg(answer.status()).arg(printable(answer.reason())).trimmed();
}

// What plays: the type, and for the older stream servers that answer "ICY 200 OK" that status line too.
QString streamText(const Answer& answer, const QByteArray& type) {
    if (answer.protocol() == "ICY")
        return type.isEmpty() ? statusText(answer) : u"%1, %2"_s.arg(statusText(answer), printable(type));
    return type.isEmpty() ? u"media without a Content-Type"_s : printable(type);
}

Judgement redirect(const Answer& answer, const QUrl& address) {
    const QByteArray location = answer.header("location");
    if (location.isEmpty())
        return found(Verdict::ServerError, u"HTTP %1 without a Location"_s.arg(answer.status()));
    return {Judgement::Step::Redirect, {}, address.resolved(QUrl(QString::fromUtf8(location))), {}};
}

// A body broken off by a fault (a malformed chunk, gzip that stops decoding) counts as far as it arrived, as one
// whose connection closed early: so the judgement does not depend on whether the fault came in the same read.
Judgement judgeBody(const Answer& answer, const QUrl& address, bool entry) {
    const QByteArray type = answer.header("content-type");
    Kind kind = Content::fromType(type, address);
    const QByteArray& body = answer.body();
    const bool broken = answer.fault() != Answer::Fault::None;
    if (broken && body.isEmpty() && kind != Kind::Page)
        return found(Verdict::ServerError, answer.problem());
    const bool ended = answer.bodyEnded() || broken;
    if (kind == Kind::Unknown) {
        if (!ended && body.size() < SniffBytes)
            return {};
        kind = Content::fromBytes(body);
        if (kind == Kind::Unknown && entry && !body.isEmpty())
            kind = Kind::Stream;
        if (kind == Kind::Unknown)
            return found(Verdict::NotAStream, body.isEmpty() ? u"an empty answer"_s : typeText(type));
    }
    if (kind == Kind::Page)
        return found(Verdict::NotAStream, u"a web page (%1)"_s.arg(typeText(type)));
    if (kind == Kind::Stream) {
        if (!body.isEmpty())
            return found(Verdict::Plays, streamText(answer, type));
        return ended ? found(Verdict::NoAnswer, u"%1 without any data"_s.arg(typeText(type))) : Judgement{};
    }
    if (!ended && body.size() < Answer::BodyLimit)
        return {};
    const QString name = Content::name(kind, body);
    const QUrl next = Content::firstEntry(kind, body, address);
    if (next.isEmpty())
        return found(Verdict::NotAStream, u"%1 that lists no entry"_s.arg(name));
    return {Judgement::Step::Entry, {}, next, name};
}

} // namespace

Judgement judge(const Answer& answer, const QUrl& address, bool entry) {
    if (!answer.headRead()) {
        switch (answer.fault()) {
        case Answer::Fault::Silent:
            return found(Verdict::NoAnswer, answer.problem());
        case Answer::Fault::NotHttp:
            return found(Verdict::NotHttp, u"the answer begins \"%1\""_s.arg(printable(answer.firstLine())));
        case Answer::Fault::Broken:
            return found(Verdict::ServerError, answer.problem());
        case Answer::Fault::None:
            return {};
        }
    }
    const int status = answer.status();
    if (status >= 300 && status < 400)
        return redirect(answer, address);
    if (status >= 500 || status < 200)
        return found(Verdict::ServerError, statusText(answer));
    if (status >= 400)
        return found(Verdict::NotFound, statusText(answer));
    return judgeBody(answer, address, entry);
}

// A station server's answer as any server might send it, read as the health check reads it: any bytes must end
// without a crash, a hang or undefined behaviour; the answer keeps to its bounds; an answer that takes no more bytes
// is judged, never left waiting for more; and the same bytes get the same judgement whether they arrive at once or
// in small pieces. Poured into an outlet, as a download reads it, the body is the same as far as the kept one goes,
// and all of it when the kept one ended within its limit.
//
// Input: the bytes the server sends (status line, headers, body, chunked or compressed or neither).
#include "health/Answer.h"
#include "health/Judgement.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_answer: %s\n", what);
        std::abort();
    }
}

// Feeds `bytes` to `answer` in pieces of the given sizes in turn, judging after each as the check does after each
// read, and closes the connection when the bytes run out before a judgement.
Judgement readInPieces(QByteArrayView bytes, std::initializer_list<qsizetype> pieces, Answer& answer) {
    const QUrl address(u"http://station.example/live/radio"_s);
    qsizetype at = 0;
    for (auto piece = pieces.begin(); at < bytes.size();
         piece = std::next(piece) == pieces.end() ? pieces.begin() : std::next(piece)) {
        const QByteArrayView offered = bytes.sliced(at, std::min(*piece, bytes.size() - at));
        const qsizetype taken = answer.read(offered);
        check(taken >= 0 && taken <= offered.size(), "took more than it was given");
        check(answer.body().size() <= Answer::BodyLimit, "a body beyond its limit");
        const Judgement judgement = judge(answer, address, false);
        check(taken == offered.size() || judgement.step != Judgement::Step::ReadOn, "takes no more, yet reads on");
        if (judgement.step != Judgement::Step::ReadOn)
            return judgement;
        at += offered.size();
    }
    answer.close();
    const Judgement judgement = judge(answer, address, false);
    check(judgement.step != Judgement::Step::ReadOn, "the connection closed, yet it reads on");
    return judgement;
}

// Reads `bytes` in small pieces as a download does, the body poured out as it arrives (up to a bound of the fuzz
// target's own, past any kept body); returns what was poured.
QByteArray pourInPieces(QByteArrayView bytes) {
    QByteArray poured;
    Answer answer([&](QByteArrayView piece) {
        poured += piece;
        return poured.size() < 4 * Answer::BodyLimit;
    });
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype taken = answer.read(bytes.sliced(at, std::min<qsizetype>(5, bytes.size() - at)));
        if (taken == 0)
            return poured;
        at += taken;
    }
    answer.close();
    return poured;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    Answer whole;
    Answer pieces;
    const Judgement once = readInPieces(bytes, {std::max<qsizetype>(bytes.size(), 1)}, whole);
    const Judgement split = readInPieces(bytes, {1, 7, 2, 300, 3, 4096}, pieces);
    check(once.step == split.step && once.finding.verdict == split.finding.verdict && once.next == split.next &&
              once.playlist == split.playlist,
          "judged otherwise when split");
    // Of an answer that is no HTTP, the detail shows its first line as far as it had arrived.
    check(once.finding.verdict == Verdict::NotHttp || once.finding.detail == split.finding.detail,
          "told otherwise when split");
    const QByteArray poured = pourInPieces(bytes);
    check(poured.startsWith(whole.body()), "poured otherwise than kept");
    const bool keptAll = whole.bodyEnded() && whole.fault() == Answer::Fault::None;
    check(!keptAll || whole.body().size() == Answer::BodyLimit || poured == whole.body(), "poured more than kept");
    return 0;
}

#pragma once

#include <QString>
#include <array>
#include <optional>

// What checking a station's address found. Listed as reports order them: dead stations first, then the ones a
// check cannot judge, then the ones that play.
enum class Verdict {
    Refused,
    NotFound,
    ServerError,
    TimedOut,
    Unresolved,
    TlsFailure,
    TooManyRedirects,
    NoAnswer,
    NotHttp,
    BadAddress,
    NotAStream,
    Unchecked,
    Plays,
    Redirects,
    PortAnswers,
};
inline constexpr int VerdictCount = static_cast<int>(Verdict::PortAnswers) + 1;

// Whether a verdict means the station plays, is dead, or cannot be judged: an HTML page may still be a
// broadcaster's live page, and a UDP address has no server that answers a connection.
enum class Standing { Dead, Undecided, Plays };

struct Finding {
    Verdict verdict;
    QString detail;
};

// A finding's detail as it is stored and shown, whatever a server sent: one line of printable characters, at most
// MaxDetail of them.
inline constexpr qsizetype MaxDetail = 300;
QString tidyDetail(const QString& detail);

namespace Verdicts {

Standing standing(Verdict verdict);
// The stable name stored in tv.mdb and written in JSON: "not-found".
QString key(Verdict verdict);
// What a person reads, in the language of the translations loaded: "not found", "地址不存在".
QString label(Verdict verdict);
std::optional<Verdict> fromKey(const QString& key);

} // namespace Verdicts

// How many stations got each verdict.
class Tally {
public:
    void add(Verdict verdict) { ++counts_[static_cast<int>(verdict)]; }
    qint64 count(Verdict verdict) const { return counts_[static_cast<int>(verdict)]; }
    qint64 count(Standing standing) const;
    qint64 total() const;

private:
    std::array<qint64, VerdictCount> counts_{};
};

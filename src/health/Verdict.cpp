#include "health/Verdict.h"

#include <numeric>

namespace {

struct Description {
    const char* key;
    const char* label;
    Standing standing;
};

// In the order of enum Verdict.
constexpr std::array<Description, VerdictCount> descriptions{{
    {"refused", "refused", Standing::Dead},
    {"not-found", "not found", Standing::Dead},
    {"server-error", "server error", Standing::Dead},
    {"timed-out", "timed out", Standing::Dead},
    {"unresolved", "name not resolved", Standing::Dead},
    {"tls-failure", "TLS failure", Standing::Dead},
    {"too-many-redirects", "too many redirects", Standing::Dead},
    {"no-answer", "no answer", Standing::Dead},
    {"not-http", "answered, not HTTP", Standing::Dead},
    {"bad-address", "bad address", Standing::Dead},
    {"not-a-stream", "not a stream", Standing::Undecided},
    {"unchecked", "not checked", Standing::Undecided},
    {"plays", "plays", Standing::Plays},
    {"redirects", "plays after redirect", Standing::Plays},
    {"port-answers", "port answers", Standing::Plays},
}};

const Description& describe(Verdict verdict) {
    return descriptions[static_cast<std::size_t>(verdict)];
}

} // namespace

namespace Verdicts {

Standing standing(Verdict verdict) {
    return describe(verdict).standing;
}

QString key(Verdict verdict) {
    return QString::fromLatin1(describe(verdict).key);
}

QString label(Verdict verdict) {
    return QString::fromLatin1(describe(verdict).label);
}

std::optional<Verdict> fromKey(const QString& key) {
    for (int i = 0; i < VerdictCount; ++i) {
        if (key == QLatin1StringView(descriptions[static_cast<std::size_t>(i)].key))
            return static_cast<Verdict>(i);
    }
    return std::nullopt;
}

} // namespace Verdicts

QString tidyDetail(const QString& detail) {
    QString tidy = detail.size() > MaxDetail ? detail.left(MaxDetail - 1) + u'…' : detail;
    for (QChar& c : tidy) {
        if (!c.isPrint())
            c = u'?';
    }
    return tidy;
}

qint64 Tally::count(Standing standing) const {
    qint64 sum = 0;
    for (int i = 0; i < VerdictCount; ++i) {
        if (Verdicts::standing(static_cast<Verdict>(i)) == standing)
            sum += counts_[static_cast<std::size_t>(i)];
    }
    return sum;
}

qint64 Tally::total() const {
    return std::accumulate(counts_.begin(), counts_.end(), qint64{0});
}

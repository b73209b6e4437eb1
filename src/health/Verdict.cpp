#include "health/Verdict.h"

#include <QCoreApplication>
#include <numeric>

namespace {

struct Description {
    const char* key;
    const char* label;
    Standing standing;
};

// In the order of enum Verdict.
constexpr std::array<Description, VerdictCount> descriptions{{
    {"refused", QT_TRANSLATE_NOOP("Verdicts", "refused"), Standing::Dead},
    {"not-found", QT_TRANSLATE_NOOP("Verdicts", "not found"), Standing::Dead},
    {"server-error", QT_TRANSLATE_NOOP("Verdicts", "server error"), Standing::Dead},
    {"timed-out", QT_TRANSLATE_NOOP("Verdicts", "timed out"), Standing::Dead},
    {"unresolved", QT_TRANSLATE_NOOP("Verdicts", "name not resolved"), Standing::Dead},
    {"tls-failure", QT_TRANSLATE_NOOP("Verdicts", "TLS failure"), Standing::Dead},
    {"too-many-redirects", QT_TRANSLATE_NOOP("Verdicts", "too many redirects"), Standing::Dead},
    {"no-answer", QT_TRANSLATE_NOOP("Verdicts", "no answer"), Standing::Dead},
    {"not-http", QT_TRANSLATE_NOOP("Verdicts", "answered, not HTTP"), Standing::Dead},
    {"bad-address", QT_TRANSLATE_NOOP("Verdicts", "bad address"), Standing::Dead},
    {"not-a-stream", QT_TRANSLATE_NOOP("Verdicts", "not a stream"), Standing::Undecided},
    {"unchecked", QT_TRANSLATE_NOOP("Verdicts", "not checked"), Standing::Undecided},
    {"plays", QT_TRANSLATE_NOOP("Verdicts", "plays"), Standing::Plays},
    {"redirects", QT_TRANSLATE_NOOP("Verdicts", "plays after redirect"), Standing::Plays},
    {"port-answers", QT_TRANSLATE_NOOP("Verdicts", "port answers"), Standing::Plays},
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
    return QCoreApplication::translate("Verdicts", describe(verdict).label);
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

#pragma once

#include "guide/Guide.h"
#include "guide/Unpack.h"
#include "guide/Xmltv.h"
#include "sqlite/Statement.h"

#include <QHash>
#include <memory>

// One guide taken into the catalogue as its bytes arrive. What the guide says is gathered aside (in temporary
// tables, which lock nothing of the catalogue) and replaces what the source said before only once the whole guide
// was read: a guide refused on the way changes nothing.
namespace Guide {

struct ImportReport {
    int channels = 0;      // of the guide's, matched to a station
    int stations = 0;      // that have their guide from the source now
    qint64 programmes = 0; // kept
    qint64 skipped = 0;    // ending before they start
    QString line() const;
};

// The validators of the answer that brought the guide, kept for the next update.
struct Validators {
    QByteArray etag;
    QByteArray lastModified;
};

class Import : private XmltvHandler {
public:
    // Keeps the programmes of `now` − 2 h to `now` + 7 days. Throws DbError.
    Import(Database& catalogue, Source source, const QDateTime& now, qint64 largest = MaxUnpackedBytes);
    ~Import() override;

    // The bytes as sent, gzip-compressed or not. Throws GuideError.
    void feed(QByteArrayView bytes);
    // Replaces what the source said before, in one transaction. Throws GuideError or DbError.
    ImportReport finish(const Validators& validators);

private:
    struct Stations;
    void channel(Channel channel) override;
    bool wants(const ProgrammeHead& head) override;
    void programme(const ProgrammeHead& head, ProgrammeText text) override;
    qint64 stage(const QString& xmltvId);
    void link(qint64 key, const std::vector<qint64>& stations, bool byId);
    void replace();

    Database& catalogue_;
    Source source_;
    qint64 shift_;
    qint64 from_;
    qint64 to_;
    std::unique_ptr<Stations> stations_;
    QHash<QString, qint64> keys_; // the guide's channels matched to a station, by id
    ImportReport report_;
    Transaction transaction_;
    Statement stageChannel_;
    Statement stageStation_;
    Statement stageProgramme_;
    XmltvReader reader_;
    Unpack unpack_;
};

} // namespace Guide

// Programme guides as any server might send them: any bytes, gzip-compressed or not, read as they arrive a few at a
// time, must end in a guide or a refusal (GuideError), without a crash, a hang or undefined behaviour.
//
// Input: the guide's bytes; its size decides how many arrive at a time.
#include "guide/Guide.h"
#include "guide/Unpack.h"
#include "guide/Xmltv.h"

namespace {

// Takes every programme, so that every text is gathered and cleaned.
class Everything : public Guide::XmltvHandler {
    void channel(Guide::Channel) override {}
    bool wants(const Guide::ProgrammeHead&) override { return true; }
    void programme(const Guide::ProgrammeHead&, Guide::ProgrammeText) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype step = qsizetype(1 + size % 16);
    Everything handler;
    Guide::XmltvReader reader(handler, QStringLiteral("zh"));
    Guide::Unpack unpack(qint64(64) << 20, [&](QByteArrayView unpacked) { reader.feed(unpacked); });
    try {
        for (qsizetype at = 0; at < bytes.size(); at += step)
            unpack.feed(bytes.sliced(at, std::min(step, bytes.size() - at)));
        unpack.finish();
        reader.finish();
    } catch (const Guide::GuideError&) {
    }
    return 0;
}

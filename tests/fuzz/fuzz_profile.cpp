// The settings file as anyone might leave it. Reading must end, whatever the user answers to its boxes; rewriting
// must change nothing but the entry (or put the section and entry first), leave tvset.tmp equal to tvset.ini, and
// save a colour that reads back without a box.
//
// Input: one byte choosing the answers to the first four boxes (two bits each: Abort, Retry, Ignore, Abort; every
// later box is answered Abort), then the content of tvset.ini.
#include "core/FileFailure.h"
#include "desktop/ProgramDir.h"
#include "profile/Profile.h"
#include "tests/support/MsgBoxScript.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

const QString section = QStringLiteral("setup");
const QString key = QStringLiteral("color");
const QByteArray entry = "color=&H00FF00";

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_profile: %s\n", what);
        std::abort();
    }
}

QByteArray read(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Lines as the settings grammar has them: a line ends at a CR, and an LF right after that CR belongs to its break.
QList<QByteArray> linesOf(const QByteArray& bytes) {
    QList<QByteArray> lines;
    for (qsizetype pos = 0; pos < bytes.size();) {
        qsizetype end = bytes.indexOf('\r', pos);
        if (end < 0)
            end = bytes.size();
        lines.append(bytes.mid(pos, end - pos));
        pos = end + 1 + (end + 1 < bytes.size() && bytes[end + 1] == '\n');
    }
    return lines;
}

QList<QByteArray> withoutKeyLines(QList<QByteArray> lines) {
    lines.removeIf([](const QByteArray& line) { return line.contains("color"); });
    return lines;
}

// Either the file's own lines follow the section and entry in their installed form, or only lines that contain the
// key went or came, and every line that came is the entry.
void checkRewrite(const QByteArray& before, const QByteArray& after) {
    const QList<QByteArray> old = linesOf(before);
    const QList<QByteArray> rewritten = linesOf(after);
    if (rewritten.mid(2) == old && rewritten.mid(0, 2) == QList<QByteArray>{"[setup]", entry})
        return;
    check(withoutKeyLines(old) == withoutKeyLines(rewritten), "a line without the key was lost, moved or added");
    for (const QByteArray& line : rewritten)
        check(!line.contains("color") || line == entry || old.contains(line), "a line was changed");
    check(after.isEmpty() || after.endsWith("\r\n"), "the rewrite does not end with CR LF");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir(QStringLiteral("/dev/shm/vimaro-fuzz-XXXXXX"));
    static MsgBoxScript boxes;
    if (size == 0)
        return 0;
    setProgramDirForTesting(dir.path());
    const QString settings = dir.filePath(QStringLiteral("tvset.ini"));
    const QByteArray content(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size) - 1);
    {
        QFile file(settings);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size(),
              "cannot write the settings file");
    }

    boxes.clear();
    for (int box = 0; box < 4; ++box)
        boxes.answerNext(std::array{vbAbort, vbRetry, vbIgnore, vbAbort}[(data[0] >> (2 * box)) & 3]);
    GetProfile(settings, section, key);

    // A rewrite may only fail at a line longer than any settings line, and then leaves the file as it was.
    try {
        setProfile(settings, section, key, QStringLiteral("&H00FF00"));
    } catch (const FileFailure&) {
        const QList<QByteArray> lines = linesOf(content);
        check(std::any_of(lines.begin(), lines.end(), [](const QByteArray& line) { return line.size() > 64 * 1024; }),
              "a rewrite failed");
        check(read(settings) == content, "a failed rewrite changed the settings file");
        return 0;
    }
    const QByteArray after = read(settings);
    check(read(dir.filePath(QStringLiteral("tvset.tmp"))) == after, "tvset.tmp differs from tvset.ini");
    checkRewrite(content, after);
    boxes.clear();
    check(GetProfile(settings, section, key) == QStringLiteral("&H00FF00") && boxes.boxes().isEmpty(),
          "the saved colour does not read back");
    return 0;
}

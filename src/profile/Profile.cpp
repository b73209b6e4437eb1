#include "profile/Profile.h"

#include "core/Ask.h"
#include "core/FileFailure.h"
#include "desktop/FileWriter.h"
#include "desktop/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr char32_t CR = U'\r';
constexpr char32_t LF = U'\n';

// ---- The file as a sequence of lines ----

// The longest line a settings file may hold, in bytes. The system's own lines are a few dozen bytes; a longer line
// means the file is no settings file, and holding it would cost memory without bound.
constexpr qsizetype LongestLine = 64 * 1024;
constexpr qsizetype BlockSize = 16 * 1024;

// A settings file read one line at a time, so memory stays bounded by the longest line however large the file.
// A line ends at a CR; an LF right after that CR belongs to the same line break.
class SettingsLines {
public:
    explicit SettingsLines(const QString& fileName) : file_(fileName) {}

    bool open() { return file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

    // For a rewrite, a settings file that does not exist reads as one without lines, so that the first save
    // creates it.
    bool openIfThere() {
        ended_ = !file_.exists();
        return ended_ || open();
    }

    // The next line with its line break, valid until the next call. Nothing at the end of the file, nor after a
    // read error or at a line longer than LongestLine: failure() then says why, and the file ends there.
    std::optional<QByteArrayView> next() {
        while (failure_.isEmpty()) {
            const qsizetype cr = pending_.indexOf('\r', pos_);
            // A CR that ends what has been read so far may yet be followed by the LF of its line break.
            const bool complete = cr >= 0 && (cr + 1 < pending_.size() || ended_);
            if ((complete ? cr : pending_.size()) - pos_ > LongestLine)
                failure_ = u"a line is longer than %1 bytes"_s.arg(LongestLine);
            else if (complete)
                return take(cr + 1 < pending_.size() && pending_[cr + 1] == '\n' ? cr + 2 : cr + 1);
            else if (ended_)
                return pos_ < pending_.size() ? std::optional(take(pending_.size())) : std::nullopt;
            else
                readBlock();
        }
        return std::nullopt;
    }

    QString failure() const { return failure_.isEmpty() ? file_.errorString() : failure_; }
    bool failed() const { return !failure_.isEmpty(); }

private:
    QByteArrayView take(qsizetype end) {
        const QByteArrayView line = QByteArrayView(pending_).sliced(pos_, end - pos_);
        pos_ = end;
        return line;
    }

    void readBlock() {
        pending_.remove(0, pos_);
        pos_ = 0;
        const QByteArray block = file_.read(BlockSize);
        if (file_.error() != QFileDevice::NoError)
            failure_ = file_.errorString();
        ended_ = block.isEmpty();
        pending_ += block;
    }

    QFile file_;
    QByteArray pending_;
    qsizetype pos_ = 0;
    bool ended_ = false;
    QString failure_;
};

// ---- Reading: the file as a sequence of characters ----

// Reading a character or a line when nothing is left: the one failure the reader's handlers catch.
struct InputPastEndOfFile {};

// The settings file opened for sequential input: characters one at a time, or the rest of a line. Lines are
// decoded one at a time; a line the file cannot give (too long, unreadable) ends the input there, so the reader's
// own handling of a read past the end refuses it.
class TextInput {
public:
    explicit TextInput(SettingsLines& lines) : lines_(lines) {}

    bool atEnd() {
        while (pos_ == line_.size()) {
            if (!nextLine())
                return true;
        }
        return false;
    }

    char32_t readChar() {
        if (atEnd())
            throw InputPastEndOfFile{};
        return line_[pos_++];
    }

    // The rest of the line up to its CR; an LF right after that CR belongs to the same line break. An LF whose CR
    // was read as a character is text, so the line then runs on to the next CR.
    std::u32string readLine() {
        if (atEnd())
            throw InputPastEndOfFile{};
        std::u32string rest;
        do {
            const std::size_t cr = line_.find(CR, pos_);
            if (cr != std::u32string::npos) {
                rest.append(line_, pos_, cr - pos_);
                pos_ = cr + 1 < line_.size() && line_[cr + 1] == LF ? cr + 2 : cr + 1;
                return rest;
            }
            rest.append(line_, pos_);
            pos_ = line_.size();
        } while (nextLine());
        return rest;
    }

    // Moves on to the next `c` without reading it; false when the file ends first.
    bool skipTo(char32_t c) {
        while (!atEnd()) {
            pos_ = line_.find(c, pos_);
            if (pos_ != std::u32string::npos)
                return true;
            pos_ = line_.size();
        }
        return false;
    }

private:
    bool nextLine() {
        const std::optional<QByteArrayView> bytes = lines_.next();
        if (!bytes)
            return false;
        // Most settings lines are plain ASCII, which needs no decoding.
        if (std::all_of(bytes->begin(), bytes->end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; }))
            line_.assign(bytes->begin(), bytes->end());
        else
            line_ = QString(decode_(*bytes)).toStdU32String();
        pos_ = 0;
        return true;
    }

    SettingsLines& lines_;
    // Each line decoded on its own gives what decoding the whole file would: a line break ends any character,
    // and a byte-order mark at a line's start stays the character it is inside the file.
    QStringDecoder decode_{QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};
    std::u32string line_;
    std::size_t pos_ = 0;
};

void showNodeNotFound() {
    ask(QStringLiteral("节点未找到"), vbOKOnly);
}

MsgBoxResult askFieldNotFound() {
    return ask(QStringLiteral("在文件中没有找到所要查找的字段"), vbAbortRetryIgnore, QStringLiteral("错误信息"));
}

// Collects a section name or a key for an exact comparison with `wanted`: one character beyond its length already
// decides, so a name that runs on over many lines costs no memory.
void collect(std::u32string& collected, char32_t c, const std::u32string& wanted) {
    if (collected.size() <= wanted.size())
        collected += c;
}

// Every "[" opens a section name up to the next "]", wherever it stands, until the wanted section is found; the two
// characters after its "]" are taken for the header's CR LF. Without a match the input is left at the end of the
// file, so the key scan fails at once. Throws when the matching header ends the file too early.
void skipToSection(TextInput& in, const std::u32string& section) {
    std::u32string name;
    while (!in.atEnd()) {
        // Outside brackets only an empty section name can match, so the scan may run on to the next "[".
        if (!section.empty() && !in.skipTo(U'['))
            return;
        if (in.readChar() == U'[') {
            while (!in.atEnd()) {
                const char32_t c = in.readChar();
                if (c == U']')
                    break;
                collect(name, c, section);
            }
        }
        if (name == section) {
            in.readChar();
            in.readChar();
            return;
        }
        name.clear();
    }
}

// Reads everything up to the next "=", line breaks included, so a line without "=" becomes the front of the next
// key, and tells whether it was the wanted key.
bool readKey(TextInput& in, const std::u32string& name) {
    std::u32string key;
    while (!in.atEnd()) {
        const char32_t c = in.readChar();
        if (c == U'=')
            break;
        collect(key, c, name);
    }
    return key == name;
}

// Reads the rest of the line into value, asking the user whenever the file has already ended: Retry reads again,
// Ignore passes over the read and leaves value as it was. False when the user chose Abort.
bool readRestOfLine(TextInput& in, std::u32string& value) {
    for (;;) {
        try {
            value = in.readLine();
            return true;
        } catch (const InputPastEndOfFile&) {
            switch (askFieldNotFound()) {
            case vbRetry:
                continue;
            case vbIgnore:
                return true;
            default:
                return false;
            }
        }
    }
}

// The value buffer outlives each line so that an ignored read of the matching key's value returns the rest of the
// line skipped last.
std::optional<std::u32string> findValue(TextInput& in, const std::u32string& name) {
    std::u32string value;
    for (;;) {
        const bool found = readKey(in, name);
        if (!readRestOfLine(in, value))
            return std::nullopt;
        if (found)
            return value;
    }
}

// ---- Writing: the file as a sequence of lines ----

// Lines are kept as the file's own bytes, so text in any other encoding survives a rewrite untouched. Markers,
// spaces and line breaks are single bytes in UTF-8 and never occur inside a longer character, so matching on bytes
// finds exactly what matching on the decoded characters would.
QByteArrayView withoutLineBreak(QByteArrayView line) {
    if (line.endsWith("\r\n"))
        return line.chopped(2);
    return line.endsWith('\r') ? line.chopped(1) : line;
}

QByteArrayView trimSpaces(QByteArrayView text) {
    while (text.startsWith(' '))
        text = text.sliced(1);
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

bool isSectionHeader(QByteArrayView line, QByteArrayView trimmedSection) {
    const QByteArrayView trimmed = trimSpaces(line);
    return trimmed.contains('[') && trimmed.contains(trimmedSection);
}

// A settings file that could not be read: the system's error of the call that failed names the cause.
[[noreturn]] void fail(const char* what, const QString& fileName, const QString& why) {
    const int error = errno;
    throw FileFailure(
        causeOfSystemError(error), fileName,
        QStringLiteral("cannot %1 %2: %3").arg(QLatin1StringView(what), QDir::toNativeSeparators(fileName), why));
}

// Lines written to several files at once, each line followed by CR LF.
class LineWriter {
public:
    explicit LineWriter(std::initializer_list<FileWriter*> files) : files_(files) {}

    void writeLine(QByteArrayView line) {
        for (FileWriter* file : files_) {
            file->write(line);
            file->write("\r\n");
        }
    }

private:
    std::vector<FileWriter*> files_;
};

// Copies the file line by line; after each header the first line containing the key gives way to the new entry,
// and without one the entry closes the file. Lines read while looking for the entry are not tested as headers.
void rewriteWithEntry(SettingsLines& lines, LineWriter& out, const QString& section, const QString& name,
                      const QString& save) {
    const QByteArray trimmedSection = trimSpaces(section.toUtf8()).toByteArray();
    const QByteArray trimmedName = trimSpaces(name.toUtf8()).toByteArray();
    const QByteArray entry = (name + u'=' + save).toUtf8();
    while (std::optional<QByteArrayView> line = lines.next()) {
        const QByteArrayView text = withoutLineBreak(*line);
        out.writeLine(text);
        if (!isSectionHeader(text, trimmedSection))
            continue;
        while ((line = lines.next()) && !withoutLineBreak(*line).contains(trimmedName))
            out.writeLine(withoutLineBreak(*line));
        out.writeLine(entry);
    }
}

// Every line of the file, as it stands, to `out`.
void copyLines(const QString& fileName, LineWriter& out) {
    SettingsLines lines(fileName);
    if (!lines.openIfThere())
        fail("open", fileName, lines.failure());
    while (std::optional<QByteArrayView> line = lines.next())
        out.writeLine(withoutLineBreak(*line));
    if (lines.failed())
        fail("read", fileName, lines.failure());
}

// Whether the reader finds the entry with this value, silently: the section, the key, then its value, all before
// the file ends.
bool readsBack(const QString& fileName, const QString& section, const QString& name, const QString& value) {
    SettingsLines lines(fileName);
    if (!lines.open())
        return false;
    TextInput in(lines);
    const std::u32string key = name.toStdU32String();
    try {
        skipToSection(in, section.toStdU32String());
        for (;;) {
            const bool found = readKey(in, key);
            const std::u32string rest = in.readLine();
            if (found)
                return rest == value.toStdU32String();
        }
    } catch (const InputPastEndOfFile&) {
        return false;
    }
}

} // namespace

QString GetProfile(const QString& strFileName, const QString& strSection, const QString& strName) {
    SettingsLines lines(strFileName);
    if (!lines.open()) {
        showNodeNotFound();
        return {};
    }
    TextInput in(lines);
    try {
        skipToSection(in, strSection.toStdU32String());
    } catch (const InputPastEndOfFile&) {
        showNodeNotFound();
        return {};
    }
    return QString::fromStdU32String(findValue(in, strName.toStdU32String()).value_or(std::u32string()));
}

// The rewrite the line grammar gives is made first in a scratch file. Where it leaves no entry the reader finds (no
// header, a blank line or spaces in the way, no file at all), the value could never be read again: the section and
// entry then open the file in their installed form, the form the reader always finds, and the file's own lines
// follow as they were. The result goes to tvset.tmp and to the settings file at once; each takes its name only
// once complete, the copy first, so that after a failure or a crash at any moment tvset.ini is whole, old or new,
// and tvset.tmp whole or absent.
void removeUnfinishedSaves(const QString& strFileName) {
    FileWriter::removeLeftBehind(programDir() + u"/tvset.tmp"_s);
    FileWriter::removeLeftBehind(strFileName);
}

void setProfile(const QString& strFileName, const QString& strSection, const QString& strName, const QString& strSave) {
    // The scratch file is written as the settings file is, so that a full disk cannot cut it short unseen.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        fail("write", scratch.path(), scratch.errorString());
    const QString rewritten = scratch.filePath(u"tvset.ini"_s);
    {
        SettingsLines lines(strFileName);
        if (!lines.openIfThere())
            fail("open", strFileName, lines.failure());
        FileWriter file(rewritten);
        LineWriter out{&file};
        rewriteWithEntry(lines, out, strSection, strName, strSave);
        if (lines.failed())
            fail("read", strFileName, lines.failure());
        file.commit();
    }

    removeUnfinishedSaves(strFileName);
    FileWriter copy(programDir() + u"/tvset.tmp"_s);
    FileWriter settings(strFileName);
    LineWriter out{&copy, &settings};
    if (readsBack(rewritten, strSection, strName, strSave)) {
        copyLines(rewritten, out);
    } else {
        out.writeLine((u'[' + strSection + u']').toUtf8());
        out.writeLine((strName + u'=' + strSave).toUtf8());
        copyLines(strFileName, out);
    }
    copy.commit();
    settings.commit();
}

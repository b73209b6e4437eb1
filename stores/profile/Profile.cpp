#include "stores/profile/Profile.h"

#include "platform/MsgBox.h"
#include "platform/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <optional>
#include <string>

namespace {

constexpr char32_t CR = U'\r';
constexpr char32_t LF = U'\n';

// ---- Reading: the file as a sequence of characters ----

// Reading a character or a line when nothing is left: the one failure the reader's handlers catch.
struct InputPastEndOfFile {};

// The settings file opened for sequential input: characters one at a time, or the rest of a line. It holds the
// whole file, read once, so a Retry reads the same content again and the file on disk is free the moment it loads.
class TextInput {
public:
    explicit TextInput(const QByteArray& bytes) : text_(QString::fromUtf8(bytes).toStdU32String()) {}

    bool atEnd() const { return pos_ == text_.size(); }

    char32_t readChar() {
        if (atEnd())
            throw InputPastEndOfFile{};
        return text_[pos_++];
    }

    // The line ends at CR; an LF right after that CR belongs to the same line break. A lone LF is text.
    std::u32string readLine() {
        if (atEnd())
            throw InputPastEndOfFile{};
        const std::size_t end = text_.find(CR, pos_);
        if (end == std::u32string::npos) {
            std::u32string line = text_.substr(pos_);
            pos_ = text_.size();
            return line;
        }
        std::u32string line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (!atEnd() && text_[pos_] == LF)
            ++pos_;
        return line;
    }

private:
    std::u32string text_;
    std::size_t pos_ = 0;
};

std::optional<TextInput> openForInput(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return TextInput(bytes);
}

void showNodeNotFound() {
    MsgBox(QStringLiteral("节点未找到"), vbOKOnly);
}

MsgBoxResult askFieldNotFound() {
    return MsgBox(QStringLiteral("在文件中没有找到所要查找的字段"), vbAbortRetryIgnore, QStringLiteral("错误信息"));
}

// Every "[" opens a section name up to the next "]", wherever it stands, until the wanted section is found; the two
// characters after its "]" are taken for the header's CR LF. Without a match the input is left at the end of the
// file, so the key scan fails at once. Throws when the matching header ends the file too early.
void skipToSection(TextInput& in, const std::u32string& section) {
    std::u32string name;
    while (!in.atEnd()) {
        if (in.readChar() == U'[') {
            while (!in.atEnd()) {
                const char32_t c = in.readChar();
                if (c == U']')
                    break;
                name += c;
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

// Everything up to the next "=", line breaks included, so a line without "=" becomes the front of the next key.
std::u32string readKey(TextInput& in) {
    std::u32string key;
    while (!in.atEnd()) {
        const char32_t c = in.readChar();
        if (c == U'=')
            break;
        key += c;
    }
    return key;
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
        const bool found = readKey(in) == name;
        if (!readRestOfLine(in, value))
            return std::nullopt;
        if (found)
            return value;
    }
}

// Whether the reader finds the entry with this value, silently: the section, the key, then its value, all before
// the file ends.
bool readsBack(const QByteArray& bytes, const QString& section, const QString& name, const QString& value) {
    TextInput in(bytes);
    const std::u32string key = name.toStdU32String();
    try {
        skipToSection(in, section.toStdU32String());
        for (;;) {
            const bool found = readKey(in) == key;
            const std::u32string rest = in.readLine();
            if (found)
                return rest == value.toStdU32String();
        }
    } catch (const InputPastEndOfFile&) {
        return false;
    }
}

// ---- Writing: the file as a sequence of lines ----

// Lines are kept as the file's own bytes, so text in any other encoding survives a rewrite untouched. Markers,
// spaces and line breaks are single bytes in UTF-8 and never occur inside a longer character, so matching on bytes
// finds exactly what matching on the decoded characters would.
QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\r', pos);
        if (end < 0)
            end = bytes.size();
        lines.append(bytes.mid(pos, end - pos));
        pos = end + 1;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray trimSpaces(const QByteArray& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    return text.mid(first, last - first);
}

bool isSectionHeader(const QByteArray& line, const QByteArray& trimmedSection) {
    const QByteArray trimmed = trimSpaces(line);
    return trimmed.contains('[') && trimmed.contains(trimmedSection);
}

// After each header the first line containing the key gives way to the new entry; without one, the entry closes
// the file. Lines read while looking for the entry are not tested as headers themselves.
QList<QByteArray> withEntry(const QList<QByteArray>& lines, const QString& section, const QString& name,
                            const QString& save) {
    const QByteArray trimmedSection = trimSpaces(section.toUtf8());
    const QByteArray trimmedName = trimSpaces(name.toUtf8());
    const QByteArray entry = (name + u'=' + save).toUtf8();
    QList<QByteArray> result;
    for (auto line = lines.begin(); line != lines.end();) {
        result.append(*line);
        if (!isSectionHeader(*line++, trimmedSection))
            continue;
        while (line != lines.end() && !line->contains(trimmedName))
            result.append(*line++);
        if (line != lines.end())
            ++line;
        result.append(entry);
    }
    return result;
}

[[noreturn]] void fail(const char* what, const QString& fileName, const QFileDevice& file) {
    throw ProfileError(QStringLiteral("cannot %1 %2: %3")
                           .arg(QLatin1StringView(what), QDir::toNativeSeparators(fileName), file.errorString())
                           .toStdString());
}

// A settings file that does not exist reads as one without lines, so that the first save creates it.
QByteArray readSettings(const QString& fileName) {
    QFile file(fileName);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        fail("open", fileName, file);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail("read", fileName, file);
    return bytes;
}

void writeCopy(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("write", fileName, file);
    file.close();
    if (file.error() != QFileDevice::NoError)
        fail("write", fileName, file);
}

// The new content lands under the settings file's name only once it is complete, so a failure at any point leaves
// the old file whole.
void replaceAtomically(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail("replace", fileName, file);
}

} // namespace

QString GetProfile(const QString& strFileName, const QString& strSection, const QString& strName) {
    std::optional<TextInput> in = openForInput(strFileName);
    if (!in) {
        showNodeNotFound();
        return {};
    }
    try {
        skipToSection(*in, strSection.toStdU32String());
    } catch (const InputPastEndOfFile&) {
        showNodeNotFound();
        return {};
    }
    return QString::fromStdU32String(findValue(*in, strName.toStdU32String()).value_or(std::u32string()));
}

// Where the line grammar leaves no entry the reader finds (no header, a blank line or spaces in the way, no file at
// all), the value could never be read again: the section and entry then open the file in their installed form, the
// form the reader always finds, and the file's own lines follow as they were.
void setProfile(const QString& strFileName, const QString& strSection, const QString& strName, const QString& strSave) {
    const QList<QByteArray> lines = splitLines(readSettings(strFileName));
    QByteArray content = joinLines(withEntry(lines, strSection, strName, strSave));
    if (!readsBack(content, strSection, strName, strSave))
        content = joinLines(
            QList<QByteArray>{(u'[' + strSection + u']').toUtf8(), (strName + u'=' + strSave).toUtf8()} + lines);
    writeCopy(programDir() + QStringLiteral("/tvset.tmp"), content);
    replaceAtomically(strFileName, content);
}

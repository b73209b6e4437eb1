#include "tests/support/JetSamples.h"

#include <QFile>

namespace JetSamples {

QByteArray bytes(const QString& name) {
    QFile file(QStringLiteral(VIMARO_JET_SAMPLES "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no sample %s", qPrintable(file.fileName()));
    return file.readAll();
}

QByteArray renamingField(const QString& name, const QString& from, const QString& to) {
    const auto utf16 = [](const QString& text) {
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    QByteArray sample = bytes(name);
    const qsizetype at = sample.indexOf(utf16(from));
    if (at < 0 || from.size() != to.size())
        qFatal("cannot rename field %s of %s", qPrintable(from), qPrintable(name));
    return sample.replace(at, from.size() * 2, utf16(to));
}

QList<QStringList> rows(const QString& name) {
    QList<QStringList> result;
    for (const QByteArray& line : bytes(name).split('\n')) {
        if (!line.isEmpty())
            result.append(QString::fromUtf8(line).split(u'\t'));
    }
    return result;
}

} // namespace JetSamples

#include "tests/support/StandInPlayers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void write(const QString& path, const QString& text, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
        qFatal("cannot write %s", qPrintable(path));
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

struct StandIn {
    QString program;
    QString name;
    QString command;
    QString types;
};

const StandIn standIns[]{
    {u"mpv"_s, u"mpv Media Player"_s, u"mpv --player-operation-mode=pseudo-gui -- %U"_s,
     u"application/vnd.apple.mpegurl;audio/mpeg;x-scheme-handler/rtsp;"_s},
    {u"vlc"_s, u"VLC media player"_s, u"vlc --started-from-file %U"_s,
     u"application/vnd.apple.mpegurl;audio/mpeg;audio/aac;"_s},
    {u"tvbox"_s, u"电视盒子"_s, u"tvbox %U"_s, u"audio/aac;"_s},
};

} // namespace

StandInPlayers::StandInPlayers() {
    const QString root = dir_.path();
    for (const QString& folder : {u"bin"_s, u"data/applications"_s, u"config"_s, u"record"_s})
        QDir(root).mkpath(folder);
    // One argument per line, the way a test reads them back; the exit code xdg-open is told to end with.
    const QString script = u"#!/bin/sh\nprintf '%s\\n' \"$@\" > %1/record/.%2\nmv %1/record/.%2 %1/record/%2\n"
                           "exit ${STAND_IN_EXIT_%2:-0}\n"_s;
    for (const StandIn& player : standIns) {
        write(root + u"/bin/"_s + player.program, script.arg(root, player.program), true);
        write(
            root + u"/data/applications/"_s + player.program + u".desktop"_s,
            u"[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nCategories=AudioVideo;Player;\nMimeType=%3\n"_s.arg(
                player.name, player.command, player.types));
    }
    write(root + u"/bin/xdg-open"_s, script.arg(root, u"xdg-open"_s).replace(u"EXIT_xdg-open"_s, u"EXIT_xdgopen"_s),
          true);
    write(root + u"/config/mimeapps.list"_s,
          u"[Default Applications]\napplication/vnd.apple.mpegurl=mpv.desktop\nx-scheme-handler/rtsp=mpv.desktop\n"
          "audio/aac=tvbox.desktop\n"_s);
    if (QProcess::execute(u"update-desktop-database"_s, {root + u"/data/applications"_s}) != 0)
        qFatal("update-desktop-database failed");
    qputenv("XDG_DATA_HOME", (root + u"/data"_s).toUtf8());
    qputenv("XDG_DATA_DIRS", (root + u"/data"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + u"/config"_s).toUtf8());
    qputenv("XDG_CONFIG_DIRS", (root + u"/config"_s).toUtf8());
    qputenv("PATH", (root + u"/bin:"_s).toUtf8() + qgetenv("PATH"));
}

QStringList StandInPlayers::arguments(const QString& program) const {
    QFile record(dir_.path() + u"/record/"_s + program);
    if (!record.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(record.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool StandInPlayers::started(const QString& program) const {
    const QString record = dir_.path() + u"/record/"_s + program;
    return QTest::qWaitFor([&] { return QFile::exists(record); }, 5000);
}

void StandInPlayers::forget() {
    QDir record(dir_.path() + u"/record"_s);
    for (const QString& file : record.entryList(QDir::Files | QDir::Hidden))
        record.remove(file);
}

void StandInPlayers::xdgOpenEndsWith(int code) {
    qputenv("STAND_IN_EXIT_xdgopen", QByteArray::number(code));
}

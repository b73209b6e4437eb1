#include "app/CatalogueRestore.h"
#include "app/ConvertOldCatalogue.h"
#include "app/Registry.h"
#include "cli/CommandLine.h"
#include "core/FileFailure.h"
#include "desktop/ProgramDir.h"
#include "desktop/SingleInstance.h"
#include "desktop/Translations.h"
#include "jet/OldCatalogue.h"
#include "profile/Profile.h"
#include "runtime/MsgBox.h"
#include "windows/tray/TrayIcon.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// The program places its windows itself, which Wayland forbids; it runs through XWayland there.
void preferX11() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Qt answers a missing X server with a stack of warnings and an abort; the user gets one clear line instead.
// A local display ":N" is an X server listening on /tmp/.X11-unix/XN; other displays are left to Qt.
QString missingDisplay() {
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        return {};
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("DISPLAY is not set");
    static const QRegularExpression local(QStringLiteral("^:(\\d+)(\\.\\d+)?$"));
    const QRegularExpressionMatch match = local.match(display);
    if (match.hasMatch() && !QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + match.captured(1)))
        return QStringLiteral("no X server runs on display ") + display;
    return {};
}

// Said on the terminal, for whoever started the program from one, and in a box, for whoever started it from a menu.
void tell(const QString& terminal, const QString& box) {
    std::fprintf(stderr, "vimaro: %s\n", qPrintable(terminal));
    MsgBox(box);
}

// Text selected in a box is the desktop's selection for as long as the program owns it. At the end Qt hands what the
// program owns to the desktop's clipboard manager and waits for it to take it, up to 5 seconds, the windows gone
// already. Selected text goes with the program, as it does under X; text copied with Ctrl+C is still handed over, so
// that it can be pasted after the program has ended.
void endWithoutLingering() {
    if (QGuiApplication::clipboard()->ownsSelection())
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
    QApplication::quit();
}

} // namespace

int main(int argc, char* argv[]) {
    // Past the limit on a file's size (ulimit -f) the system would end the program in the middle of a write, leaving
    // a hot journal and no word; ignored, the write fails with EFBIG as on a full disk, is rolled back and said.
    std::signal(SIGXFSZ, SIG_IGN);
    // The program started again by itself to read an old catalogue, apart, so that a damaged file cannot bring the
    // running program down with it.
    if (const std::optional<int> exit = OldCatalogue::readForParent(argc, argv))
        return *exit;
    if (CommandLine::wanted(argc, argv))
        return CommandLine::run(argc, argv);
    preferX11();
    if (const QString missing = missingDisplay(); !missing.isEmpty()) {
        std::fprintf(stderr, "vimaro: no display to show its windows on (%s); start it from a desktop session.\n",
                     qPrintable(missing));
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vimaro"));
    // The windows speak Chinese whatever the user's locale.
    loadTranslations(QLocale(QLocale::Chinese, QLocale::China));
    QGuiApplication::setDesktopFileName(QStringLiteral(VIMARO_APP_ID));
    // Hidden panels are windows too; the program ends when its exit has unloaded every window, not before.
    QApplication::setQuitOnLastWindowClosed(false);
    // What the settings file and the station launch ask or tell, a command says on the terminal; here a box shows it.
    answerQuestionsWith(MsgBox);

    QString dir;
    try {
        dir = programDir();
    } catch (const ProgramDirError& error) {
        tell(QString::fromStdString(error.what()),
             QStringLiteral("Vimaro 无法建立存放电台和设置的数据文件夹，程序不能启动。\n\n") + failureText(error));
        return EXIT_FAILURE;
    }
    SingleInstance instance(dir);
    switch (instance.start()) {
    case SingleInstance::Start::First:
        break;
    case SingleInstance::Start::Forwarded:
        return EXIT_SUCCESS;
    case SingleInstance::Start::Unanswered:
        tell(QStringLiteral("the copy of the program already running on %1 does not answer; starting another").arg(dir),
             QStringLiteral("已经有一个 Vimaro 在运行，但它没有响应，所以现在又启动了一个。"
                            "两个 Vimaro 使用同一份电台和设置，请只在其中一个里修改。"));
        break;
    }

    // By the one copy that owns the data, before any window opens its connection to the catalogue: an old catalogue
    // is converted first, then one that can no longer be read may be restored from a backup.
    convertOldCatalogue();
    offerCatalogueRestore();
    removeUnfinishedSaves(QDir(dir).filePath(QStringLiteral("tvset.ini")));

    Registry forms;
    QObject::connect(&instance, &SingleInstance::comeForward, &forms, &Registry::bringToFront);
    QObject::connect(&forms, &Registry::allUnloaded, &app, &endWithoutLingering, Qt::QueuedConnection);
    forms.form(FormName::Form1).Show();
    forms.keeper().start();
    std::optional<TrayIcon> tray;
    if (QSystemTrayIcon::isSystemTrayAvailable())
        tray.emplace(forms, [&forms] { forms.bringToFront(); });
    return app.exec();
}

#include "app/Registry.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// The program places its windows itself, which Wayland forbids; it runs through XWayland there.
void preferX11() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

bool displayAvailable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform != "xcb")
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11();
    if (!displayAvailable()) {
        std::fputs("vimaro: no display to show its windows on (DISPLAY is not set); start it from a desktop session.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vimaro"));
    // Hidden panels are windows too; the program ends when its exit has unloaded every window, not before.
    QApplication::setQuitOnLastWindowClosed(false);

    Registry forms;
    QObject::connect(&forms, &Registry::allUnloaded, &app, &QApplication::quit, Qt::QueuedConnection);
    forms.form(FormName::Form1).Show();
    return app.exec();
}

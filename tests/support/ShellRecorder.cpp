#include "tests/support/ShellRecorder.h"

#include "desktop/Launch.h"
#include "runtime/Module1.h"

ShellRecorder::ShellRecorder() {
    Module1::shellSeam.replace([this](QWidget* owner, const QString& operation, const QString& file,
                                      const QString& parameters, const QString& directory, int showCommand) {
        calls_.append({owner, operation, file, parameters, directory, showCommand});
        return result_;
    });
    // A station's hand-off reads as the shell open call it replaces, whichever program it starts.
    launchSeam.replace([this](const HandOff& handOff, const Outcome& outcome) {
        calls_.append({nullptr, QStringLiteral("Open"), handOff.address, QLatin1StringView(""),
                       handOff.workingDirectory, Module1::SW_SHOWNORMAL});
        handOffs_.append(handOff);
        if (result_ <= 32)
            return false;
        outcome(failure_);
        return true;
    });
}

ShellRecorder::~ShellRecorder() {
    Module1::shellSeam.restore();
    launchSeam.restore();
}

QStringList ShellRecorder::files() const {
    QStringList result;
    for (const Call& call : calls_)
        result.append(call.file);
    return result;
}

#include "tests/support/ShellRecorder.h"

#include "desktop/Launch.h"
#include "runtime/WindowSystem.h"

ShellRecorder::ShellRecorder() {
    WindowSystem::openAddressSeam.replace([this](const QString& address) {
        files_.append(address);
        return taken_;
    });
    launchSeam.replace([this](const HandOff& handOff, const Outcome& outcome) {
        files_.append(handOff.address);
        handOffs_.append(handOff);
        if (!taken_)
            return false;
        outcome(failure_);
        return true;
    });
}

ShellRecorder::~ShellRecorder() {
    WindowSystem::openAddressSeam.restore();
    launchSeam.restore();
}

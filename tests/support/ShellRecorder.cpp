#include "tests/support/ShellRecorder.h"

#include "runtime/Module1.h"

ShellRecorder::ShellRecorder() {
    Module1::shellSeam.replace([this](QWidget* owner, const QString& operation, const QString& file,
                                      const QString& parameters, const QString& directory, int showCommand) {
        calls_.append({owner, operation, file, parameters, directory, showCommand});
        return result_;
    });
}

ShellRecorder::~ShellRecorder() {
    Module1::shellSeam.restore();
}

QStringList ShellRecorder::files() const {
    QStringList result;
    for (const Call& call : calls_)
        result.append(call.file);
    return result;
}

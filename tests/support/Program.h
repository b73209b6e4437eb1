#pragma once

#include "app/Registry.h"
#include "tests/support/MsgBoxScript.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/TestProgramDir.h"
#include "windows/mainwindow/MainWindow.h"
#include "windows/panels/CategoryPanel.h"

#include <QObject>
#include <optional>

// The program as main() starts it, on a throw-away program directory, with its message boxes answered by a
// script and its shell calls recorded. Change the files in `dir` before start() to start from other data.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the main window, which starts everything else, and shows it.
    void start();

    Form1& main() { return forms.get<Form1>(FormName::Form1); }
    Form2& radio() { return forms.get<Form2>(FormName::Form2); }
    Form3& tv() { return forms.get<Form3>(FormName::Form3); }

    // A station written by a connection of its own, as another window writes it; a null name leaves it nameless.
    void addStation(const QString& category, const QVariant& name, const QString& address) const;

    TestProgramDir dir;
    MsgBoxScript boxes;
    ShellRecorder shell;
    Registry forms;
};

// A suite of window tests: every test function starts from a fresh Program, not yet started, and leaves nothing
// behind it (windows, files, answered boxes, recorded shell calls).
class ProgramTest : public QObject {
    Q_OBJECT

protected Q_SLOTS:
    void init() { program.emplace(); }
    void cleanup() { program.reset(); }

protected:
    std::optional<Program> program;
};

// The category label of a panel with this caption.
Label& categoryLabel(CategoryPanel& panel, const QString& caption);

#pragma once
// A fresh program folder filled from the build's data, and a main window started on it, for the
// window tests. Either stops the test program when it cannot be made: nothing else could run.
#include <QTemporaryDir>
#include <QtGlobal>

#include <filesystem>
#include <memory>
#include <string>

#include "gui/mainwindow/main_window.h"
#include "gui/common/qtext.h"
#include "core/config/program_folder.h"
#include "core/config/settings.h"
#include "core/text/prompter.h"

namespace movra::testing {

inline std::filesystem::path FreshProgramFolder(const QTemporaryDir& dir) {
    const std::filesystem::path home = QStringToPath(dir.path()) / "movra";
    std::string error;
    if (!PrepareProgramFolder(home, MOVRA_BUILD_DATA_DIR, &error)) qFatal("%s", error.c_str());
    return home;
}

inline std::unique_ptr<MainWindow> StartedWindow(const std::filesystem::path& home, Prompter& prompter) {
    auto window = std::make_unique<MainWindow>(home, LoadSettings(home, {1024, 768}), &prompter);
    if (!window->Start()) qFatal("the window did not start");
    return window;
}

}  // namespace movra::testing

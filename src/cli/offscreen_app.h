#pragma once
// The drawing commands (diagram, print) draw with Qt's painter but need no display: they run
// under an offscreen application and turn any failure into the command's error line.
#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>
#include <exception>
#include <type_traits>

namespace movra::cli {

// Runs the job under an offscreen application and gives its answer. An exception is reported on
// the error stream; a job answering an exit code then answers 1, any other job an empty answer.
template <typename Job>
auto RunOffscreen(const char* command, Job job) -> decltype(job()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "movra-cli";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    try {
        return job();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli %s: %s\n", command, e.what());
        if constexpr (std::is_same_v<decltype(job()), int>) {
            return 1;
        } else {
            return decltype(job()){};
        }
    }
}

}  // namespace movra::cli

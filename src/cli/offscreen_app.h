#pragma once
// The drawing commands (diagram, print) draw with Qt's painter but need no display: they run
// under an offscreen application and turn any failure into the command's error line.
#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>
#include <exception>

namespace movra::cli {

template <typename Job>
int RunOffscreen(const char* command, Job job) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "movra-cli";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    try {
        return job();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli %s: %s\n", command, e.what());
        return 1;
    }
}

}  // namespace movra::cli

#pragma once
// Runs movra-cli with arguments and captures what it prints and its exit status.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace movra::testing {

struct CliResult {
    int status = -1;
    std::string out;  // standard output; standard error is folded in when asked
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

inline CliResult RunCli(const std::vector<std::string>& args, bool withStderr = false) {
    std::string command = ShellQuote(MOVRA_CLI_PATH);
    for (const std::string& a : args) command += " " + ShellQuote(a);
    command += withStderr ? " 2>&1" : " 2>/dev/null";
    CliResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

}  // namespace movra::testing

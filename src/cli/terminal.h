#pragma once
// What the commands of movra-cli share at the terminal: texts shown as UTF-8 (or, with --sjis, as
// the stored CP932 bytes) and a prompter that prints the operations' messages on standard error,
// one line each, answering every question with yes.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/prompter.h"

namespace movra::cli {

struct Terminal {
    bool sjis = false;
    std::string operator()(std::string_view cp932) const { return out(cp932); }
    std::string out(std::string_view cp932) const { return sjis ? std::string(cp932) : Cp932ToUtf8(cp932); }
    // A text typed on the command line, as the store compares it.
    std::string in(std::string_view typed) const { return sjis ? std::string(typed) : Utf8ToCp932(typed); }
};

// A message on one line: each run of "\r" line breaks becomes one blank, leading blanks go.
inline std::string OneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    const std::size_t start = line.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : line.substr(start);
}

class TerminalPrompter : public Prompter {
public:
    // quiet: information messages are not printed (warnings and questions always are).
    explicit TerminalPrompter(Terminal terminal, bool quiet = false) : terminal_(terminal), quiet_(quiet) {}
    void Warn(const std::string& text) override { Print("warning", text); }
    void Inform(const std::string& text) override {
        if (!quiet_) Print("message", text);
    }
    Answer Confirm(const std::string& text, bool, bool) override {
        Print("question", text);
        return Answer::Yes;
    }
    std::string Out(std::string_view cp932) const { return terminal_.out(cp932); }
    // Every message printed, on one line each, in the stored bytes.
    std::vector<std::string> shown;

private:
    void Print(const char* kind, const std::string& text) {
        shown.push_back(OneLine(text));
        std::fprintf(stderr, "%s: %s\n", kind, Out(shown.back()).c_str());
    }
    Terminal terminal_;
    bool quiet_;
};

}  // namespace movra::cli

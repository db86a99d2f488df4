#pragma once
// A scripted prompter for tests: records every text it is shown and gives the answers queued.
#include <deque>
#include <string>
#include <vector>

#include "core/text/prompter.h"

namespace movra::testing {

class RecordingPrompter : public Prompter {
public:
    struct Shown {
        enum Kind { Warning, Information, Question } kind;
        std::string text;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers;  // answered in order; Yes once they run out
    long progressCalls = 0;
    bool stopAt = false;         // Progress returns false when set
    bool progressShown = false;  // progress reported and not ended since
    long progressEnds = 0;       // EndProgress calls

    void Warn(const std::string& text) override { shown.push_back({Shown::Warning, text}); }
    void Inform(const std::string& text) override { shown.push_back({Shown::Information, text}); }
    Answer Confirm(const std::string& text, bool, bool) override {
        shown.push_back({Shown::Question, text});
        if (answers.empty()) return Answer::Yes;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool Progress(const std::string&, long, long) override {
        ++progressCalls;
        progressShown = true;
        return !stopAt;
    }
    void EndProgress() override {
        ++progressEnds;
        progressShown = false;
    }
    // The texts alone, in the order shown.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Shown& s : shown) out.push_back(s.text);
        return out;
    }
};

}  // namespace movra::testing

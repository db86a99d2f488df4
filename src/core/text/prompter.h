#pragma once
// How core operations talk to the user without knowing who the user is: the windowed program
// shows message boxes and a progress panel, the command line prints, tests record every text.
// All texts are CP932, with "\r" as the line break, exactly as the user is to see them.
#include <string>

namespace movra {

enum class Answer { Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A warning (exclamation icon) and a plain message (information icon).
    virtual void Warn(const std::string& text) = 0;
    virtual void Inform(const std::string& text) = 0;
    // Yes/No, Yes/Cancel or Yes/No/Cancel questions, as the flags offer them.
    virtual Answer Confirm(const std::string& text, bool offerNo = true, bool offerCancel = false) = 0;
    // Long operations report a caption (e.g. "【 削 除 中 】") and how far they are every 100 or
    // 1000 records. Returning false asks the operation to stop where it can.
    virtual bool Progress(const std::string& caption, long done, long total) {
        (void)caption;
        (void)done;
        (void)total;
        return true;
    }
    // The operation that reported progress has ended (finished, stopped or failed): whatever
    // shows its progress goes away. Harmless when nothing was reported.
    virtual void EndProgress() {}
};

// Says nothing and answers every question with its first choice; for callers that have checked
// everything beforehand.
class SilentPrompter : public Prompter {
public:
    void Warn(const std::string&) override {}
    void Inform(const std::string&) override {}
    Answer Confirm(const std::string&, bool, bool) override { return Answer::Yes; }
};

}  // namespace movra

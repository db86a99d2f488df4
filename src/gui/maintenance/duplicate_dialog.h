#pragma once
// The duplicate search dialog ("重複棋譜検索-条件設定"): the ticks of the search for copies, and
// the key chords of the five checks for unusual games. Both replace the catalogue of the open
// store with the games found; the dialog then closes with OK and the caller shows the list.
#include <QDialog>

#include <functional>
#include <optional>

#include "core/duplicates/anomaly_search.h"
#include "core/duplicates/duplicate_search.h"

class QCheckBox;
class QPushButton;

namespace movra {

struct StoreSession;
class Prompter;

class DuplicateDialog : public QDialog {
    Q_OBJECT
public:
    DuplicateDialog(StoreSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // Shows the dialog modally; true when games were found (the catalogue holds them).
    bool Open();

    // The question of the length check (caption "手数指定棋譜検索", prompt "手数指定"), prefilled
    // with the character typed; nullopt when cancelled. Tests answer it instead of a person.
    using LengthQuestion = std::function<std::optional<QString>(const QString& prefill)>;
    void setLengthQuestion(LengthQuestion ask) { askLength_ = std::move(ask); }

    DuplicateCriteria criteria() const;
    QCheckBox* box(const char* objectName) const;
    QPushButton* okButton() const { return ok_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateEnabled();
    void Search();
    void RunCheck(const ChordRequest& request);
    long Guarded(const std::function<long()>& run);
    // The end of a check: a beep, and with games found the dialog closes.
    void Finish(long found);

    StoreSession& session_;
    Prompter& prompter_;
    QCheckBox* players_;
    QCheckBox* date_;
    QCheckBox* result_;
    QCheckBox* tournament_;
    QCheckBox* gameNumber_;
    QCheckBox* opening_;
    QCheckBox* handicap_;
    QCheckBox* moves_;
    QCheckBox* final_;
    QPushButton* ok_;
    AnomalyChords chords_;
    LengthQuestion askLength_;
};

}  // namespace movra

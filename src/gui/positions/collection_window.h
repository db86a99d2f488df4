#pragma once
// 局面図 (TFormPrev1): the position collection one page at a time, four diagrams in a two-by-two
// picture. It works on the collection's working copy: every change is written there at once and
// marks the collection changed. From here the user pages, edits a diagram's texts, deletes,
// cuts, copies and pastes diagrams, writes a diagram as a bitmap or to the clipboard, prints
// diagrams and pages, and hands a position to the position-editing screen.
#include <QDialog>
#include <QImage>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/record/kif_data.h"
#include "core/config/settings.h"
#include "core/positions/collection.h"
#include "core/text/prompter.h"
#include "gui/diagram/diagram_renderer.h"

class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QScrollBar;
class QLineEdit;
class QPlainTextEdit;
class QCheckBox;

namespace movra {

class FileChooser;

// 局面情報変更 (TFormKkm): a diagram's title, labels and comment.
class SlotInfoDialog : public QDialog {
    Q_OBJECT
public:
    SlotInfoDialog(const SlotTexts& texts, Prompter& prompter, QWidget* parent = nullptr);
    QLineEdit* titleEdit() const { return title_; }
    QLineEdit* senteEdit() const { return sente_; }
    QLineEdit* goteEdit() const { return gote_; }
    QPlainTextEdit* commentEdit() const { return comment_; }
    // The texts to store: trimmed title and labels, the comment's lines joined without breaks
    // (the diagram wraps them again).
    SlotTexts texts() const;
    // The comment's lines as the box shows them, wrapped lines counted.
    std::vector<std::string> shownLines() const;
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Prompter& prompter_;
    QLineEdit* title_ = nullptr;
    QLineEdit* sente_ = nullptr;
    QLineEdit* gote_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
};

// 局面図削除 (TFormKmDel): which diagrams of the page go.
class DeleteSlotsDialog : public QDialog {
    Q_OBJECT
public:
    DeleteSlotsDialog(const CollectionPage& page, Prompter& prompter, QWidget* parent = nullptr);
    QCheckBox* box(int slot) const { return boxes_[std::size_t(slot)]; }
    std::vector<int> ticked() const;
    void accept() override;

private:
    Prompter& prompter_;
    std::array<QCheckBox*, 4> boxes_{};
};

class CollectionWindow : public QDialog {
    Q_OBJECT
public:
    CollectionWindow(PositionCollection& collection, Settings& settings, Prompter& prompter,
                     QWidget* parent = nullptr);

    // Before the window is shown: the append page written out, the clipboard slot cleared, the
    // last page shown (or the page before an empty append page), then the remembered page.
    bool Prepare();
    // After it closed: the page to show remembered, the append state read again.
    void Finish();

    // --- state ---------------------------------------------------------------------------------
    int currentPage() const { return current_; }
    int lastPage() const { return last_; }
    const CollectionPage& page() const { return page_; }
    const PositionSlot& clipboardSlot() const { return clip_; }
    const QImage& picture() const { return picture_; }
    QLabel* pictureLabel() const { return pictureLabel_; }
    QScrollBar* scrollBar() const { return scroll_; }
    // The quarter under a point of the picture (right-click selection).
    int QuarterAt(QPoint point) const;

    // --- commands (keys, buttons and the diagram menu; public for tests) ------------------------
    void GoToPage(int page);
    void PreviousPage();
    void NextPage();
    void AskPage(int digit);
    // The diagram menu for a quarter: menu 1 for a position, the single paste item for an empty
    // quarter while the clipboard slot is full, else nothing (nullptr).
    QMenu* MenuFor(int quarter);
    bool EditInfo(int quarter);
    bool DeleteOne(int quarter);
    bool DeleteSeveral();
    void Copy(int quarter);
    bool Cut(int quarter);
    bool Paste(int quarter);
    bool InsertPaste(int quarter);
    bool CopyToEditing(int quarter);
    // The diagram as the bitmap commands draw it.
    QImage SlotPicture(int quarter) const;
    bool PictureToFile(int quarter);
    // The small mobile picture of a slot (layout 2 for 6x5, 1 for 7x6) and the mobile pages of
    // the "i_mode01" templates written beside it, named after the picture.
    bool MobilePictureAndPages(int quarter, int layout);
    void PictureToClipboard(int quarter, bool turned);
    // Pages 1 … last + 1 (the printer chooses), or one diagram: scale 2 (大), 1 (小), 0 (拡大).
    bool PrintPages();
    bool PrintOne(int quarter, int scale);
    // 局面図連続印刷: every diagram printed to a file of its own in a chosen folder, named
    // "K" + page (three digits) + "_" + slot (1-4); the window pages along. Print to file
    // writes PDF, so the files end in ".pdf".
    bool PrintEachToFile();

    // Hidden commands, shown by the main window's key chords.
    void showEnlargedPrint() { enlargedPrint_ = true; }
    void showImode() { imode_ = true; }
    void setPrintToFileOffer(bool on) { printToFile_ = on; }

    // Stand-ins for the person in tests.
    std::function<bool(SlotInfoDialog&)> infoAnswer;
    std::function<bool(DeleteSlotsDialog&)> deleteAnswer;
    std::function<std::optional<QString>(const QString& initial)> pageAnswer;
    // Sets up the printer as the printer dialog would (range, output file); false cancels.
    std::function<bool(QPrinter&, bool pages)> printerAnswer;
    std::function<std::filesystem::path(const std::filesystem::path& proposed)> bitmapAnswer;
    std::function<std::filesystem::path()> folderAnswer;
    // Where the mobile page templates are found, and the game the main window shows with its
    // move-list lines (for the pages' move lists).
    std::filesystem::path programFolder;
    std::function<std::pair<const TKifData*, std::vector<std::string>>()> shownGame;

    // 局面作成画面へコピー: the main window takes the position into its position editing with the
    // player names of the slot's labels, or refuses it (game input running, no store); the
    // window closes only when it was taken.
    std::function<bool(const BoardPosition& position, const std::string& senteName, const std::string& goteName)>
        toEditing;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetLayout();
    void DrawPage(bool keepScroll = false);
    void DrawFrame(int quarter, const QColor& colour);
    void ReadPage(int page);
    bool WritePage();
    void RewriteSlot(int quarter, int number, const SlotTexts& texts);
    // Compacts the working copy (inserting the clipboard slot when asked) and shows the result.
    bool CompactAndShow(std::optional<SlotPlace> insert = std::nullopt);
    DiagramInputs Inputs(const PositionSlot& slot, bool starRule) const;
    DiagramOptions Options(int sizeMode, int zoom) const;
    bool RunPrinter(QPrinter& printer, bool pages);
    void Caption();
    // The bitmap file chooser: proposes `base` (numbered for "BANT") in the last bitmap folder,
    // asks before an existing file is replaced. Empty when nothing was chosen.
    std::filesystem::path ChooseBitmapFile(const std::string& base);

    PositionCollection& collection_;
    Settings& settings_;
    Prompter& prompter_;
    QLabel* pictureLabel_ = nullptr;
    QWidget* panel_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QImage picture_;
    int current_ = 0;
    int last_ = 0;
    CollectionPage page_;
    PositionSlot clip_;
    int selected_ = 0;
    std::filesystem::path bitmapFolder_;
    bool enlargedPrint_ = false;
    bool imode_ = false;
    bool printToFile_ = false;
};

}  // namespace movra

#include "gui/positions/collection_window.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

#include <system_error>

#include "core/diagram/bitmap_names.h"
#include "core/diagram/bmp.h"
#include "core/publish/mobile_pages.h"
#include "core/publish/web_export.h"
#include "core/textio/export_file.h"
#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "gui/common/not_available.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr int kPictureWidth = 590;
constexpr int kPictureHeight = 730;

// Restores the cursor however a command ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

// --- 局面情報変更 ------------------------------------------------------------------------------

SlotInfoDialog::SlotInfoDialog(const SlotTexts& texts, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setObjectName(QStringLiteral("FormKkm"));
    setWindowTitle(QStringLiteral("局面情報変更"));
    auto* grid = new QGridLayout(this);
    title_ = new QLineEdit(ToQString(texts.title), this);
    sente_ = new QLineEdit(ToQString(texts.senteLabel), this);
    gote_ = new QLineEdit(ToQString(texts.goteLabel), this);
    comment_ = new QPlainTextEdit(this);
    comment_->setPlainText(ToQString(texts.comment));
    comment_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    comment_->installEventFilter(this);
    title_->setObjectName(QStringLiteral("TitleEdit"));
    sente_->setObjectName(QStringLiteral("SenteEdit"));
    gote_->setObjectName(QStringLiteral("GoteEdit"));
    comment_->setObjectName(QStringLiteral("CommentMemo"));
    grid->addWidget(new QLabel(QStringLiteral("タイトル："), this), 0, 0);
    grid->addWidget(title_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("▲対局者："), this), 1, 0);
    grid->addWidget(sente_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("△対局者："), this), 2, 0);
    grid->addWidget(gote_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("コメント："), this), 3, 0, Qt::AlignTop);
    grid->addWidget(comment_, 3, 1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
}

bool SlotInfoDialog::eventFilter(QObject* watched, QEvent* event) {
    // Escape in the comment box cancels the dialog.
    if (watched == comment_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<std::string> SlotInfoDialog::shownLines() const {
    std::vector<std::string> lines;
    for (QTextBlock block = comment_->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        if (layout == nullptr || layout->lineCount() == 0) {
            lines.push_back(ToCp932(text));
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.push_back(ToCp932(text.mid(line.textStart(), line.textLength())));
        }
    }
    // An empty box has one empty line and no comment.
    if (lines.size() == 1 && lines[0].empty()) lines.clear();
    return lines;
}

SlotTexts SlotInfoDialog::texts() const {
    SlotTexts t;
    t.title = Trim(ToCp932(title_->text()));
    t.senteLabel = Trim(ToCp932(sente_->text()));
    t.goteLabel = Trim(ToCp932(gote_->text()));
    for (const std::string& line : shownLines()) t.comment += line;
    return t;
}

void SlotInfoDialog::accept() {
    const SlotTexts t = texts();
    auto refuse = [this](QWidget* field, const std::string& message) {
        prompter_.Warn(message);
        field->setFocus();
    };
    if (t.title.size() >= 36) return refuse(title_, "\rタイトルは半角34(全角17)文字以内で入力して下さい。"_sj);
    if (t.senteLabel.size() >= 15) return refuse(sente_, "\r▲対局者は全角７文字以内で入力して下さい。"_sj);
    if (t.goteLabel.size() >= 15) return refuse(gote_, "\r△対局者は全角７文字以内で入力して下さい。"_sj);
    const std::vector<std::string> lines = shownLines();
    if (lines.size() >= 6) return refuse(comment_, "\rコメントは５行以内で入力して下さい。"_sj);
    std::size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 2;
    if (bytes > 150) return refuse(comment_, "\rコメントは全角７０文字以内で入力して下さい。"_sj);
    QDialog::accept();
}

// --- 局面図削除 ------------------------------------------------------------------------------

DeleteSlotsDialog::DeleteSlotsDialog(const CollectionPage& page, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setObjectName(QStringLiteral("FormKmDel"));
    setWindowTitle(QStringLiteral("局面図削除"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("削除する局面図を選択してください"), this));
    auto* grid = new QGridLayout;
    const QString captions[4] = {QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３"), QStringLiteral("４")};
    for (int s = 0; s < 4; ++s) {
        auto* box = new QCheckBox(captions[s], this);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(s + 1));
        box->setEnabled(page.slot(s).filled());
        grid->addWidget(box, s / 2, s % 2);
        boxes_[std::size_t(s)] = box;
    }
    layout->addLayout(grid);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

std::vector<int> DeleteSlotsDialog::ticked() const {
    std::vector<int> chosen;
    for (int s = 0; s < 4; ++s) {
        if (boxes_[std::size_t(s)]->isEnabled() && boxes_[std::size_t(s)]->isChecked()) chosen.push_back(s);
    }
    return chosen;
}

void DeleteSlotsDialog::accept() {
    if (!ticked().empty() &&
        prompter_.Confirm("選択された局面図を削除します。\r\rよろしいですか？"_sj, true, false) != Answer::Yes) {
        return;  // the dialog stays open
    }
    QDialog::accept();
}

// --- the window ------------------------------------------------------------------------------

CollectionWindow::CollectionWindow(PositionCollection& collection, Settings& settings, Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), collection_(collection), settings_(settings), prompter_(prompter) {
    setObjectName(QStringLiteral("FormPrev1"));
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setFocusPolicy(Qt::StrongFocus);
    bitmapFolder_ = collection.lastFolder;
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("PanelPrev"));
    pictureLabel_ = new QLabel(panel_);
    pictureLabel_->setObjectName(QStringLiteral("ImgPrev"));
    pictureLabel_->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    pictureLabel_->installEventFilter(this);
    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName(QStringLiteral("ScrollBar1"));
    scroll_->setRange(0, 35);
    scroll_->setPageStep(35);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int p) { pictureLabel_->move(0, -10 * p); });
    auto button = [this](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);  // the window sees every key
        return b;
    };
    QPushButton* print = button(QStringLiteral("印刷(&P)"), QStringLiteral("PrintBtn"));
    QPushButton* back = button(QStringLiteral("前頁(&B)"), QStringLiteral("BackBtn"));
    QPushButton* next = button(QStringLiteral("次頁(&N)"), QStringLiteral("NextBtn"));
    QPushButton* close = button(QStringLiteral("閉じる(&X)"), QStringLiteral("CloseBtn"));
    connect(print, &QPushButton::clicked, this, [this] { PrintPages(); });
    connect(back, &QPushButton::clicked, this, &CollectionWindow::PreviousPage);
    connect(next, &QPushButton::clicked, this, &CollectionWindow::NextPage);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void CollectionWindow::SetLayout() {
    // 608 x 381 over the main window; on a tall screen 754 high with the whole picture shown.
    const QRect area = AvailableArea(parentWidget() != nullptr ? parentWidget() : this);
    const bool tall = area.height() >= 761;
    const int height = tall ? 754 : 381;
    const int panelHeight = tall ? 698 : 350;
    setFixedSize(608, height);
    panel_->setGeometry(0, 0, kPictureWidth, panelHeight);
    scroll_->setGeometry(kPictureWidth, 0, 608 - kPictureWidth, panelHeight);
    scroll_->setEnabled(!tall);
    const int buttonsTop = panelHeight + 4;
    const QString names[4] = {QStringLiteral("PrintBtn"), QStringLiteral("BackBtn"), QStringLiteral("NextBtn"),
                              QStringLiteral("CloseBtn")};
    for (int i = 0; i < 4; ++i) {
        if (auto* b = findChild<QPushButton*>(names[i])) b->setGeometry(40 + i * 135, buttonsTop, 120, 24);
    }
    PlaceCentred(this, parentWidget());
    if (tall) {
        // Top at the main window's top + 4, raised so that the bottom keeps 28 pixels above the
        // screen's bottom, never above the screen's top.
        int top = parentWidget() != nullptr ? parentWidget()->frameGeometry().top() + 4 : area.top();
        const int frameExtra = frameGeometry().height() - geometry().height();
        top = std::min(top, area.bottom() - 28 - (height + frameExtra));
        top = std::max(top, area.top());
        move(x(), top);
    }
}

bool CollectionWindow::Prepare() {
    if (collection_.exists()) {
        if (!collection_.Flush(prompter_)) return false;
    } else if (!collection_.New(prompter_, {}, false)) {
        return false;
    }
    clip_ = PositionSlot{};
    SetLayout();
    last_ = current_ = collection_.appendPage();
    page_ = collection_.appendBuffer();
    if (!page_.HasPositions() && collection_.appendPage() > 0) {
        // An empty append page after full pages is not shown.
        last_ = current_ = collection_.appendPage() - 1;
        ReadPage(current_);
    }
    const int remembered = collection_.pageToShow();
    if (remembered >= 1 && remembered <= collection_.appendPage() && remembered - 1 <= last_) {
        current_ = remembered - 1;
        ReadPage(current_);
    }
    DrawPage();
    return true;
}

void CollectionWindow::Finish() {
    collection_.setPageToShow(current_ + 1);
    collection_.ReloadAppendState(prompter_);
}

void CollectionWindow::ReadPage(int page) {
    const std::optional<CollectionContents> contents = ReadCollection(collection_.workingCopy());
    page_ = contents && page < int(contents->pages.size()) ? contents->pages[std::size_t(page)] : CollectionPage{};
}

bool CollectionWindow::WritePage() {
    if (!WriteCollectionPage(collection_.workingCopy(), current_, page_, false)) {
        prompter_.Warn("\r"_sj + PathText(collection_.workingCopy()) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    collection_.setChanged();
    return true;
}

DiagramOptions CollectionWindow::Options(int sizeMode, int zoom) const {
    const Settings::Btimap& b = settings_.btimap;
    DiagramOptions o;
    o.sizeMode = sizeMode;
    o.zoom = zoom >= 1 && zoom <= 10 ? zoom : 1;
    o.gaijiMarks = b.KmGaiji;
    o.countStyle = b.MtKoma;
    o.emptyHandMode = b.MKDisp;
    o.emptyHandText = RemoveSpaces(b.MKChar);
    return o;
}

DiagramInputs CollectionWindow::Inputs(const PositionSlot& slot, bool starRule) const {
    DiagramInputs in;
    if (slot.filled() && slot.Problem().empty()) {
        in.position = slot.position();
        in.title = slot.title();
        in.senteLabel = slot.senteLabel();
        in.goteLabel = slot.goteLabel();
        in.comment = slot.comment();
        // Label mode 3 lists only sente's hand.
        if (starRule && settings_.btimap.TNameNo == 3) in.goteLabel += "*";
    }
    return in;
}

void CollectionWindow::Caption() {
    setWindowTitle(QStringLiteral("局面図 - （") + ToQString(collection_.displayName()) + QStringLiteral("） --- ") +
                   QString::number(current_ + 1) + QStringLiteral(" / ") + QString::number(last_ + 1) +
                   QStringLiteral(" ﾍﾟｰｼﾞ"));
}

void CollectionWindow::DrawPage(bool keepScroll) {
    BusyCursor busy;
    picture_ = QImage(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    picture_.fill(Qt::white);
    const Size cellSize = DiagramSize(1, 1, true);
    const int w = cellSize.width, h = cellSize.height;
    const QPoint places[4] = {{4, 4}, {w + 8, 4}, {4, h + 5}, {w + 8, h + 5}};
    const int bits = BitsForColorSetting(settings_.btimap.Color);
    QPainter painter(&picture_);
    for (int q = 0; q < 4; ++q) {
        QImage cell(w, h, QImage::Format_RGB32);
        cell.fill(Qt::white);
        {
            QPainter cellPainter(&cell);
            DiagramOptions cellOptions = Options(1, 1);
            cellOptions.printingSize = true;
            cellPainter.drawImage(0, 0, DrawDiagram(Inputs(page_.slot(q), true), cellOptions));
        }
        painter.drawImage(places[q], ReduceToDepth(cell, bits));
    }
    painter.end();
    pictureLabel_->setPixmap(QPixmap::fromImage(picture_));
    Caption();
    if (!keepScroll) scroll_->setValue(0);
}

void CollectionWindow::GoToPage(int page) {
    if (page < 0 || page > last_) return;
    current_ = page;
    ReadPage(page);
    DrawPage();
}

void CollectionWindow::PreviousPage() {
    if (current_ > 0) GoToPage(current_ - 1);
}

void CollectionWindow::NextPage() {
    if (current_ < last_) GoToPage(current_ + 1);
}

void CollectionWindow::AskPage(int digit) {
    const QString initial = QString::number(digit);
    std::optional<QString> typed;
    if (pageAnswer) {
        typed = pageAnswer(initial);
    } else {
        bool ok = false;
        QInputDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("局面図ページ移動"));
        dialog.setLabelText(QStringLiteral("移動ページ"));
        dialog.setTextValue(initial);
        PlaceCentred(&dialog, this);
        ok = dialog.exec() == QDialog::Accepted;
        if (ok) typed = dialog.textValue();
    }
    if (!typed) return;
    bool number = false;
    const int page = typed->trimmed().toInt(&number);
    if (number && page >= 1 && page <= last_ + 1) GoToPage(page - 1);
}

void CollectionWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageUp: PreviousPage(); return;
        case Qt::Key_PageDown: NextPage(); return;
        case Qt::Key_Home:
            if (current_ != 0) GoToPage(0);
            return;
        case Qt::Key_End:
            if (current_ != last_) GoToPage(last_);
            return;
        case Qt::Key_D: DeleteSeveral(); return;
        default: break;
    }
    // The digits of the number pad count as well.
    if (event->key() >= Qt::Key_1 && event->key() <= Qt::Key_9 &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        AskPage(event->key() - Qt::Key_0);
        return;
    }
    QDialog::keyPressEvent(event);
}

int CollectionWindow::QuarterAt(QPoint p) const {
    const int halfW = pictureLabel_->width() / 2, halfH = pictureLabel_->height() / 2;
    return (p.y() < halfH ? 0 : 2) + (p.x() < halfW ? 0 : 1);
}

void CollectionWindow::DrawFrame(int quarter, const QColor& colour) {
    const int W = pictureLabel_->width(), H = pictureLabel_->height();
    const int left = quarter % 2 == 0 ? 2 : W / 2 - 4;
    const int top = quarter < 2 ? 1 : H / 2 - 14;
    QImage framed = picture_;
    QPainter painter(&framed);
    painter.setPen(QPen(colour, 3, colour == Qt::white ? Qt::SolidLine : Qt::DotLine));
    painter.drawRect(QRect(QPoint(left, top), QPoint(W / 2 + left - 2, H / 2 + top - H / 40)));
    painter.end();
    pictureLabel_->setPixmap(QPixmap::fromImage(colour == Qt::white ? picture_ : framed));
}

bool CollectionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pictureLabel_ && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) return false;
        if (event->type() == QEvent::MouseButtonPress) {
            selected_ = QuarterAt(mouse->position().toPoint());
            if (page_.slot(selected_).filled() || clip_.filled()) DrawFrame(selected_, Qt::red);
            return true;
        }
        if (QMenu* menu = MenuFor(selected_)) {
            menu->exec(mouse->globalPosition().toPoint());
            delete menu;
        }
        DrawFrame(selected_, Qt::white);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QMenu* CollectionWindow::MenuFor(int quarter) {
    selected_ = quarter;
    const bool filled = page_.slot(quarter).filled();
    if (!filled && !clip_.filled()) return nullptr;
    auto* menu = new QMenu(this);
    menu->setToolTipsVisible(true);
    auto add = [menu](const QString& caption, const QString& name, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        QObject::connect(a, &QAction::triggered, menu, slot);
        return a;
    };
    if (!filled) {
        add(QStringLiteral("貼り付け"), QStringLiteral("N2_1"), [this, quarter] { Paste(quarter); });
        return menu;
    }
    add(QStringLiteral("局面情報変更(&M)"), QStringLiteral("N1_1"), [this, quarter] { EditInfo(quarter); });
    add(QStringLiteral("局面削除(&D)"), QStringLiteral("N1_2"), [this, quarter] { DeleteOne(quarter); });
    menu->addSeparator();
    add(QStringLiteral("局面図ﾌｧｲﾙ出力(&F)"), QStringLiteral("N1_3"), [this, quarter] { PictureToFile(quarter); });
    add(QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力(&B)"), QStringLiteral("N1_4"),
        [this, quarter] { PictureToClipboard(quarter, false); });
    add(QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力@(&N)"), QStringLiteral("N1_5"),
        [this, quarter] { PictureToClipboard(quarter, true); });
    menu->addSeparator();
    add(QStringLiteral("局面図印刷[大](&P)"), QStringLiteral("N1_6"), [this, quarter] { PrintOne(quarter, 2); });
    add(QStringLiteral("局面図印刷[小](&R)"), QStringLiteral("N1_7"), [this, quarter] { PrintOne(quarter, 1); });
    menu->addSeparator();
    add(QStringLiteral("局面作成画面へコピー(&S)"), QStringLiteral("N1_8"), [this, quarter] { CopyToEditing(quarter); });
    menu->addSeparator();
    add(QStringLiteral("コピー(&C)"), QStringLiteral("N1_9"), [this, quarter] { Copy(quarter); });
    add(QStringLiteral("貼り付け(&V)"), QStringLiteral("N1_10"), [this, quarter] { Paste(quarter); })
        ->setEnabled(clip_.filled());
    add(QStringLiteral("カット(&X)"), QStringLiteral("N1_11"), [this, quarter] { Cut(quarter); });
    add(QStringLiteral("挿入貼り付け(&W)"), QStringLiteral("N1_12"), [this, quarter] { InsertPaste(quarter); })
        ->setEnabled(clip_.filled());
    add(QStringLiteral("局面図出力[i mode 6x5] (&i)"), QStringLiteral("N1_13"),
        [this, quarter] { MobilePictureAndPages(quarter, 2); })->setVisible(imode_);
    add(QStringLiteral("局面図出力[i mode 7x6] (&j)"), QStringLiteral("N1_14"),
        [this, quarter] { MobilePictureAndPages(quarter, 1); })->setVisible(imode_);
    add(QStringLiteral("局面図印刷[拡大](&Y)"), QStringLiteral("N1_15"), [this, quarter] { PrintOne(quarter, 0); })
        ->setVisible(enlargedPrint_);
    add(QStringLiteral("局面図連続印刷(&Z)"), QStringLiteral("N1_16"), [this] { PrintEachToFile(); })
        ->setVisible(printToFile_);
    return menu;
}

void CollectionWindow::RewriteSlot(int quarter, int number, const SlotTexts& texts) {
    ReadPage(current_);
    PositionSlot slot = page_.slot(quarter);
    slot.setNumber(std::int16_t(number));
    slot.setTexts(number != 0 ? texts : SlotTexts{});
    if (number == 0) slot.setPieces(PieceTable{});
    page_.setSlot(quarter, slot);
    WritePage();
    DrawPage(true);
}

bool CollectionWindow::EditInfo(int quarter) {
    const PositionSlot slot = page_.slot(quarter);
    if (!slot.filled()) return false;
    SlotInfoDialog dialog(slot.texts(), prompter_, this);
    PlaceCentred(&dialog, this);
    const bool ok = infoAnswer ? infoAnswer(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return false;
    RewriteSlot(quarter, slot.number(), dialog.texts());
    return true;
}

bool CollectionWindow::CompactAndShow(std::optional<SlotPlace> insert) {
    const std::optional<CollectionContents> contents = ReadCollection(collection_.workingCopy());
    int n = 0;
    if (!contents ||
        !WriteCollection(collection_.workingCopy(), CompactPages(contents->pages, &n, insert, clip_), collection_.tempFile())) {
        prompter_.Warn("\r"_sj + PathText(collection_.workingCopy()) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    collection_.setChanged();
    last_ = n == 0 ? 0 : (n - 1) / 4;
    current_ = std::min(current_, last_);
    ReadPage(current_);
    DrawPage(true);
    return true;
}

bool CollectionWindow::DeleteOne(int quarter) {
    const PositionSlot slot = page_.slot(quarter);
    if (!slot.filled()) return false;
    auto withoutMark = [](const std::string& label) {
        const std::size_t cut = label.size() >= 2 && IsCharBoundary(label, 2) ? 2 : std::min<std::size_t>(label.size(), 1);
        return label.substr(cut, 14);
    };
    const std::string question = "局面図を削除します！\r\rタイトル："_sj + slot.title() + "\r" + withoutMark(slot.senteLabel()) +
                                 "\r" + withoutMark(slot.goteLabel()) + "\r\r" + "よろしいですか？"_sj;
    if (prompter_.Confirm(question, true, false) != Answer::Yes) return false;
    RewriteSlot(quarter, 0, {});
    return CompactAndShow();
}

bool CollectionWindow::DeleteSeveral() {
    DeleteSlotsDialog dialog(page_, prompter_, this);
    PlaceCentred(&dialog, this);
    const bool ok = deleteAnswer ? deleteAnswer(dialog) : dialog.exec() == QDialog::Accepted;
    const std::vector<int> chosen = dialog.ticked();
    if (!ok || chosen.empty()) return false;
    ReadPage(current_);
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) page_.setSlot(*it, PositionSlot{});
    if (!WritePage()) return false;
    return CompactAndShow();
}

void CollectionWindow::Copy(int quarter) { clip_ = page_.slot(quarter); }

bool CollectionWindow::Cut(int quarter) {
    if (!page_.slot(quarter).filled()) return false;
    Copy(quarter);
    RewriteSlot(quarter, 0, {});
    return CompactAndShow();
}

bool CollectionWindow::Paste(int quarter) {
    if (!clip_.filled()) return false;
    PositionSlot slot = clip_;
    slot.setNumber(std::int16_t(4 * current_ + quarter + 1));
    page_.setSlot(quarter, slot);
    clip_ = PositionSlot{};
    if (!WritePage()) return false;
    DrawPage(true);
    return true;
}

bool CollectionWindow::InsertPaste(int quarter) {
    if (!clip_.filled()) return false;
    const bool ok = CompactAndShow(SlotPlace{current_, quarter});
    clip_ = PositionSlot{};
    return ok;
}

bool CollectionWindow::CopyToEditing(int quarter) {
    const PositionSlot slot = page_.slot(quarter);
    if (!slot.filled() || !slot.Problem().empty() || !toEditing) return false;
    if (!toEditing(slot.position(), LabelName(slot.senteLabel()), LabelName(slot.goteLabel()))) return false;
    accept();
    return true;
}

QImage CollectionWindow::SlotPicture(int quarter) const {
    const PositionSlot slot = page_.slot(quarter);
    const Settings::Btimap& b = settings_.btimap;
    const int sizeMode = b.Size >= 0 && b.Size <= 2 ? b.Size : 1;
    DiagramOptions options = Options(sizeMode, b.BmpZoom);
    const DiagramInputs in = Inputs(slot, false);
    options.printingSize = !in.comment.empty();
    const Size size = DiagramSize(sizeMode, options.zoom, options.printingSize);
    QImage picture(size.width, size.height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, DrawDiagram(in, options));
    return picture;
}

std::filesystem::path CollectionWindow::ChooseBitmapFile(const std::string& base) {
    // The base name is CP932 (a diagram title's part); names on disk are UTF-8.
    const std::filesystem::path proposed = ProposedBitmapPath(bitmapFolder_, base.empty() ? "BANT" : Cp932ToUtf8(base));
    std::filesystem::path chosen;
    if (bitmapAnswer) {
        chosen = bitmapAnswer(proposed);
    } else {
        // The question below is the only one about an existing file.
        chosen = QStringToPath(QFileDialog::getSaveFileName(this, QString(), PathToQString(proposed),
                                                            QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ･ﾌｧｲﾙ(*.bmp)"), nullptr,
                                                            QFileDialog::DontConfirmOverwrite));
    }
    if (chosen.empty()) return {};
    std::error_code ec;
    if (std::filesystem::exists(chosen, ec)) {
        const std::string question = PathText(chosen) + "は既に存在します。"_sj + "\r" + "上書きしますか？"_sj;
        if (prompter_.Confirm(question, true, false) != Answer::Yes) return {};
    }
    bitmapFolder_ = chosen.parent_path();
    return chosen;
}

bool CollectionWindow::PictureToFile(int quarter) {
    QImage picture;
    {
        BusyCursor busy;
        picture = SlotPicture(quarter);
    }
    const std::filesystem::path chosen = ChooseBitmapFile("BANT");
    if (chosen.empty()) return false;
    BusyCursor busy;
    if (!WriteBmpFile(chosen, ToRgbImage(picture), BitsForColorSetting(settings_.btimap.Color))) {
        prompter_.Warn("\r"_sj + PathText(chosen) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    return true;
}

namespace {

// The text after the first "%" + marker in a slot's comment, up to the next "%" or the end.
std::string CommentPart(const std::string& comment, char marker) {
    const std::size_t at = comment.find(std::string("%") + marker);
    if (at == std::string::npos) return {};
    const std::size_t from = at + 2;
    const std::size_t to = comment.find('%', from);
    return comment.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

}  // namespace

bool CollectionWindow::MobilePictureAndPages(int quarter, int layout) {
    const PositionSlot slot = page_.slot(quarter);
    if (!slot.filled()) return false;
    const BoardPosition position = slot.position();
    QImage picture(94, 84, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, DrawMobileDiagram(position, layout));
    }
    // The base name: the title before its first ";" when that comes within 11 bytes.
    const std::string title = slot.title();
    const std::size_t semicolon = title.find(';');
    const std::string base = semicolon != std::string::npos && semicolon < 11 ? title.substr(0, semicolon) : "BANT";
    const std::filesystem::path chosen = ChooseBitmapFile(base);
    if (chosen.empty()) return false;
    if (!WriteBmpFile(chosen, ToRgbImage(picture), 1)) {
        prompter_.Warn("\r"_sj + PathText(chosen) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    const std::string name = PathText(chosen.stem());
    MobilePageValues values;
    values.position = &position;
    values.fileName = name;
    values.title = CommentPart(slot.comment(), 'T');
    values.hint = CommentPart(slot.comment(), 'H');
    std::pair<const TKifData*, std::vector<std::string>> game{nullptr, {}};
    if (shownGame) game = shownGame();
    values.record = game.first;
    if (game.first != nullptr) {
        const std::size_t n = std::min(game.second.size(), std::size_t(std::max(0, int(game.first->moveCount))));
        values.moveLines.assign(game.second.begin(), game.second.begin() + std::ptrdiff_t(n));
    }
    for (const std::string& templateName : settings_.iMode01.html) {
        if (templateName.empty()) continue;
        const std::optional<std::vector<std::string>> lines = ReadTemplateLines(ResolvePath(programFolder, templateName));
        if (!lines) continue;
        std::string pageName = PathText(std::filesystem::path(templateName).filename());
        const std::size_t at = pageName.find("imode_");
        pageName = at == std::string::npos ? name + pageName : pageName.replace(at, 6, name);
        const std::filesystem::path page = chosen.parent_path() / NativePath(pageName);
        const std::string error = WriteTextLines(page, FillMobilePage(*lines, values), WriteMode::Replace);
        if (!error.empty()) {
            prompter_.Warn("\r"_sj + PathText(page) + "\r" + "に書き込めません。"_sj);
            return false;
        }
    }
    return true;
}

void CollectionWindow::PictureToClipboard(int quarter, bool turned) {
    BusyCursor busy;
    QImage picture = ReduceToDepth(SlotPicture(quarter), BitsForColorSetting(settings_.btimap.Color));
    // A quarter turn counter-clockwise: the top edge becomes the left edge.
    if (turned) picture = picture.transformed(QTransform().rotate(-90));
    QApplication::clipboard()->setImage(picture);
}

bool CollectionWindow::RunPrinter(QPrinter& printer, bool pages) {
    if (printerAnswer) return printerAnswer(printer, pages);
    QPrintDialog dialog(&printer, this);
    if (pages) {
        dialog.setMinMax(1, last_ + 1);
        dialog.setFromTo(1, last_ + 1);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    } else {
        dialog.setMinMax(1, 1);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, printToFile_);
    }
    return dialog.exec() == QDialog::Accepted;
}

bool CollectionWindow::PrintPages() {
    QPrinter printer;
    printer.setFromTo(1, last_ + 1);
    if (!RunPrinter(printer, true)) return false;
    int first = 0, lastChosen = last_;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(0, printer.fromPage() - 1);
        lastChosen = std::min(last_, printer.toPage() - 1);
    }
    BusyCursor busy;
    const std::optional<CollectionContents> contents = ReadCollection(collection_.workingCopy());
    if (!contents) return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        prompter_.Warn("プリンタ・エラー！"_sj);
        return false;
    }
    bool firstPage = true;
    for (int copy = 0; copy < printer.copyCount(); ++copy) {
        for (int p = first; p <= lastChosen; ++p) {
            if (!firstPage) printer.newPage();
            firstPage = false;
            const CollectionPage page = p < int(contents->pages.size()) ? contents->pages[std::size_t(p)] : CollectionPage{};
            for (int q = 0; q < 4; ++q) PrintDiagram(painter, Inputs(page.slot(q), true), Options(1, 1), q, 1, 2);
        }
    }
    painter.end();
    return true;
}

bool CollectionWindow::PrintOne(int quarter, int scale) {
    if (!page_.slot(quarter).filled()) return false;
    QPrinter printer;
    printer.setFromTo(1, 1);
    if (!RunPrinter(printer, false)) return false;
    BusyCursor busy;
    QPainter painter;
    if (!painter.begin(&printer)) {
        prompter_.Warn("プリンタ・エラー！"_sj);
        return false;
    }
    const int zoom = settings_.btimap.BmpZoom >= 1 && settings_.btimap.BmpZoom <= 10 ? settings_.btimap.BmpZoom : 1;
    const int printScale = scale == 0 ? zoom : scale;
    const int fontSet = scale == 0 ? 3 : 1;
    for (int copy = 0; copy < printer.copyCount(); ++copy) {
        if (copy > 0) printer.newPage();
        PrintDiagram(painter, Inputs(page_.slot(quarter), true), Options(1, 1), 0, printScale, fontSet);
    }
    painter.end();
    return true;
}

bool CollectionWindow::PrintEachToFile() {
    std::filesystem::path folder;
    if (folderAnswer) {
        folder = folderAnswer();
    } else {
        folder = QStringToPath(QFileDialog::getExistingDirectory(this, QStringLiteral("PSファイル出力先を指定して下さい。"),
                                                                 QDir::rootPath()));
    }
    if (folder.empty()) return false;
    QPrinter printer;
    printer.setFromTo(1, 1);
    printer.setOutputFileName(PathToQString(collection_.workingCopy().parent_path() / "TEMP.pdf"));
    const bool wasOffered = printToFile_;
    printToFile_ = true;
    const bool confirmed = RunPrinter(printer, false);
    printToFile_ = wasOffered;
    // Only printing to a file goes on: each diagram needs a file of its own.
    if (!confirmed || printer.outputFileName().isEmpty()) return false;
    BusyCursor busy;
    const int zoom = settings_.btimap.BmpZoom >= 1 && settings_.btimap.BmpZoom <= 10 ? settings_.btimap.BmpZoom : 1;
    GoToPage(0);
    for (int i = 0; i <= last_; ++i) {
        for (int s = 0; s < 4; ++s) {
            const PositionSlot slot = page_.slot(s);
            if (!slot.filled()) continue;
            const std::string name = "K" + ZeroPad(i + 1, 3) + "_" + std::to_string(s + 1) + ".pdf";
            printer.setOutputFileName(PathToQString(folder / name));
            QPainter painter;
            if (!painter.begin(&printer)) {
                prompter_.Warn("プリンタ・エラー！"_sj);
                return false;
            }
            PrintDiagram(painter, Inputs(slot, true), Options(1, 1), 0, zoom, 3);
            painter.end();
        }
        if (i < last_) NextPage();
    }
    return true;
}

}  // namespace movra

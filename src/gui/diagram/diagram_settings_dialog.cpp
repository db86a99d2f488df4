#include "gui/diagram/diagram_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/text/text_helpers.h"
#include "gui/common/qtext.h"

namespace movra {
namespace {

// A group of radio buttons with ids first..; a value outside the ids checks the first.
QButtonGroup* Radios(QWidget* owner, QLayout* layout, const QString& name, const QStringList& captions, int first,
                     int value) {
    auto* group = new QButtonGroup(owner);
    group->setObjectName(name);
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QRadioButton(captions[i]);
        button->setObjectName(name + QString::number(first + i));
        group->addButton(button, first + i);
        layout->addWidget(button);
    }
    QAbstractButton* chosen = group->button(value);
    (chosen != nullptr ? chosen : group->button(first))->setChecked(true);
    return group;
}

QLineEdit* Edit(const QString& name, const std::string& text) {
    auto* edit = new QLineEdit(ToQString(text));
    edit->setObjectName(name);
    return edit;
}

}  // namespace

DiagramSettingsDialog::DiagramSettingsDialog(const Settings::Btimap& s, QWidget* parent)
    : QDialog(parent), original_(s) {
    setObjectName(QStringLiteral("KyokuBmpForm"));
    setWindowTitle(QStringLiteral("局面図作成オプション（文字モード）"));
    tabs_ = new QTabWidget;

    // タイトル
    auto* titlePage = new QWidget;
    auto* titleLayout = new QVBoxLayout(titlePage);
    auto* game = new QGroupBox(QStringLiteral("棋譜再現画面用"));
    auto* gameGrid = new QGridLayout(game);
    titleNo_ = new QButtonGroup(this);
    titleNo_->setObjectName(QStringLiteral("TitleNo"));
    const std::array<const std::string*, 6> texts = {&s.Title1, &s.Title2, &s.Title3, &s.Title4, &s.Title5, &s.Title6};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("%1．").arg(QChar(0xFF11 + i)));
        radio->setObjectName(QStringLiteral("TitleNo%1").arg(i + 1));
        titleNo_->addButton(radio, i + 1);
        titles_[std::size_t(i)] = Edit(QStringLiteral("Title%1").arg(i + 1), *texts[std::size_t(i)]);
        gameGrid->addWidget(radio, i, 0);
        gameGrid->addWidget(titles_[std::size_t(i)], i, 1);
    }
    (titleNo_->button(s.TitleNo) != nullptr ? titleNo_->button(s.TitleNo) : titleNo_->button(1))->setChecked(true);
    auto* editing = new QGroupBox(QStringLiteral("局面作成画面用"));
    auto* editingGrid = new QGridLayout(editing);
    titleNo2_ = new QButtonGroup(this);
    titleNo2_->setObjectName(QStringLiteral("TitleNo2"));
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("%1．").arg(QChar(0xFF11 + i)));
        radio->setObjectName(QStringLiteral("TitleNo2_%1").arg(i + 1));
        titleNo2_->addButton(radio, i + 1);
        titles_[std::size_t(4 + i)] = Edit(QStringLiteral("Title%1").arg(5 + i), *texts[std::size_t(4 + i)]);
        editingGrid->addWidget(radio, i, 0);
        editingGrid->addWidget(titles_[std::size_t(4 + i)], i, 1);
    }
    (titleNo2_->button(s.TitleNo2) != nullptr ? titleNo2_->button(s.TitleNo2) : titleNo2_->button(1))->setChecked(true);
    titleLayout->addWidget(game);
    titleLayout->addWidget(editing);
    titleLayout->addWidget(new QLabel(QStringLiteral("%i:手入力　%s:指し手　%n:手数　%d:デフォルト")));
    tabs_->addTab(titlePage, QStringLiteral("　タイトル　"));

    // 対局者名
    auto* namePage = new QWidget;
    auto* nameGrid = new QGridLayout(namePage);
    nameNo_ = new QButtonGroup(this);
    nameNo_->setObjectName(QStringLiteral("TNameNo"));
    const QStringList nameCaptions = {QStringLiteral("先手／後手"), QStringLiteral("対局者名"),
                                      QStringLiteral("詰将棋用持駒"), QStringLiteral("指定文字")};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(nameCaptions[i]);
        radio->setObjectName(QStringLiteral("TNameNo%1").arg(i + 1));
        nameNo_->addButton(radio, i + 1);
        nameGrid->addWidget(radio, i, 0);
    }
    (nameNo_->button(s.TNameNo) != nullptr ? nameNo_->button(s.TNameNo) : nameNo_->button(1))->setChecked(true);
    mNameS_ = Edit(QStringLiteral("MNameS"), s.MNameS);
    mNameG_ = Edit(QStringLiteral("MNameG"), s.MNameG);
    tNameS_ = Edit(QStringLiteral("TNameS"), s.TNameS);
    tNameG_ = Edit(QStringLiteral("TNameG"), s.TNameG);
    nameGrid->addWidget(mNameS_, 2, 1);
    nameGrid->addWidget(mNameG_, 2, 2);
    nameGrid->addWidget(tNameS_, 3, 1);
    nameGrid->addWidget(tNameG_, 3, 2);
    nameGrid->setRowStretch(4, 1);
    tabs_->addTab(namePage, QStringLiteral("　対局者名　"));

    // ビットマップ
    auto* bitmapPage = new QWidget;
    auto* bitmapLayout = new QVBoxLayout(bitmapPage);
    auto* sizeBox = new QGroupBox(QStringLiteral("サイズ"));
    auto* sizeLayout = new QHBoxLayout(sizeBox);
    size_ = Radios(this, sizeLayout, QStringLiteral("Size"), {QStringLiteral("小"), QStringLiteral("中"), QStringLiteral("大")},
                   0, s.Size);
    auto* colorBox = new QGroupBox(QStringLiteral("色数"));
    auto* colorLayout = new QHBoxLayout(colorBox);
    color_ = Radios(this, colorLayout, QStringLiteral("Color"),
                    {QStringLiteral("２色"), QStringLiteral("１６色"), QStringLiteral("２５６色")}, 1, s.Color);
    zoom_ = new QComboBox;
    zoom_->setObjectName(QStringLiteral("BmpZoom"));
    zoom_->addItem(QStringLiteral("標準出力"));
    for (int z = 2; z <= 10; ++z) {
        zoom_->addItem(z < 10 ? QStringLiteral("%1倍").arg(QChar(0xFF10 + z)) : QStringLiteral("10倍"));
    }
    zoom_->setCurrentIndex(s.BmpZoom >= 1 && s.BmpZoom <= 10 ? s.BmpZoom - 1 : 0);
    bitmapLayout->addWidget(sizeBox);
    bitmapLayout->addWidget(colorBox);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(new QLabel(QStringLiteral("拡大")));
    zoomRow->addWidget(zoom_);
    zoomRow->addStretch();
    bitmapLayout->addLayout(zoomRow);
    bitmapLayout->addStretch();
    tabs_->addTab(bitmapPage, QStringLiteral("ビットマップ"));

    // その他
    auto* otherPage = new QWidget;
    auto* otherLayout = new QVBoxLayout(otherPage);
    auto* countBox = new QGroupBox(QStringLiteral("持駒の枚数"));
    auto* countLayout = new QHBoxLayout(countBox);
    countStyle_ = Radios(this, countLayout, QStringLiteral("MtKoma"), {QStringLiteral("漢数字"), QStringLiteral("算用数字")},
                         1, s.MtKoma);
    auto* emptyBox = new QGroupBox(QStringLiteral("持駒なしの表示"));
    auto* emptyLayout = new QHBoxLayout(emptyBox);
    emptyHand_ = Radios(this, emptyLayout, QStringLiteral("MKDisp"),
                        {QStringLiteral("「なし」"), QStringLiteral("「ナシ」"), QStringLiteral("指定文字")}, 1, s.MKDisp);
    mkChar_ = Edit(QStringLiteral("MKChar"), s.MKChar);
    emptyLayout->addWidget(mkChar_);
    gaiji_ = new QCheckBox(QStringLiteral("外字を使用する"));
    gaiji_->setObjectName(QStringLiteral("KmGaiji"));
    gaiji_->setChecked(s.KmGaiji);
    otherLayout->addWidget(countBox);
    otherLayout->addWidget(emptyBox);
    otherLayout->addWidget(gaiji_);
    otherLayout->addStretch();
    tabs_->addTab(otherPage, QStringLiteral(" その他 "));
    // The empty-hand text is typed only while 指定文字 is chosen.
    mkChar_->setEnabled(emptyHand_->checkedId() == 3);
    connect(emptyHand_, &QButtonGroup::idToggled, this, [this] { mkChar_->setEnabled(emptyHand_->checkedId() == 3); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

QButtonGroup* DiagramSettingsDialog::group(const char* name) const {
    for (QButtonGroup* g : {titleNo_, titleNo2_, nameNo_, size_, color_, countStyle_, emptyHand_}) {
        if (g->objectName() == QLatin1String(name)) return g;
    }
    return nullptr;
}

Settings::Btimap DiagramSettingsDialog::result() const {
    Settings::Btimap s = original_;
    s.TitleNo = titleNo_->checkedId();
    s.TitleNo2 = titleNo2_->checkedId();
    s.TNameNo = nameNo_->checkedId();
    s.Size = size_->checkedId();
    s.Color = color_->checkedId();
    s.BmpZoom = zoom_->currentIndex() + 1;
    s.MtKoma = countStyle_->checkedId();
    s.MKDisp = emptyHand_->checkedId();
    if (s.MKDisp == 3) s.MKChar = RemoveSpaces(ToCp932(mkChar_->text()));
    s.KmGaiji = gaiji_->isChecked();
    std::array<std::string*, 6> texts = {&s.Title1, &s.Title2, &s.Title3, &s.Title4, &s.Title5, &s.Title6};
    for (std::size_t i = 0; i < 6; ++i) *texts[i] = ToCp932(titles_[i]->text());
    s.MNameS = ToCp932(mNameS_->text());
    s.MNameG = ToCp932(mNameG_->text());
    s.TNameS = ToCp932(tNameS_->text());
    s.TNameG = ToCp932(tNameG_->text());
    return s;
}

}  // namespace movra

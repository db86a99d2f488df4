#include "gui/publish/web_settings_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/config/ini_file.h"
#include "core/text/paths.h"
#include "core/text/text_helpers.h"
#include "gui/common/qtext.h"

namespace movra {

namespace {

// The dialog's filters: "caption|patterns|caption|patterns" as Qt's "caption (patterns);;...".
QString QtFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(QStringLiteral(";;"));
}


}  // namespace

WebSettingsDialog::WebSettingsDialog(Settings& settings, std::filesystem::path programFolder, QWidget* parent)
    : QDialog(parent), settings_(settings), programFolder_(std::move(programFolder)) {
    setWindowTitle(QStringLiteral("WEB用設定"));
    setObjectName(QStringLiteral("WebSettingsDialog"));
    const std::string editor = Trim(settings_.tool.Editor);
    editorFound_ = !editor.empty() && IsRegularFile(ResolvePath(programFolder_, editor));

    auto* layout = new QVBoxLayout(this);
    grid_ = new QGridLayout;
    layout->addLayout(grid_);

    auto addSwitch = [&](int row, const QString& label, const QString& name, bool on, QRadioButton*& yes,
                         QRadioButton*& no) {
        grid_->addWidget(new QLabel(label), row, 0);
        yes = new QRadioButton(QStringLiteral("する"));
        no = new QRadioButton(QStringLiteral("しない"));
        yes->setObjectName(name + QStringLiteral("On"));
        no->setObjectName(name + QStringLiteral("Off"));
        auto* group = new QButtonGroup(this);
        group->addButton(yes);
        group->addButton(no);
        (on ? yes : no)->setChecked(true);
        auto* box = new QHBoxLayout;
        box->addWidget(yes);
        box->addWidget(no);
        box->addStretch();
        grid_->addLayout(box, row, 1);
    };

    addSwitch(0, QStringLiteral("１．ＦＴＰ自動転送"), QStringLiteral("Auto"), settings_.ftp.Auto, autoOn_, autoOff_);
    conv_ = AddPath(1, QStringLiteral("２．画像変換ツール"), QStringLiteral("GixConv"), QtFilter(QStringLiteral("実行ﾌｧｲﾙ(*.exe)|*.exe|すべてのﾌｧｲﾙ(*.*)|*")), false, true, 1);
    applet_ = AddPath(2, QStringLiteral("３．アプレット用棋譜"), QStringLiteral("OutPathAp"), QtFilter(QStringLiteral("棋譜ﾌｧｲﾙ(*.kf)|*.kf|すべてのﾌｧｲﾙ(*.*)|*")), false, false, 0);
    bitmap_ = AddPath(3, QStringLiteral("４．盤面図BMP"), QStringLiteral("BmpPath02"), QtFilter(QStringLiteral("BMPﾌｧｲﾙ(*.bmp)|*.bmp|すべてのﾌｧｲﾙ(*.*)|*")), false, false, 0);
    source_ = AddPath(4, QStringLiteral("５．棋譜雛形HTML"), QStringLiteral("Source01"), QtFilter(QStringLiteral("HTMLﾌｧｲﾙ(*.html;*.htm)|*.html;*.htm|すべてのﾌｧｲﾙ(*.*)|*")), true, true, 2);
    output_ = AddPath(5, QStringLiteral("６．棋譜出力HTML"), QStringLiteral("OutPath01"), QtFilter(QStringLiteral("HTMLPﾌｧｲﾙ(*.html;*.htm)|*.html;*.htm|すべてのﾌｧｲﾙ(*.*)|*")), false, false, 0);
    mobileAsc_ = AddPath(6, QStringLiteral("７．ｉ-mode雛形(昇順)"), QStringLiteral("IHtml02"), QtFilter(QStringLiteral("HTMLPﾌｧｲﾙ(*.html;*.htm)|*.html;*.htm|すべてのﾌｧｲﾙ(*.*)|*")), true, true, 3);
    mobileDesc_ = AddPath(7, QStringLiteral("８．ｉ-mode雛形(逆順)"), QStringLiteral("IHtml03"), QtFilter(QStringLiteral("HTMLPﾌｧｲﾙ(*.html;*.htm)|*.html;*.htm|すべてのﾌｧｲﾙ(*.*)|*")), true, true, 4);
    pathAsc_ = AddPath(8, QStringLiteral("９．ｉ-mode棋譜(昇順)"), QStringLiteral("IPath02"), QtFilter(QStringLiteral("HTMLPﾌｧｲﾙ(*.html;*.htm)|*.html;*.htm|すべてのﾌｧｲﾙ(*.*)|*")), false, false, 0);
    pathDesc_ = AddPath(9, QStringLiteral("10．ｉ-mode棋譜(逆順)"), QStringLiteral("IPath03"), QtFilter(QStringLiteral("HTMLPﾌｧｲﾙ(*.html;*.htm)|*.html;*.htm|すべてのﾌｧｲﾙ(*.*)|*")), false, false, 0);
    addSwitch(10, QStringLiteral("1１．消費時間出力"), QStringLiteral("UseTime"), settings_.ftp.UseTime, timeOn_, timeOff_);

    const Settings::Html& html = settings_.html;
    conv_->setText(ToQString(html.GixConv));
    applet_->setText(ToQString(settings_.java.OutPathAp));
    bitmap_->setText(ToQString(html.i_BmpPath02));
    source_->setText(ToQString(html.source[0]));
    output_->setText(ToQString(html.OutPath[0]));
    mobileAsc_->setText(ToQString(html.i_html[1]));
    mobileDesc_->setText(ToQString(html.i_html[2]));
    pathAsc_->setText(ToQString(html.i_Path[1]));
    pathDesc_->setText(ToQString(html.i_Path[2]));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    launcher = [](const QString& program, const QString& file) { QProcess::startDetached(program, {file}); };
}

QLineEdit* WebSettingsDialog::AddPath(int row, const QString& label, const QString& name, const QString& filter,
                                      bool fileNameOnly, bool startInProgramFolder, int editButton) {
    grid_->addWidget(new QLabel(label), row, 0);
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setMinimumWidth(320);
    auto* box = new QHBoxLayout;
    box->addWidget(field, 1);
    auto* browse = new QPushButton(QStringLiteral("参照"));
    browse->setObjectName(QStringLiteral("RefBtn") + name);
    connect(browse, &QPushButton::clicked, this, [=, this] { Browse(field, filter, fileNameOnly, startInProgramFolder); });
    box->addWidget(browse);
    if (editButton > 0) {
        auto* edit = new QPushButton(QStringLiteral("編集"));
        edit->setObjectName(QStringLiteral("EditBtn%1").arg(editButton));
        edit->setVisible(editorFound_);
        connect(edit, &QPushButton::clicked, this, [this, editButton] { Edit(editButton); });
        box->addWidget(edit);
    }
    grid_->addLayout(box, row, 1);
    return field;
}

void WebSettingsDialog::Browse(QLineEdit* field, const QString& filter, bool fileNameOnly, bool startInProgramFolder) {
    const QString start = startInProgramFolder ? PathToQString(programFolder_) : field->text();
    const QString chosen = fileNameOnly || startInProgramFolder
                               ? QFileDialog::getOpenFileName(this, QString(), start, filter)
                               : QFileDialog::getSaveFileName(this, QString(), start, filter, nullptr,
                                                              QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return;
    field->setText(fileNameOnly ? QFileInfo(chosen).fileName() : chosen);
}

QString WebSettingsDialog::EditTarget(int button) const {
    const QLineEdit* fields[] = {nullptr, conv_, source_, mobileAsc_, mobileDesc_};
    if (button < 1 || button > 4) return {};
    const QString text = fields[button]->text().trimmed();
    if (text.isEmpty()) return {};
    if (button == 1) {
        const std::filesystem::path program = ResolvePath(programFolder_, ToCp932(text));
        return PathToQString(program.parent_path() / "ConvFile.txt");
    }
    return PathToQString(ResolvePath(programFolder_, ToCp932(text)));
}

void WebSettingsDialog::Edit(int button) {
    const QString file = EditTarget(button);
    if (file.isEmpty() || !launcher) return;
    launcher(PathToQString(ResolvePath(programFolder_, Trim(settings_.tool.Editor))), file);
}

bool WebSettingsDialog::Apply() {
    Settings::Html& html = settings_.html;
    settings_.ftp.Auto = autoOn_->isChecked();
    settings_.ftp.UseTime = timeOn_->isChecked();
    html.GixConv = ToCp932(conv_->text());
    settings_.java.OutPathAp = ToCp932(applet_->text());
    html.i_BmpPath02 = ToCp932(bitmap_->text());
    html.source[0] = ToCp932(source_->text());
    html.OutPath[0] = ToCp932(output_->text());
    html.i_html[1] = ToCp932(mobileAsc_->text());
    html.i_html[2] = ToCp932(mobileDesc_->text());
    html.i_Path[1] = ToCp932(pathAsc_->text());
    html.i_Path[2] = ToCp932(pathDesc_->text());
    const Settings s = settings_;
    return UpdateProfileFile(SettingsFilePath(programFolder_).string(), [&s](IniFile& ini) {
        ini.WriteBool("FTP", "Auto", s.ftp.Auto);
        ini.WriteBool("FTP", "UseTime", s.ftp.UseTime);
        auto quoted = [](const std::string& v) { return "\"" + v + "\""; };
        ini.WriteString("HTML", "GixConv", quoted(s.html.GixConv));
        ini.WriteString("JAVA", "OutPathAp", quoted(s.java.OutPathAp));
        ini.WriteString("HTML", "i_BmpPath02", quoted(s.html.i_BmpPath02));
        ini.WriteString("HTML", "source01", quoted(s.html.source[0]));
        ini.WriteString("HTML", "OutPath01", quoted(s.html.OutPath[0]));
        ini.WriteString("HTML", "i_html02", s.html.i_html[1]);
        ini.WriteString("HTML", "i_html03", s.html.i_html[2]);
        ini.WriteString("HTML", "i_Path02", s.html.i_Path[1]);
        ini.WriteString("HTML", "i_Path03", s.html.i_Path[2]);
    });
}

}  // namespace movra

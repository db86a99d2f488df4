#include "gui/ftp/ftp_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "gui/common/gui_prompter.h"
#include "gui/common/qtext.h"

namespace movra {

using namespace literals;

// Runs on the worker thread: everything it hears goes to the window's thread as a queued call.
class FtpWindow::Listener : public FtpListener {
public:
    explicit Listener(FtpWindow* window) : window_(window) {}
    void Status(int panel, const std::string& text) override {
        const QString shown = ToQString(text);
        QMetaObject::invokeMethod(window_, [w = window_, panel, shown] { w->ShowStatus(panel, shown); },
                                  Qt::QueuedConnection);
    }
    void Failure(const FtpFailure& failure) override {
        const std::string message = FtpFailureMessage(failure);
        QMetaObject::invokeMethod(window_, [w = window_, message] {
            w->failures_.push_back(message);
            w->AddMessage(MessageText(message).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        }, Qt::QueuedConnection);
    }
    void Progress(const std::string& file, std::uint64_t sent, std::uint64_t total) override {
        const int percent = total == 0 ? 0 : int(sent * 100 / total);
        if (file == lastFile_ && percent == lastPercent_) return;  // one call a step is plenty
        lastFile_ = file;
        lastPercent_ = percent;
        const QString shown = ToQString(file);
        QMetaObject::invokeMethod(window_, [w = window_, shown, percent] { w->ShowProgress(shown, percent); },
                                  Qt::QueuedConnection);
    }

private:
    FtpWindow* window_;
    std::string lastFile_;
    int lastPercent_ = -1;
};

FtpWindow::FtpWindow(std::filesystem::path programFolder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)),
      file_(ResolvePath(programFolder_, kFtpSettingsFileName)), prompter_(prompter),
      listener_(std::make_unique<Listener>(this)) {
    setObjectName(QStringLiteral("FtpForm"));
    setWindowTitle(QStringLiteral("マルチＦＴＰクライアント"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Build();
}

FtpWindow::~FtpWindow() {
    if (uploader_) uploader_->Cancel();
    WaitForWorker();
}

void FtpWindow::Build() {
    auto* top = new QVBoxLayout(this);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(new QLabel(QStringLiteral("ＦＴＰ登録先"), this));
    serverBox_ = new QComboBox(this);
    serverBox_->setObjectName(QStringLiteral("ServerBox"));
    listRow->addWidget(serverBox_, 1);
    top->addLayout(listRow);

    destination_ = new QGroupBox(QStringLiteral("転送先"), this);
    destination_->setObjectName(QStringLiteral("DestinationGroup"));
    auto* form = new QFormLayout(destination_);
    auto field = [&](const QString& label, const char* name) {
        auto* edit = new QLineEdit(destination_);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(label, edit);
        return edit;
    };
    nameEdit_ = field(QStringLiteral("ＦＴＰ名称"), "NameEdit");
    addrEdit_ = field(QStringLiteral("ＦＴＰアドレス"), "AddrEdit");
    dirEdit_ = field(QStringLiteral("転送フォルダ"), "DirEdit");
    userEdit_ = field(QStringLiteral("FTPﾕｰｻﾞｰID"), "UserEdit");
    passEdit_ = field(QStringLiteral("FTPﾊﾟｽﾜｰﾄﾞ"), "PassEdit");
    passEdit_->setEchoMode(QLineEdit::Password);
    transCheck_ = new QCheckBox(QStringLiteral("ＦＴＰ転送を行う"), destination_);
    transCheck_->setObjectName(QStringLiteral("TransCheck"));
    form->addRow(QString(), transCheck_);
    top->addWidget(destination_);

    ownGroup_ = new QGroupBox(QStringLiteral("転送元フォルダ（固有）---指定しない場合は下の共通転送元フォルダを使用"), this);
    ownGroup_->setObjectName(QStringLiteral("OwnFolderGroup"));
    auto* ownRow = new QHBoxLayout(ownGroup_);
    ownCheck_ = new QCheckBox(ownGroup_);
    ownCheck_->setObjectName(QStringLiteral("OwnFolderCheck"));
    ownEdit_ = new QLineEdit(ownGroup_);
    ownEdit_->setObjectName(QStringLiteral("OwnFolderEdit"));
    ownButton_ = new QPushButton(QStringLiteral("参照..."), ownGroup_);
    ownButton_->setObjectName(QStringLiteral("OwnFolderBtn"));
    ownRow->addWidget(ownCheck_);
    ownRow->addWidget(ownEdit_, 1);
    ownRow->addWidget(ownButton_);
    top->addWidget(ownGroup_);

    commonGroup_ = new QGroupBox(QStringLiteral("共通転送元フォルダ"), this);
    commonGroup_->setObjectName(QStringLiteral("CommonFolderGroup"));
    auto* commonRow = new QHBoxLayout(commonGroup_);
    commonEdit_ = new QLineEdit(commonGroup_);
    commonEdit_->setObjectName(QStringLiteral("CommonFolderEdit"));
    commonButton_ = new QPushButton(QStringLiteral("参照..."), commonGroup_);
    commonButton_->setObjectName(QStringLiteral("CommonFolderBtn"));
    commonRow->addWidget(commonEdit_, 1);
    commonRow->addWidget(commonButton_);
    top->addWidget(commonGroup_);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    top->addWidget(progress_);
    log_ = new QPlainTextEdit(this);
    log_->setObjectName(QStringLiteral("MessageLog"));
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(500);
    log_->setFixedHeight(log_->fontMetrics().lineSpacing() * 4 + 12);
    top->addWidget(log_);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    registerButton_ = button(QStringLiteral("登　録"), "RegisterBtn");
    buttons->addStretch(1);
    startButton_ = button(QStringLiteral("転送開始"), "StartBtn");
    cancelButton_ = button(QStringLiteral("中　止"), "CancelBtn");
    closeButton_ = button(QStringLiteral("閉じる"), "CloseBtn");
    cancelButton_->setEnabled(false);
    top->addLayout(buttons);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    panel1_ = new QLabel(status);
    panel1_->setObjectName(QStringLiteral("StatusPanel1"));
    panel2_ = new QLabel(status);
    panel2_->setObjectName(QStringLiteral("StatusPanel2"));
    status->addWidget(panel1_, 1);
    status->addWidget(panel2_, 1);
    top->addWidget(status);

    connect(serverBox_, &QComboBox::activated, this, [this](int index) { ShowEntry(index + 1); });
    connect(ownCheck_, &QCheckBox::toggled, this, &FtpWindow::SetOwnFolderEnabled);
    connect(ownButton_, &QPushButton::clicked, this, &FtpWindow::ChooseOwnFolder);
    connect(commonButton_, &QPushButton::clicked, this, &FtpWindow::ChooseCommonFolder);
    connect(registerButton_, &QPushButton::clicked, this, [this] { Register(); });
    connect(startButton_, &QPushButton::clicked, this, &FtpWindow::StartTransfer);
    connect(cancelButton_, &QPushButton::clicked, this, &FtpWindow::CancelTransfer);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
    auto* full = new QShortcut(QKeySequence(QStringLiteral("Ctrl+X")), this);
    connect(full, &QShortcut::activated, this, [this] { SetShortForm(false); });
    auto* brief = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Z")), this);
    connect(brief, &QShortcut::activated, this, [this] { SetShortForm(true); });
    // A text field would take the two keys as cut and undo.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->installEventFilter(this);

    // The own folder's field: the window colour while it can be used, the button colour when not.
    QPalette palette = ownEdit_->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Active, QPalette::Button));
    ownEdit_->setPalette(palette);
}

bool FtpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool control = (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
        // Left unaccepted, the key goes on to the window's shortcuts.
        if (control && (key->key() == Qt::Key_X || key->key() == Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FtpWindow::Open(bool shortForm) {
    list_ = LoadFtpServerList(file_);
    failures_.clear();
    log_->clear();
    progress_->setValue(0);
    panel1_->clear();
    panel2_->clear();
    FillList();
    commonEdit_->setText(ToQString(list_.commonFolder));
    ShowEntry(1);
    SetShortForm(shortForm);
    saveOnClose_ = true;
}

void FtpWindow::FillList() {
    serverBox_->clear();
    for (int k = 1; k <= kFtpServerCount; ++k) {
        serverBox_->addItem(ToQString(FtpListItem(k, list_.entries[std::size_t(k - 1)])));
    }
}

void FtpWindow::SetShortForm(bool shortForm) {
    shortForm_ = shortForm;
    for (QWidget* w : {static_cast<QWidget*>(destination_), static_cast<QWidget*>(ownGroup_),
                       static_cast<QWidget*>(commonGroup_), static_cast<QWidget*>(registerButton_)}) {
        w->setVisible(!shortForm);
        w->setEnabled(!shortForm);
    }
    // The heights of the two forms, or what the fonts need when that is more.
    layout()->activate();
    const int wanted = shortForm ? 235 : 440;
    const QSize hint = sizeHint();
    setMinimumSize(0, 0);
    resize(std::max(hint.width(), 480), std::max(hint.height(), wanted));
}

void FtpWindow::ShowEntry(int entry) {
    if (entry < 1 || entry > kFtpServerCount) return;
    shown_ = entry;
    if (serverBox_->currentIndex() != entry - 1) serverBox_->setCurrentIndex(entry - 1);
    const FtpServerEntry& e = list_.entries[std::size_t(entry - 1)];
    nameEdit_->setText(ToQString(e.name));
    addrEdit_->setText(ToQString(e.address));
    dirEdit_->setText(ToQString(e.remoteFolder));
    userEdit_->setText(ToQString(e.user));
    passEdit_->setText(ToQString(e.password));
    transCheck_->setChecked(e.transfer);
    ownEdit_->setText(ToQString(e.ownFolderPath));
    ownCheck_->setChecked(e.ownFolder);
    SetOwnFolderEnabled(e.ownFolder);
}

void FtpWindow::SetOwnFolderEnabled(bool enabled) {
    ownEdit_->setEnabled(enabled);
    ownButton_->setEnabled(enabled);
}

bool FtpWindow::Register() {
    FtpServerEntry typed;
    typed.name = ToCp932(nameEdit_->text());
    typed.address = ToCp932(addrEdit_->text());
    typed.remoteFolder = ToCp932(dirEdit_->text());
    typed.user = ToCp932(userEdit_->text());
    typed.password = ToCp932(passEdit_->text());
    typed.transfer = transCheck_->isChecked();
    typed.ownFolder = ownCheck_->isChecked();
    typed.ownFolderPath = ToCp932(ownEdit_->text());
    std::string warning;
    if (!RegisterFtpEntry(list_, shown_, typed, &warning)) {
        prompter_.Warn(warning);
        nameEdit_->setFocus();
        return false;
    }
    const FtpServerEntry& stored = list_.entries[std::size_t(shown_ - 1)];
    if (!SaveFtpServerEntry(file_, shown_, stored)) {
        prompter_.Warn("\r"_sj + kFtpSettingsFileName + " に書き込めません。"_sj);
    }
    serverBox_->setItemText(shown_ - 1, ToQString(FtpListItem(shown_, stored)));
    serverBox_->setCurrentIndex(shown_ - 1);
    nameEdit_->setText(ToQString(stored.name));
    ownEdit_->setText(ToQString(stored.ownFolderPath));
    return true;
}

std::filesystem::path FtpWindow::PickFolder(const std::filesystem::path& current) {
    if (folderAnswer) return folderAnswer(current);
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("転送元のフォルダを指定して下さい。"), PathToQString(current));
    return chosen.isEmpty() ? std::filesystem::path() : QStringToPath(chosen);
}

void FtpWindow::ChooseCommonFolder() {
    const auto chosen = PickFolder(ResolvePath(programFolder_, list_.commonFolder));
    if (chosen.empty()) return;
    list_.commonFolder = StoredPath(chosen);
    commonEdit_->setText(ToQString(list_.commonFolder));
}

void FtpWindow::ChooseOwnFolder() {
    const auto chosen = PickFolder(ResolvePath(programFolder_, ToCp932(ownEdit_->text())));
    if (chosen.empty()) return;
    ownEdit_->setText(ToQString(StoredPath(chosen)));
}

void FtpWindow::StartTransfer() {
    if (transferring()) return;
    startButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    registerButton_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    failures_.clear();
    uploader_ = std::make_unique<FtpUploader>(*listener_, options);
    FtpUploader* uploader = uploader_.get();
    const FtpServerList list = list_;
    const std::filesystem::path folder = programFolder_;
    const int id = ++transferId_;
    worker_ = QThread::create([this, uploader, list, folder, id] {
        FtpUploadReport report = uploader->Run(list, folder);
        QMetaObject::invokeMethod(this, [this, report, id] { Finish(report, id); }, Qt::QueuedConnection);
    });
    worker_->setObjectName(QStringLiteral("FtpWorker"));
    worker_->start();
}

void FtpWindow::CancelTransfer() {
    if (uploader_) uploader_->Cancel();
    cancelButton_->setEnabled(false);
}

void FtpWindow::WaitForWorker() {
    if (!worker_) return;
    worker_->wait();
    delete worker_.data();
    worker_ = nullptr;
}

void FtpWindow::Finish(const FtpUploadReport& report, int id) {
    if (id != transferId_ || !transferring()) return;  // the window was closed meanwhile
    WaitForWorker();
    uploader_.reset();
    report_ = report;
    QApplication::restoreOverrideCursor();
    startButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    registerButton_->setEnabled(!shortForm_);
    std::string summary;
    if (report.cancelled) summary = "\r転送を中止しました。"_sj;
    else if (report.servers.empty()) summary = "\rＦＴＰ転送を行うサーバーがありません。"_sj;
    if (!failures_.empty()) {
        if (summary.empty()) summary = "\r転送できなかったものがあります。"_sj;
        for (const std::string& f : failures_) summary += "\r\r" + f;
    }
    const bool complete = report.allComplete();
    if (!summary.empty()) prompter_.Warn(summary);
    emit transferFinished(complete);
    accept();
}

void FtpWindow::ShowStatus(int panel, const QString& text) {
    (panel == 0 ? panel1_ : panel2_)->setText(text);
    if (!text.isEmpty()) AddMessage(text);
    if (panel == 1 && !text.isEmpty()) progress_->setValue(0);
}

void FtpWindow::AddMessage(const QString& text) { log_->appendPlainText(text); }

void FtpWindow::ShowProgress(const QString& file, int percent) {
    progress_->setValue(percent);
    progress_->setFormat(file + QStringLiteral(" %p%"));
}

QStringList FtpWindow::messages() const { return log_->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

void FtpWindow::SaveList() {
    if (!saveOnClose_) return;
    saveOnClose_ = false;
    if (!SaveFtpServerList(file_, list_)) {
        prompter_.Warn("\r"_sj + kFtpSettingsFileName + " に書き込めません。"_sj);
    }
}

void FtpWindow::done(int result) {
    if (transferring()) {
        // Closing stops the upload; the window closes once the worker has let go.
        uploader_->Cancel();
        ++transferId_;
        WaitForWorker();
        uploader_.reset();
        QApplication::restoreOverrideCursor();
        startButton_->setEnabled(true);
        cancelButton_->setEnabled(false);
    }
    SaveList();
    serverBox_->clear();
    QDialog::done(result);
}

}  // namespace movra

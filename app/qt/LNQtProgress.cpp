#include "LNQtProgress.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kinloom {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 quietMilliseconds = 250;
constexpr qint64 paintMilliseconds = 50;

QString stageText(LNProgress::Stage stage) {
    // In the order of the stages.
    static const QString texts[] = {
        u"Reading the file (1 of 5)"_s,   u"Decoding the text (2 of 5)"_s, u"Reading the records (3 of 5)"_s,
        u"Checking the links (4 of 5)"_s, u"Filling the table (5 of 5)"_s, u"Validating the persons"_s,
    };
    return texts[static_cast<int>(stage)];
}

// Escape and closing the dialog ask to cancel; only the job's end hides it.
class ProgressDialog : public QDialog {
  public:
    ProgressDialog(QWidget* parent, LNQtProgress* progress) : QDialog(parent), progress_(progress) {}
    void reject() override {
        if (cancelable_) progress_->cancel();
    }
    bool cancelable_ = false;

  private:
    LNQtProgress* progress_;
};

} // namespace

LNQtProgress::LNQtProgress(QMainWindow* window) : window_(window) {}

LNQtProgress::~LNQtProgress() {
    delete dialog_.data();
}

bool LNQtProgress::progressed(Stage stage, std::uint64_t done, std::uint64_t total, bool canStop) {
    if (!clock_.isValid()) clock_.start();
    Q_EMIT reported(stage, done, total);
    const qint64 now = clock_.elapsed();
    if (now >= quietMilliseconds) show(stage, done, total, canStop);
    if (lastPaint_ < 0 || now - lastPaint_ >= paintMilliseconds) {
        lastPaint_ = now;
        // The rows are half made while the table is filled: the window keeps
        // the picture it had.
        if (QWidget* contents = window_->centralWidget()) contents->setUpdatesEnabled(stage != Stage::table);
        const bool blocked = dialog_ && dialog_->isVisible();
        QCoreApplication::processEvents(blocked ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    return cancelRequested_ && canStop;
}

void LNQtProgress::show(Stage stage, std::uint64_t done, std::uint64_t total, bool canStop) {
    if (!dialog_) makeDialog();
    label_->setText(stageText(stage));
    const int permille =
        total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done, total) * 1000 / total);
    bar_->setRange(0, total == 0 ? 0 : 1000);
    bar_->setValue(permille);
    cancelButton_->setEnabled(canStop && !cancelRequested_);
    static_cast<ProgressDialog*>(dialog_.data())->cancelable_ = canStop;
    if (dialog_->isVisible()) return;
    dialog_->show();
    // Still busy, but with a pointer that can hit Cancel.
    QApplication::changeOverrideCursor(Qt::BusyCursor);
}

void LNQtProgress::makeDialog() {
    auto* dialog = new ProgressDialog(window_, this);
    dialog->setWindowTitle(u"Kinloom"_s);
    dialog->setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(dialog);
    label_ = new QLabel(dialog);
    bar_ = new QProgressBar(dialog);
    bar_->setMinimumWidth(360);
    cancelButton_ = new QPushButton(u"Cancel"_s, dialog);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        cancel();
        cancelButton_->setEnabled(false);
    });
    dialog_ = dialog;
}

void LNQtProgress::finish() {
    if (dialog_) dialog_->hide();
    if (QWidget* contents = window_->centralWidget()) contents->setUpdatesEnabled(true);
    clock_.invalidate();
    lastPaint_ = -1;
    cancelRequested_ = false;
}

} // namespace kinloom

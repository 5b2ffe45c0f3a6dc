#pragma once

#include "support/LNProgress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QDialog;
class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;

namespace kinloom {

/// How far a long job of the window is, shown in a window-modal dialog with
/// a Cancel button once the job has run for a quarter of a second; shorter
/// jobs show nothing. Every report lets the window paint, at most every
/// 50 ms: before the dialog shows, without user input (it waits); once the
/// dialog shows, its modality keeps the input from the window. While the
/// table's rows are rebuilt the window's contents keep their last picture.
class LNQtProgress : public QObject, public LNProgress {
    Q_OBJECT

  public:
    explicit LNQtProgress(QMainWindow* window);
    ~LNQtProgress() override;

    bool progressed(Stage stage, std::uint64_t done, std::uint64_t total, bool canStop) override;
    /// The job has ended: hides the dialog, forgets a stop request.
    void finish();
    /// What Cancel does: the job stops at its next report where it can.
    void cancel() { cancelRequested_ = true; }

  Q_SIGNALS:
    /// Every report, before the stop request is answered.
    void reported(LNProgress::Stage stage, quint64 done, quint64 total);

  private:
    void show(Stage stage, std::uint64_t done, std::uint64_t total, bool canStop);
    void makeDialog();

    QMainWindow* window_;
    QPointer<QDialog> dialog_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QElapsedTimer clock_;
    qint64 lastPaint_ = -1;
    bool cancelRequested_ = false;
};

} // namespace kinloom

// The progress windows as small modeless Qt dialogs: TStatForm (caption and
// three lines) and the gauge window (bar and status line). Both have a
// Cancel button; the progress window shows it only when made cancellable.
#ifndef TALLYBOOK_PLATFORM_QT_QT_PROGRESS_WINDOW_H_
#define TALLYBOOK_PLATFORM_QT_QT_PROGRESS_WINDOW_H_

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <array>
#include <memory>

#include "platform/gauge_window.h"
#include "platform/progress_window.h"

namespace tallybook::platform::qt {

class QtProgressWindow : public ProgressWindow {
 public:
  explicit QtProgressWindow(QWidget* parent = nullptr);
  ~QtProgressWindow() override;

  void SetCaption(const std::string& caption) override;
  void SetLine(int index, const std::string& text) override;
  void ClearLines() override;
  void SetCancellable(bool cancellable) override;
  void Show() override;
  void Hide() override;
  void ProcessPendingInput() override;
  bool CancelRequested() const override { return cancel_requested_; }
  void RequestCancel() override;

  // For tests and for placing the window.
  QDialog* dialog() const { return dialog_.get(); }
  QString LineText(int index) const;
  QPushButton* cancel_button() const { return cancel_; }

 private:
  std::unique_ptr<QDialog> dialog_;
  std::array<QLabel*, kLineCount> lines_{};
  QPushButton* cancel_ = nullptr;
  bool cancel_requested_ = false;
};

class QtGaugeWindow : public GaugeWindow {
 public:
  explicit QtGaugeWindow(QWidget* parent = nullptr);
  ~QtGaugeWindow() override;

  void SetCaption(const std::string& caption) override;
  void SetPercent(int percent) override;
  void SetStatus(const std::string& text) override;
  void Show() override;
  void Hide() override;
  void ProcessPendingInput() override;
  bool CancelRequested() const override { return cancel_requested_; }
  void RequestCancel() override;

  QDialog* dialog() const { return dialog_.get(); }
  QProgressBar* bar() const { return bar_; }
  QLabel* status_label() const { return status_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  std::unique_ptr<QDialog> dialog_;
  QProgressBar* bar_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool cancel_requested_ = false;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_PROGRESS_WINDOW_H_

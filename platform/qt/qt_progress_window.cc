#include "platform/qt/qt_progress_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {

namespace {

std::unique_ptr<QDialog> MakeDialog(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setModal(false);
  // Closing the window must not end the loop behind it behind its back;
  // the loop asks CancelRequested() instead.
  dialog->setWindowFlags(dialog->windowFlags() &
                         ~Qt::WindowCloseButtonHint &
                         ~Qt::WindowContextHelpButtonHint);
  dialog->setMinimumWidth(320);
  return dialog;
}

// A right-aligned Cancel button under the window's lines; pressing it sets
// *requested, which the loop reads between steps.
QPushButton* AddCancelRow(QDialog* dialog, QVBoxLayout* layout,
                          bool* requested) {
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), dialog);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  QObject::connect(cancel, &QPushButton::clicked,
                   [requested] { *requested = true; });
  return cancel;
}

}  // namespace

QtProgressWindow::QtProgressWindow(QWidget* parent)
    : dialog_(MakeDialog(parent)) {
  // The rebuild status window's own title; each loop sets its caption.
  dialog_->setWindowTitle(QStringLiteral("Rebuild Status"));
  auto* layout = new QVBoxLayout(dialog_.get());
  for (QLabel*& line : lines_) {
    line = new QLabel(dialog_.get());
    line->setTextFormat(Qt::PlainText);
    layout->addWidget(line);
  }
  cancel_ = AddCancelRow(dialog_.get(), layout, &cancel_requested_);
  cancel_->setVisible(false);
}

QtProgressWindow::~QtProgressWindow() = default;

void QtProgressWindow::SetCaption(const std::string& caption) {
  dialog_->setWindowTitle(ToQString(caption));
}

void QtProgressWindow::SetLine(int index, const std::string& text) {
  if (index < 0 || index >= kLineCount) return;
  lines_[index]->setText(ToQString(text));
}

void QtProgressWindow::ClearLines() {
  for (QLabel* line : lines_) line->clear();
}

void QtProgressWindow::SetCancellable(bool cancellable) {
  cancel_->setVisible(cancellable);
}

void QtProgressWindow::Show() {
  cancel_requested_ = false;
  dialog_->show();
  dialog_->raise();
  ProcessPendingInput();
}

void QtProgressWindow::Hide() { dialog_->hide(); }

void QtProgressWindow::ProcessPendingInput() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void QtProgressWindow::RequestCancel() {
  if (dialog_->isVisible() && cancel_->isVisibleTo(dialog_.get())) {
    cancel_requested_ = true;
  }
}

QString QtProgressWindow::LineText(int index) const {
  if (index < 0 || index >= kLineCount) return {};
  return lines_[index]->text();
}

QtGaugeWindow::QtGaugeWindow(QWidget* parent) : dialog_(MakeDialog(parent)) {
  auto* layout = new QVBoxLayout(dialog_.get());
  bar_ = new QProgressBar(dialog_.get());
  bar_->setRange(0, 100);
  bar_->setValue(0);
  status_ = new QLabel(dialog_.get());
  status_->setTextFormat(Qt::PlainText);
  layout->addWidget(bar_);
  layout->addWidget(status_);
  cancel_ = AddCancelRow(dialog_.get(), layout, &cancel_requested_);
}

QtGaugeWindow::~QtGaugeWindow() = default;

void QtGaugeWindow::SetCaption(const std::string& caption) {
  dialog_->setWindowTitle(ToQString(caption));
}

void QtGaugeWindow::SetPercent(int percent) {
  bar_->setValue(ClampPercent(percent));
}

void QtGaugeWindow::SetStatus(const std::string& text) {
  status_->setText(ToQString(text));
}

void QtGaugeWindow::Show() {
  cancel_requested_ = false;
  dialog_->show();
  dialog_->raise();
  ProcessPendingInput();
}

void QtGaugeWindow::Hide() { dialog_->hide(); }

void QtGaugeWindow::RequestCancel() {
  if (dialog_->isVisible()) cancel_requested_ = true;
}

void QtGaugeWindow::ProcessPendingInput() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

}  // namespace tallybook::platform::qt

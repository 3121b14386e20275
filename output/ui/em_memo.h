// TEMMemo ("Send E-Mail Message"): one typed message e-mailed to every
// customer of the label print queue. The return address starts as the
// company's reply address; the three fields use the company's editor font;
// "Queue" opens the print queue window. What E-Mail does is
// output/queue_email.h.
#ifndef TALLYBOOK_OUTPUT_UI_EM_MEMO_H_
#define TALLYBOOK_OUTPUT_UI_EM_MEMO_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "company/app.h"
#include "output/queue_email.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::output::ui {

inline constexpr char kEMMemoName[] = "TEMMemo";

class TEMMemo : public QDialog {
  Q_OBJECT

 public:
  explicit TEMMemo(company::App& app, QWidget* parent = nullptr);

  // Return address, fonts and the queue counter.
  void FormShow();
  // Shows the window modally through the platform ("TEMMemo").
  int Execute();

  // The fields as a message.
  QueueMessage Message() const;
  void EMailButtonClick();
  void QueueButtonClick();

  QLineEdit* ReturnAddress;
  QLineEdit* Subject;
  QPlainTextEdit* Body;
  QLabel* QueueLabel;
  QPushButton* EMailButton;
  QPushButton* QueueButton;
  QPushButton* HelpButton;
  QPushButton* CloseButton;

 public slots:
  // Close: asks before typed text that was not sent is dropped; hides the
  // status window.
  void reject() override;

 private:
  company::App& app_;
  platform::qt::FormChanges changes_{this};
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_EM_MEMO_H_

// Message boxes and questions: the one way the logic tells the user something
// or asks a yes/no question.
//
// A message has a kind (which icon the box shows), a set of buttons, the
// button that is pressed by Enter, a short caption and the text. Show() blocks
// until the user answers and returns the button pressed. Closing the box
// without a button (Escape, the window's close box) answers Cancel when the
// box has a Cancel button, No when it has Yes/No only, and Ok for an OK box.
//
// All texts are Windows-1252 bytes, as everywhere else in the program.
#ifndef TALLYBOOK_PLATFORM_MESSAGE_H_
#define TALLYBOOK_PLATFORM_MESSAGE_H_

#include <string>

namespace tallybook::platform {

enum class MessageKind {
  kInformation,  // refusals and notices
  kWarning,      // input errors
  kError,        // failed operations
  kQuestion,     // confirmations
};

enum class Buttons {
  kOk,
  kOkCancel,
  kYesNo,
  kYesNoCancel,
};

enum class Answer {
  kOk,
  kCancel,
  kYes,
  kNo,
};

struct Message {
  MessageKind kind = MessageKind::kInformation;
  Buttons buttons = Buttons::kOk;
  Answer default_answer = Answer::kOk;
  std::string caption;
  std::string text;
};

// Shows message boxes. Implementations: the Qt message box, and the scripted
// double of platform/testing that checks each text against the test's script.
class Messages {
 public:
  virtual ~Messages() = default;

  // Shows `message` modally and returns the button the user pressed; always
  // one of the message's buttons (see AnswerOnClose for closing the box).
  virtual Answer Show(const Message& message) = 0;
};

// True when `answer` is one of the buttons of `buttons`.
bool HasButton(Buttons buttons, Answer answer);

// The answer a box with these buttons gives when it is closed without
// pressing a button: Cancel, else No, else Ok.
Answer AnswerOnClose(Buttons buttons);

// `requested` when it is one of `buttons`, else the box's first button. Keeps
// a mistaken default from offering a button the box does not have.
Answer EffectiveDefault(Buttons buttons, Answer requested);

// Convenience shapes. Each shows one box and returns what the caller needs.

// Information box with OK.
void Inform(Messages& messages, const std::string& caption,
            const std::string& text);
// Warning box with OK.
void Warn(Messages& messages, const std::string& caption,
          const std::string& text);
// Error box with OK.
void ShowError(Messages& messages, const std::string& caption,
               const std::string& text);
// Yes/No question, Yes the default; true when the user answered Yes.
bool Confirm(Messages& messages, const std::string& caption,
             const std::string& text);
// Yes/No question with No the default; true when the user answered Yes.
bool ConfirmDefaultNo(Messages& messages, const std::string& caption,
                      const std::string& text);
// Yes/No/Cancel question, Yes the default; returns kYes, kNo or kCancel.
Answer AskYesNoCancel(Messages& messages, const std::string& caption,
                      const std::string& text);
// OK/Cancel question, OK the default; true when the user answered OK.
bool ConfirmOkCancel(Messages& messages, const std::string& caption,
                     const std::string& text);

// Readable names, for test failure texts and diagnostics.
const char* ToString(MessageKind kind);
const char* ToString(Buttons buttons);
const char* ToString(Answer answer);

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_MESSAGE_H_

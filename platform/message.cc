#include "platform/message.h"

namespace tallybook::platform {

bool HasButton(Buttons buttons, Answer answer) {
  switch (buttons) {
    case Buttons::kOk:
      return answer == Answer::kOk;
    case Buttons::kOkCancel:
      return answer == Answer::kOk || answer == Answer::kCancel;
    case Buttons::kYesNo:
      return answer == Answer::kYes || answer == Answer::kNo;
    case Buttons::kYesNoCancel:
      return answer == Answer::kYes || answer == Answer::kNo ||
             answer == Answer::kCancel;
  }
  return false;
}

Answer AnswerOnClose(Buttons buttons) {
  if (HasButton(buttons, Answer::kCancel)) return Answer::kCancel;
  if (HasButton(buttons, Answer::kNo)) return Answer::kNo;
  return Answer::kOk;
}

Answer EffectiveDefault(Buttons buttons, Answer requested) {
  if (HasButton(buttons, requested)) return requested;
  switch (buttons) {
    case Buttons::kOk:
    case Buttons::kOkCancel:
      return Answer::kOk;
    case Buttons::kYesNo:
    case Buttons::kYesNoCancel:
      return Answer::kYes;
  }
  return Answer::kOk;
}

namespace {

Answer ShowBox(Messages& messages, MessageKind kind, Buttons buttons,
               Answer default_answer, const std::string& caption,
               const std::string& text) {
  Message message;
  message.kind = kind;
  message.buttons = buttons;
  message.default_answer = default_answer;
  message.caption = caption;
  message.text = text;
  return messages.Show(message);
}

}  // namespace

void Inform(Messages& messages, const std::string& caption,
            const std::string& text) {
  ShowBox(messages, MessageKind::kInformation, Buttons::kOk, Answer::kOk,
          caption, text);
}

void Warn(Messages& messages, const std::string& caption,
          const std::string& text) {
  ShowBox(messages, MessageKind::kWarning, Buttons::kOk, Answer::kOk, caption,
          text);
}

void ShowError(Messages& messages, const std::string& caption,
               const std::string& text) {
  ShowBox(messages, MessageKind::kError, Buttons::kOk, Answer::kOk, caption,
          text);
}

bool Confirm(Messages& messages, const std::string& caption,
             const std::string& text) {
  return ShowBox(messages, MessageKind::kQuestion, Buttons::kYesNo,
                 Answer::kYes, caption, text) == Answer::kYes;
}

bool ConfirmDefaultNo(Messages& messages, const std::string& caption,
                      const std::string& text) {
  return ShowBox(messages, MessageKind::kQuestion, Buttons::kYesNo,
                 Answer::kNo, caption, text) == Answer::kYes;
}

Answer AskYesNoCancel(Messages& messages, const std::string& caption,
                      const std::string& text) {
  return ShowBox(messages, MessageKind::kQuestion, Buttons::kYesNoCancel,
                 Answer::kYes, caption, text);
}

bool ConfirmOkCancel(Messages& messages, const std::string& caption,
                     const std::string& text) {
  return ShowBox(messages, MessageKind::kQuestion, Buttons::kOkCancel,
                 Answer::kOk, caption, text) == Answer::kOk;
}

const char* ToString(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation:
      return "information";
    case MessageKind::kWarning:
      return "warning";
    case MessageKind::kError:
      return "error";
    case MessageKind::kQuestion:
      return "question";
  }
  return "?";
}

const char* ToString(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return "OK";
    case Buttons::kOkCancel:
      return "OK/Cancel";
    case Buttons::kYesNo:
      return "Yes/No";
    case Buttons::kYesNoCancel:
      return "Yes/No/Cancel";
  }
  return "?";
}

const char* ToString(Answer answer) {
  switch (answer) {
    case Answer::kOk:
      return "Ok";
    case Answer::kCancel:
      return "Cancel";
    case Answer::kYes:
      return "Yes";
    case Answer::kNo:
      return "No";
  }
  return "?";
}

}  // namespace tallybook::platform

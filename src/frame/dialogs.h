// How a command talks to the user: modal input boxes and message boxes. The
// window shows real dialogs; the runner and the tests answer from a script.
#pragma once

#include <optional>
#include <string>

namespace matcalc {

struct InputRequest {
  std::string prompt;        // may hold CR LF
  std::string title;         // empty: the program's title
  std::string default_text;  // empty: none
};

enum class Buttons { kOk, kYesNo };
enum class Icon { kNone, kExclamation, kInformation, kCritical, kQuestion };
enum class Reply { kOk, kYes, kNo };

struct MessageRequest {
  std::string text;  // may hold CR LF
  Buttons buttons = Buttons::kOk;
  Icon icon = Icon::kNone;
  Reply default_button = Reply::kOk;
  std::string title;  // empty: the program's title
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The text typed and confirmed, or nothing when the box was cancelled.
  virtual std::optional<std::string> Input(const InputRequest& request) = 0;
  virtual Reply Message(const MessageRequest& request) = 0;
};

}  // namespace matcalc

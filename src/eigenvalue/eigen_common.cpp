#include "eigenvalue/eigen_common.h"

#include "text/leading_number.h"
#include "text/number_text.h"

namespace matcalc {

Task<std::optional<double>> AskPrecision(Frame& frame, double default_value) {
  const std::optional<std::string> answer =
      co_await frame.AskNonEmpty(kPrecisionPrompt, kInputTitle, FormatNumber(default_value));
  if (!answer) co_return std::nullopt;
  co_return LeadingNumber(*answer);
}

Task<Vector> AskInitialVector(Frame& frame, int n) {
  Vector x0(n);
  for (int i = 1; i <= n; ++i) x0(i) = 1;
  for (int i = 1; i <= n; ++i) {
    const std::optional<std::string> answer =
        co_await frame.Ask("输入矩阵非零初始向量值：\r\n   默认为 1", kInputTitle, "1");
    if (!answer || answer->empty()) break;
    const double value = LeadingNumber(*answer);
    if (value == 0) {
      co_await frame.Inform("矩阵初始向量值不能是零,系统建议你采用默认值。", "输入值错误");
      break;
    }
    x0(i) = value;
  }
  co_return x0;
}

Task<bool> KeepTraceAfterGivingUp(Frame& frame, std::string_view text) {
  // The chart says why in the question's first sentence.
  std::string_view why = text.substr(0, text.find("\r\n"));
  if (why.ends_with("。")) why.remove_suffix(std::string_view("。").size());
  frame.convergence().GiveUp(why);
  MessageRequest request;
  request.text = std::string(text);
  request.buttons = Buttons::kYesNo;
  request.icon = Icon::kExclamation;
  request.default_button = Reply::kNo;
  request.title = "警告";
  co_return co_await frame.Message(request) == Reply::kYes;
}

Matrix IdentityMatrix(int n) {
  Matrix identity(n, n);
  for (int i = 1; i <= n; ++i) identity(i, i) = 1;
  return identity;
}

}  // namespace matcalc

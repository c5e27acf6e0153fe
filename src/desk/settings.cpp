#include "desk/settings.h"

#include <cstdint>

#include "frame/frame.h"
#include "text/leading_number.h"

namespace matcalc {

int DigitsFromAnswer(const std::optional<std::string>& answer, int current) {
  if (!answer) return current;
  const double value = LeadingNumber(*answer);
  int digits = kMinDigits;
  if (const std::optional<std::int16_t> rounded = ToInt16(value)) {
    digits = *rounded;
  } else if (value > 0) {
    digits = kMaxDigits;  // beyond the 16-bit range, clamped like 20 would be
  }
  if (digits < kMinDigits) digits = kMinDigits;
  if (digits > kMaxDigits) digits = kMaxDigits;
  return digits;
}

Task<int> AskDecimalDigits(Boxes& boxes, int current) {
  InputRequest request;
  request.prompt = "输入要设置小数数位(0-15)：\r\n默认是6.";
  request.title = "设置小数数位";
  request.default_text = std::to_string(current);
  co_return DigitsFromAnswer(co_await boxes.Input(std::move(request)), current);
}

bool SolveMenuEnabled(std::string_view text1) {
  return text1.find_first_not_of(' ') != std::string_view::npos;
}

}  // namespace matcalc

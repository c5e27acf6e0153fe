#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "desk/json_text.h"

namespace matcalc {
namespace {

TEST(JsonText, StringsAndNumbers) {
  std::string out;
  AppendJsonString(out, std::string("a\"b\\c\r\n\t\x01 读作", 16));
  EXPECT_EQ(out, "\"a\\\"b\\\\c\\u000d\\u000a\\u0009\\u0001 读作\"");
  out.clear();
  AppendJsonNumber(out, -1.5e-30);
  out += ',';
  AppendJsonNumber(out, NAN);
  out += ',';
  AppendJsonNumber(out, -INFINITY);
  EXPECT_EQ(out, "-1.5E-30,null,null");
}

}  // namespace
}  // namespace matcalc

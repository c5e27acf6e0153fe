#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "text/evaluator.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

struct Row {
  const char* entry;
  const char* expected;  // the value's default text
};

void ExpectAll(std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    EXPECT_EQ(FormatNumber(EvaluateEntry(std::string_view(row.entry))), row.expected)
        << "entry \"" << row.entry << '"';
  }
}

TEST(Evaluator, Numbers) {
  ExpectAll({
      {"5", "5"},
      {"-3.5e2", "-350"},
      {"+2", "2"},
      {".5", "0.5"},
      {"-.5", "-0.5"},
      {"1e-5", "1E-05"},
      {"1.5e3", "1500"},
      {"1E+5*2", "200000"},
      {"1.2.3", "1.2"},
      {"0", "0"},
      {"-0", "0"},
      {"1e400", "Infinity"},
      {"-1e400", "-Infinity"},
      {"1e-400", "0"},
      {"1 0", "10"},
      {"3#", "3"},
      {"3##", "3"},
      {"0.5e1", "5"},
      // A number below the double range is still a number: it reads as 0.
      {"2*1e-400", "0"},
      {"1e-400+3", "3"},
      {"2-1e-400*5", "2"},
  });
}

TEST(Evaluator, OperatorsAndPrecedence) {
  ExpectAll({
      {"2+3*4", "14"},
      {"(2+3)*4", "20"},
      {"2^3^2", "64"},
      {"2*3^2", "18"},
      {"10-4-3", "3"},
      {"8/4/2", "1"},
      {"2-3", "-1"},
      {"2+3", "5"},
      {"7\\2", "3"},
      {"2.5\\1", "2"},
      {"3.5\\1", "4"},
      {"-7\\2", "-3"},
      {"7\\0", "0"},
      {"1e10\\1", "0"},
      {"2^0.5", "1.4142135623731"},
      {"1/0", "Infinity"},
      {"-1/0", "-Infinity"},
      {"0/0", "NaN"},
      {"(-8)^(1/3)", "0"},
      {"0^(0-1)", "0"},
      {"10^400", "0"},
      {"1e300*1e300", "Infinity"},
      {"((((1))))", "1"},
      {"2*(3+4)^2", "98"},
  });
}

TEST(Evaluator, SignsAndTheirOperands) {
  ExpectAll({
      // A sign after * / \ ^ belongs to what follows it.
      {"2*-3", "-6"},
      {"2^-1", "0.5"},
      {"6/-2", "-3"},
      {"7\\-2", "-3"},
      {"2*-3^2", "18"},
      {"2*-pi", "-6.28318530717958"},
      {"2*-sin(pi/2)", "-2"},
      {"2*-(1+2)", "-6"},
      {"2^-(1)", "0.5"},
      {"2*+3", "6"},
      {"2*-x", "0"},
      // After "(" the start-of-text rule applies.
      {"2*(-pi)", "-6.28318530717958"},
      {"3*(-(2))", "-6"},
      {"(-sin(pi/2))", "-1"},
      {"1+(-2)*3", "-5"},
      {"(-3)", "-3"},
      {"(+pi)", "3.14159265358979"},
      // At the start, and after + and -.
      {"-3^2", "9"},
      {"-pi", "-3.14159265358979"},
      {"2-pi", "-1.14159265358979"},
      {"-(2)^2", "-4"},
      {"-sin(1)", "-0.841470984807897"},
      {"--3", "3"},
      {"2--3", "5"},
      {"2+-3", "-1"},
      {"2--pi", "5.14159265358979"},
  });
}

TEST(Evaluator, Functions) {
  ExpectAll({
      {"sqr(2)/2", "0.707106781186548"},
      {"sin(pi/2)", "1"},
      {"log2(8)", "3"},
      {"log10(100)", "2"},
      {"SIN(1)", "0.841470984807897"},
      {"sin( 1 )", "0.841470984807897"},
      {"sin2", "0.909297426825682"},
      {"sqr4*2", "4"},
      {"sqr(-1)", "0"},
      {"log(0)", "0"},
      {"log10(-5)", "0"},
      {"log2(0)", "0"},
      {"exp(1)", "2.71828182845905"},
      {"exp(1000)", "0"},
      {"abs(-3)", "3"},
      {"atn(1)*4", "3.14159265358979"},
      {"cos(0)", "1"},
      {"tan(0)", "0"},
      {"log(1)", "0"},
      {"sqr(sqr(16))", "2"},
      {"exp(x)", "1"},
      {"Exp(2)", "7.38905609893065"},
  });
}

TEST(Evaluator, LogarithmsUseTheFifteenDigitConstants) {
  EXPECT_EQ(EvaluateEntry(std::string_view("log10(100)")), 1.9999999999999964);
  EXPECT_EQ(EvaluateEntry(std::string_view("log2(8)")), 3.0000000000000013);
  EXPECT_EQ(EvaluateEntry(std::string_view("pi")), 3.14159265358979);
  EXPECT_EQ(EvaluateEntry(std::string_view("sqr(2)/2")), std::sqrt(2.0) / 2);
}

// The entries' functions give the correctly rounded values, the same bits on
// every platform; for these arguments some C libraries are an ulp off.
TEST(Evaluator, FunctionsAreTheSameEverywhere) {
  EXPECT_EQ(EvaluateEntry(std::string_view("sin(0.259)")), 0x1.0642c1d85096fp-2);
  EXPECT_EQ(EvaluateEntry(std::string_view("sin(1.622)")), 0x1.ff5436d5700d7p-1);
  EXPECT_EQ(EvaluateEntry(std::string_view("log(0.691)")), -0x1.7a7c7950f81acp-2);
  EXPECT_EQ(EvaluateEntry(std::string_view("1.79^1.5")), 0x1.328aaabfd37d8p+1);
  EXPECT_EQ(EvaluateEntry(std::string_view("2.563^1.5")), 0x1.069add04b8027p+2);
  EXPECT_EQ(EvaluateEntry(std::string_view("2^0.5")), std::sqrt(2.0));
  EXPECT_EQ(EvaluateEntry(std::string_view("10^22")), 1e22);
}

TEST(Evaluator, ConstantsAndX) {
  ExpectAll({
      {"pi", "3.14159265358979"},
      {"2*pi", "6.28318530717958"},
      {"pi/pi", "1"},
      {"PI", "3.14159265358979"},
      {"x", "0"},
      {"x+1", "1"},
      {"f(x)=2*3", "6"},
      {"f(x)=x+1", "1"},
      {"f(x)2+2", "4"},
      {"2=3", "2"},
      {"2pi", "2"},
  });
}

TEST(Evaluator, MalformedInputStillGivesANumber) {
  ExpectAll({
      {"", "0"},
      {"#", "0"},
      {"abc", "0"},
      {"12abc", "12"},
      {"2+a", "2"},
      {"(2+3", "5"},
      {"2+3)", "5"},
      {"1,2", "1"},
      {"()", "0"},
      {"+", "0"},
      {"-", "0"},
      {"*", "0"},
      {"2*", "0"},
      {"3#4", "3"},
      {")3", "0"},
      {"sin", "0"},
      {"((", "0"},
      {"1..2", "1"},
      {"e", "0"},
      {"2^", "0"},
      // A "#" inside the text pairs with the opening one early; what follows
      // is still read, and the first operand pushed is the value.
      {"#5", "5"},
      {"#sqr4", "2"},
      {"3#sqr4", "3"},
      {"2abs#log10", "0.301029995663981"},
  });
}

// ReadEntry gives EvaluateEntry's value and tells whether all of the entry
// counted; a row's closing "#" is no unread text.
TEST(Evaluator, ReadEntryTellsWhetherAllWasRead) {
  for (const char* whole : {"", "12", "-1.5e3#", "2*(3+4)", "sin(pi/2)#", "f(x)=2", "x+1", "2^-(1)",
                            "1=", "SQR( 4 )", "7\\2", "3#"}) {
    const EntryReading r = ReadEntry(whole);
    EXPECT_TRUE(r.whole) << whole;
    EXPECT_EQ(r.value, EvaluateEntry(std::string_view(whole))) << whole;
  }
  for (const char* part : {"abc", "12abc", "2+a", "(2+3", "2+3)", "1,2", "2*", "2*(3", "1..2",
                           "1.2.3", "1=2", ")3", "1\t0", "((", "2^", "()", "(2)(3)", "=2"}) {
    const EntryReading r = ReadEntry(part);
    EXPECT_FALSE(r.whole) << part;
    EXPECT_EQ(r.value, EvaluateEntry(std::string_view(part))) << part;
  }
  // Cut off by the step limit.
  std::string long_sum;
  for (int i = 0; i < 4000; ++i) long_sum += "1+";
  long_sum += "1";
  EXPECT_FALSE(ReadEntry(long_sum).whole);
}

TEST(Evaluator, NormalizeExpressionSteps) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"2-3", "2-+3"},
      {"2+3", "2++3"},
      {"-3", "-3"},
      {"(-3)", "(-3)"},
      {"2*-3", "2*-3"},  // exempt: the sign belongs to the number
      {"1e-5", "1E-5"},
      {"1E+5", "1E+5"},
      {"-sin(1)", "0-sin(1)"},
      {"-(2)", "0-(2)"},
      {"-pi", "-+3.14159265358979"},
      {"2*pi", "2*+3.14159265358979"},
      {"exp(1)", "eyp(1)"},
      {"log10(2)+log2(2)", "lgg(2)+lg2(2)"},
      {"f(x)=X ^ 2", "x^2"},
      {"1 + 2 = 3", "1++2"},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    NormalizeExpression(text);
    EXPECT_EQ(text, c.out) << "from \"" << c.in << '"';
  }
  // EvaluateEntry leaves the caller's variable normalised.
  std::string entry = "2-PI";
  EXPECT_EQ(FormatNumber(EvaluateEntry(entry)), "-1.14159265358979");
  EXPECT_EQ(entry, "2-+3.14159265358979");
}

TEST(Evaluator, EvaluateExpressionSubstitutesX) {
  EXPECT_EQ(EvaluateExpression("x*x++1", 3), 10);  // a normalised text
  EXPECT_EQ(EvaluateExpression("x^2", -2), 4);     // x is put in parentheses
  EXPECT_EQ(EvaluateExpression("eyp(x)", 0), 1);
  EXPECT_EQ(EvaluateExpression("2*x", 0.5), 1);
}

TEST(Evaluator, OperateAndApplyFunctionTables) {
  EXPECT_EQ(Operate(7, '\\', 2), 3);
  EXPECT_EQ(Operate(-7, '\\', 2), -3);
  EXPECT_EQ(Operate(2.5, '\\', 1), 2);
  EXPECT_EQ(Operate(7, '\\', 0.4), 0);  // the divisor rounds to 0
  EXPECT_EQ(Operate(2147483647.4, '\\', 1), 2147483647);
  EXPECT_EQ(Operate(2147483648.0, '\\', 1), 0);
  EXPECT_EQ(Operate(-2147483648.0, '\\', -1), 0);  // the quotient leaves the range
  EXPECT_EQ(Operate(std::nan(""), '\\', 1), 0);
  EXPECT_EQ(Operate(-8, '^', 1.0 / 3), 0);
  EXPECT_EQ(Operate(-2, '^', 3), -8);
  EXPECT_EQ(Operate(0, '^', -1), 0);
  EXPECT_EQ(Operate(10, '^', 400), 0);
  EXPECT_EQ(Operate(1e308, '*', 10), INFINITY);
  EXPECT_EQ(Operate(1e308, '+', 1e308), INFINITY);
  EXPECT_EQ(Operate(-1, '/', 0), -INFINITY);
  EXPECT_EQ(ApplyFunction("exp", 710), 0);
  EXPECT_EQ(ApplyFunction("sqr", -4), 0);
  EXPECT_EQ(ApplyFunction("lg2", -1), 0);
  EXPECT_EQ(ApplyFunction("nop", 3), 0);
}

TEST(Evaluator, PrecedenceRelations) {
  using enum Operator;
  EXPECT_EQ(ComparePrecedence(kAdd, '*'), Precedence::kLower);
  EXPECT_EQ(ComparePrecedence(kSubtract, '\\'), Precedence::kLower);
  EXPECT_EQ(ComparePrecedence(kMultiply, '+'), Precedence::kHigher);
  EXPECT_EQ(ComparePrecedence(kIntegerDivide, '/'), Precedence::kHigher);  // left to right
  EXPECT_EQ(ComparePrecedence(kPower, '^'), Precedence::kHigher);
  EXPECT_EQ(ComparePrecedence(kSin, '^'), Precedence::kHigher);
  EXPECT_EQ(ComparePrecedence(kLog2, '('), Precedence::kLower);
  EXPECT_EQ(ComparePrecedence(kUnaryMinus, '^'), Precedence::kHigher);
  EXPECT_EQ(ComparePrecedence(kOpen, ')'), Precedence::kEqual);
  EXPECT_EQ(ComparePrecedence(kOpen, '#'), Precedence::kNone);
  EXPECT_EQ(ComparePrecedence(kHash, '#'), Precedence::kEqual);
  EXPECT_EQ(ComparePrecedence(kHash, ')'), Precedence::kNone);
  EXPECT_EQ(ComparePrecedence(kBottom, '+'), Precedence::kNone);
  EXPECT_EQ(ComparePrecedence(kAdd, 'a'), Precedence::kNone);
  EXPECT_EQ(ComparePrecedence(kAdd, ','), Precedence::kNone);
  EXPECT_EQ(TopOperator({kBottom}), kBottom);
  EXPECT_EQ(TopOperator({kBottom, kHash, kSin}), kSin);
  EXPECT_EQ(ApplyFunction(kLog10, 1000), ApplyFunction("lgg", 1000));
  EXPECT_EQ(ApplyFunction(kAdd, 2), 0);  // not a function
}

// Arbitrary text of a megabyte, however it is built, is evaluated to its
// end. A quadratic rescan would take hours here and meet the CTest timeout;
// the linear cost itself is measured by bench_readers (BM_LongEntry), not by
// a clock in a test, which a loaded machine would make fail now and then.
TEST(Evaluator, LongEntriesAreEvaluated) {
  const std::vector<std::string> entries = {
      std::string(1 << 20, '('),
      [] {
        std::string s;
        for (int i = 0; i < 200000; ++i) s += "1+";
        return s;
      }(),
      [] {
        std::string s;
        for (int i = 0; i < 200000; ++i) s += "-1";
        return s;
      }(),
      [] {
        std::string s;
        for (int i = 0; i < 200000; ++i) s += "1\t";
        return s;
      }(),
      "1" + std::string(1 << 20, '\t') + "2",
      std::string(1 << 20, '1'),
      [] {
        std::string s;
        for (int i = 0; i < 100000; ++i) s += "sin";
        return s;
      }(),
      [] {
        std::string s;
        for (int i = 0; i < 100000; ++i) s += "pi*";
        return s;
      }(),
      [] {
        std::string s;
        for (int i = 0; i < 200000; ++i) s += "2^-";
        return s;
      }(),
  };
  for (const std::string& entry : entries) {
    EvaluateEntry(std::string_view(entry));
  }
  EXPECT_EQ(FormatNumber(EvaluateEntry(std::string_view(std::string(1000, '1')))), "Infinity");
}

}  // namespace
}  // namespace matcalc

#include <gtest/gtest.h>

#include <string>

#include "linalg/exact_readers.h"
#include "linalg/readers.h"

namespace matcalc {
namespace {

// The exact readers read the same doubles as the decimal ones, with the
// fractions beside them, short rows and all.
TEST(ExactReaders, SameDoublesAndTheirFractions) {
  const std::string text = "1/3 0.1 2\n-1.5e-1\n7 8 9 10\n";
  Matrix decimal;
  ReadMatrix(decimal, 3, text);
  Matrix a;
  RationalMatrix exact;
  ASSERT_TRUE(ReadMatrixExact(a, exact, 3, text));
  EXPECT_EQ(a, decimal);
  // The short second row keeps the row above in its missing places.
  const char* expected[3][3] = {{"1/3", "1/10", "2"}, {"-3/20", "1/10", "2"}, {"7", "8", "9"}};
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(FormatRational(exact(i, j)), expected[i - 1][j - 1]) << i << "," << j;
    }
  }
  Matrix shaped;
  ReadMatrix(shaped, 2, 4, text);
  ASSERT_TRUE(ReadMatrixExact(a, exact, 2, 4, text));
  EXPECT_EQ(a, shaped);
}

TEST(ExactReaders, NotExactEntries) {
  Matrix a;
  RationalMatrix exact;
  EXPECT_FALSE(ReadMatrixExact(a, exact, 2, "1 pi\n2 3"));
  EXPECT_FALSE(ReadMatrixExact(a, exact, 2, "1 2\n2 sqr(2)"));
  // Only the columns asked for count: the spare column of a square reader.
  Matrix square(2, 3);
  EXPECT_TRUE(ReadSquareMatrixExact(square, exact, 2, "1 2 pi\n3 4 pi", 2));
  EXPECT_FALSE(ReadSquareMatrixExact(square, exact, 2, "1 2 pi\n3 4 pi", 3));
  Vector v;
  RationalVector q;
  EXPECT_TRUE(ReadVectorExact("1/2   -3 4e1", v, q));
  ASSERT_EQ(q.size(), v.size());
  EXPECT_EQ(FormatRational(q(1)), "1/2");
  EXPECT_EQ(FormatRational(q(v.size())), "40");
  EXPECT_FALSE(ReadVectorExact("1 exp(1)", v, q));
}

}  // namespace
}  // namespace matcalc

// matcalc-estimate METHOD ORDER TEXT_BYTES [DIGITS [page]]: what the
// runner's budgets weigh for METHOD at ORDER with a text of TEXT_BYTES
// (DIGITS 15 by default), for the calibration and bisection scripts; with
// "page", what the page's weigh (its copies of the texts, an empty result
// pane held). Prints "bytes", "seconds" (on the development machine) and
// "fits" (yes/no), one a line; "fits" on a device MATCALC_WORK_SCALE times
// slower when that is set.
//
// matcalc-estimate --exact METHOD ORDER FILE: the same for a command in the
// exact mode, whose estimate comes from the fractions read from FILE (ORDER
// rows and columns; a system a column more); "fits" is "not exact" when an
// entry is not, and "no" when the order's decimal estimate or the fractions
// read would not fit already (as the runner refuses them first). For
// vector-norms ORDER is the vector's length, which FILE alone gives.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/runner.h"
#include "direct/estimates.h"
#include "direct/exact_estimates.h"
#include "eigenvalue/estimates.h"
#include "frame/budget.h"
#include "frame/calibration.h"
#include "linalg/exact_readers.h"
#include "linalg/readers.h"
#include "matrices/estimates.h"
#include "orthogonal/estimates.h"
#include "systems/direct_estimates.h"
#include "systems/iterative.h"
#include "text/text_util.h"
#include "web/session.h"

namespace {

struct Method {
  const char* name;
  matcalc::WorkEstimate (*estimate)(int order, int digits);
};

constexpr Method kMethods[] = {
    {"power", &matcalc::PowerWork},
    {"shift", &matcalc::ShiftWork},
    {"inverse-power", &matcalc::InversePowerWork},
    {"jacobi", &matcalc::JacobiWork},
    {"jacobi-threshold", &matcalc::JacobiWork},
    {"inverse", &matcalc::InverseWork},
    {"determinant", &matcalc::DeterminantWork},
    {"lu", &matcalc::TriangularWork},
    {"positive-definite", &matcalc::PositiveDefiniteWork},
    {"diagonal-dominance", &matcalc::DiagonalDominanceWork},
    {"matrix-norms", &matcalc::MatrixNormsWork},
    {"gauss", &matcalc::GaussWork},
    {"lu-solve", &matcalc::LuSolveWork},
    {"cholesky", &matcalc::CholeskyWork},
    {"ldlt", &matcalc::LdltWork},
    {"tridiagonal", &matcalc::TridiagonalWork},
    {"condition", &matcalc::ConditionWork},
    {"jacobi-iteration", &matcalc::IterativeDefaultWork},
    {"gauss-seidel", &matcalc::IterativeDefaultWork},
    {"sor", &matcalc::IterativeDefaultWork},
    // The matrix menu at m = n (n unknowns for the general solution).
    {"row-echelon", [](int n, int digits) { return matcalc::RowEchelonWork(n, n, digits); }},
    {"rref", [](int n, int digits) { return matcalc::ReducedEchelonWork(n, n, digits); }},
    {"rank", [](int n, int digits) { return matcalc::RankWork(n, n, digits); }},
    {"general-solution",
     [](int n, int digits) { return matcalc::GeneralSolutionWork(n, n, digits); }},
    {"inverse-by-rows", [](int n, int digits) { return matcalc::InverseByRowsWork(n, n, digits); }},
    {"transpose", [](int n, int digits) { return matcalc::TransposeWork(n, n, digits); }},
    {"determinant-by-rows",
     [](int n, int digits) { return matcalc::DeterminantByRowsWork(n, n, digits); }},
    // The matrix commands at m = n (least squares: n equations in n
    // unknowns; the curve fit: n points, degree n - 1).
    {"householder-qr", [](int n, int d) { return matcalc::HouseholderQrWork(n, n, d); }},
    {"givens-qr", [](int n, int d) { return matcalc::GivensQrWork(n, n, d); }},
    {"gram-schmidt", [](int n, int d) { return matcalc::GramSchmidtWork(n, n, d); }},
    {"least-squares", [](int n, int d) { return matcalc::LeastSquaresWork(n, n, d); }},
    {"curve-fit", [](int n, int d) { return matcalc::CurveFitWork(n, n - 1, d); }},
    {"qr-eigenvalues", [](int n, int d) { return matcalc::QrEigenvaluesWork(n, 100 * n, d); }},
};

struct ExactMethod {
  const char* name;
  matcalc::WorkEstimate (*estimate)(const matcalc::RationalMatrix& read, int m, int n);
  int extra_columns;  // beyond n: the system's b
};

constexpr ExactMethod kExactMethods[] = {
    {"row-echelon", &matcalc::ExactEchelonWork, 0},
    {"rref", &matcalc::ExactEchelonWork, 0},
    {"rank", &matcalc::ExactEchelonWork, 0},
    {"general-solution", &matcalc::ExactGeneralSolutionWork, 1},
    {"inverse-by-rows", &matcalc::ExactInverseByRowsWork, 0},
    {"transpose", &matcalc::ExactTransposeWork, 0},
    {"determinant-by-rows", &matcalc::ExactDeterminantByRowsWork, 0},
    // The direct methods and solvers on a square matrix, b a column more.
    {"inverse",
     [](const matcalc::RationalMatrix& a, int n, int) { return matcalc::ExactInverseWork(a, n); },
     0},
    {"determinant",
     [](const matcalc::RationalMatrix& a, int n, int) {
       return matcalc::ExactDeterminantWork(a, n);
     },
     0},
    {"lu",
     [](const matcalc::RationalMatrix& a, int n, int) {
       return matcalc::ExactTriangularWork(a, n);
     },
     0},
    {"gauss",
     [](const matcalc::RationalMatrix& a, int n, int) { return matcalc::ExactGaussWork(a, n); }, 1},
    {"lu-solve",
     [](const matcalc::RationalMatrix& a, int n, int) { return matcalc::ExactLuSolveWork(a, n); },
     1},
    {"ldlt",
     [](const matcalc::RationalMatrix& a, int n, int) { return matcalc::ExactLdltWork(a, n); }, 1},
    {"tridiagonal",
     [](const matcalc::RationalMatrix& a, int n, int) {
       return matcalc::ExactTridiagonalWork(a, n);
     },
     1},
    {"condition",
     [](const matcalc::RationalMatrix& a, int n, int) { return matcalc::ExactConditionWork(a, n); },
     0},
    {"positive-definite",
     [](const matcalc::RationalMatrix& a, int n, int) {
       return matcalc::ExactPositiveDefiniteWork(a, n);
     },
     0},
    {"diagonal-dominance",
     [](const matcalc::RationalMatrix& a, int n, int) {
       return matcalc::ExactDiagonalDominanceWork(a, n);
     },
     0},
    {"matrix-norms",
     [](const matcalc::RationalMatrix& a, int n, int) {
       return matcalc::ExactMatrixNormsWork(a, n);
     },
     0},
    // Square, m = n, as the decimal table has it.
    {"gram-schmidt", &matcalc::ExactGramSchmidtWork, 0},
};

// The order's decimal estimate and the fractions' room before they are
// read, as the runner weighs them in the exact mode first.
bool FitsBeforeReading(const char* name, int order, int columns, double text_bytes) {
  for (const Method& method : kMethods) {
    if (std::strcmp(method.name, name) != 0) continue;
    if (!matcalc::FitsBudget(
            matcalc::TotalNeeds(method.estimate(order, 15), text_bytes, matcalc::kRunnerCosts))) {
      return false;
    }
  }
  const double slots = (order + 1.0) * (columns + 1.0);
  const matcalc::WorkEstimate reading{slots * (sizeof(matcalc::Rational) + sizeof(double)), 0,
                                      slots * matcalc::kExactUpdateNs};
  return matcalc::FitsBudget(matcalc::TotalNeeds(reading, text_bytes, matcalc::kRunnerCosts));
}

// The vector norms, whose order is the vector's length: the vector read
// in decimals, its room as fractions, then the fractions read, each weighed
// before the next as the runner does.
int EstimateExactVectorNorms(const std::string& text) {
  const double text_bytes = static_cast<double>(text.size());
  const auto fits = [&](const matcalc::WorkEstimate& work) {
    return matcalc::FitsBudget(matcalc::TotalNeeds(work, text_bytes, matcalc::kRunnerCosts));
  };
  matcalc::Vector v;
  matcalc::ReadVector(matcalc::TrimSpaces(text), v);
  if (!fits(matcalc::VectorNormsWork(v)) || !fits(matcalc::ExactVectorReadingWork(v))) {
    std::printf("fits\tno\n");
    return 0;
  }
  matcalc::Vector again;
  matcalc::RationalVector exact;
  if (!matcalc::ReadVectorExact(matcalc::TrimSpaces(text), again, exact)) {
    std::printf("fits\tnot exact\n");
    return 0;
  }
  const matcalc::BudgetNeeds needs =
      matcalc::TotalNeeds(matcalc::ExactVectorNormsWork(exact), text_bytes, matcalc::kRunnerCosts);
  std::printf("bytes\t%.0f\nseconds\t%.3f\nfits\t%s\n", needs.bytes, needs.nanoseconds * 1e-9,
              matcalc::FitsBudget(needs) ? "yes" : "no");
  return 0;
}

int EstimateExact(const char* name, int order, const char* path) {
  if (std::strcmp(name, "vector-norms") == 0) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return EstimateExactVectorNorms(text.str());
  }
  for (const ExactMethod& method : kExactMethods) {
    if (std::strcmp(method.name, name) != 0) continue;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!FitsBeforeReading(name, order, order + method.extra_columns,
                           static_cast<double>(text.str().size()))) {
      std::printf("fits\tno\n");
      return 0;
    }
    matcalc::Matrix read;
    matcalc::RationalMatrix exact;
    if (!matcalc::ReadMatrixExact(read, exact, order, order + method.extra_columns, text.str())) {
      std::printf("fits\tnot exact\n");
      return 0;
    }
    const matcalc::BudgetNeeds needs =
        matcalc::TotalNeeds(method.estimate(exact, order, order),
                            static_cast<double>(text.str().size()), matcalc::kRunnerCosts);
    std::printf("bytes\t%.0f\nseconds\t%.3f\nfits\t%s\n", needs.bytes, needs.nanoseconds * 1e-9,
                matcalc::FitsBudget(needs) ? "yes" : "no");
    return 0;
  }
  std::fprintf(stderr, "matcalc-estimate: no exact estimate for %s\n", name);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--exact") == 0) {
    return EstimateExact(argv[2], std::atoi(argv[3]), argv[4]);
  }
  if (argc < 4) {
    std::fprintf(stderr, "usage: matcalc-estimate METHOD ORDER TEXT_BYTES [DIGITS [page]]\n");
    return 2;
  }
  const int order = std::atoi(argv[2]);
  const double text_bytes = std::atof(argv[3]);
  const int digits = argc > 4 ? std::atoi(argv[4]) : 15;
  const bool page = argc > 5 && std::strcmp(argv[5], "page") == 0;
  for (const Method& method : kMethods) {
    if (std::strcmp(method.name, argv[1]) != 0) continue;
    const matcalc::BudgetNeeds needs =
        matcalc::TotalNeeds(method.estimate(order, digits), text_bytes,
                            page ? matcalc::web::kPageCosts : matcalc::kRunnerCosts);
    const char* given = std::getenv("MATCALC_WORK_SCALE");
    const double scale = given != nullptr ? matcalc::ParseWorkScale(given).value_or(1) : 1;
    std::printf("bytes\t%.0f\nseconds\t%.3f\nfits\t%s\n", needs.bytes, needs.nanoseconds * 1e-9,
                matcalc::FitsBudget(needs, scale) ? "yes" : "no");
    return 0;
  }
  std::fprintf(stderr, "matcalc-estimate: unknown METHOD %s\n", argv[1]);
  return 2;
}

// What each orthogonal command needs at most for a shape (m rows, n columns
// or unknowns; the QR method's order n), at the decimal-digits setting
// `digits`, given to the frame before anything is allocated or written.
#pragma once

#include "frame/frame.h"
#include "linalg/exact_readers.h"

namespace matcalc {

WorkEstimate HouseholderQrWork(int m, int n, int digits);
WorkEstimate GivensQrWork(int m, int n, int digits);
WorkEstimate GramSchmidtWork(int m, int n, int digits);
WorkEstimate LeastSquaresWork(int m, int n, int digits);
// m points, the degree asked later at most m - 1.
WorkEstimate CurveFitWork(int m, int n, int digits);
// Order n, at most `limit` iterations (the trace has room for at most
// max(10 n, 100) of them; the work is that of the usual 4 per eigenvalue).
WorkEstimate QrEigenvaluesWork(int n, long long limit, int digits);

// 施密特正交化 in the exact mode, on the m x n matrix read: its β and
// coefficients are exact fractions, the rest as the decimal mode has it.
WorkEstimate ExactGramSchmidtWork(const RationalMatrix& read, int m, int n);

}  // namespace matcalc

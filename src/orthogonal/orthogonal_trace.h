// What the orthogonal commands share in their traces and estimates.
#pragma once

#include <string>
#include <string_view>

#include "frame/trace_buffer.h"
#include "linalg/exact_readers.h"
#include "linalg/matrix.h"
#include "orthogonal/qr_routines.h"

namespace matcalc {

// Rows first..last and columns 1..cols of `a`, each entry four spaces and
// its text rounded to `places`.
void AppendMatrixBlock(TraceBuffer& out, const Matrix& a, int first, int last, int cols,
                       int places);

// "(v1, v2, …)ᵀ" for components first..last rounded to `places`.
std::string ColumnText(const Vector& v, int first, int last, int places);
// The same with fractions, each exactly.
std::string ColumnText(const RationalVector& v, int first, int last, int places);

// A heading "NAME：" and the m x n matrix under it.
void AppendNamedMatrix(TraceBuffer& out, std::string_view name, const Matrix& a, int rows, int cols,
                       int places);

// One reflection step as the Householder QR and the Hessenberg reduction
// print it: "第 k 步：σ = …" and "v = (…)ᵀ", or the skip line; then the
// matrix after it under `name` (not printed for a skipped step).
void AppendReflectorStep(TraceBuffer& out, int k, const Reflector& h, std::string_view name,
                         const Matrix& a, int places);

// The factors and the check every QR command ends with.
void AppendFactors(TraceBuffer& out, const Matrix& a, const Matrix& q, std::string_view q_name,
                   const Matrix& r, int places);

// "a ± bi" or "a" rounded to `places`.
std::string EigenvalueText(const Eigenvalue& e, int places);

// The most bytes of `entries` matrix entries as printed (prefix, number,
// share of the line break), and of `lines` lines of headings.
double EntryBytes(double entries);
inline constexpr double kHeadingBytes = 160;

}  // namespace matcalc

#include "direct/commands.h"

#include <cmath>
#include <string>

#include "io/number_text.h"
#include "io/readers.h"
#include "io/text_util.h"

namespace matcalc {

void VectorModel(Frame& frame) {
  std::string text(TrimSpaces(frame.text1()));
  ResultPane& out = frame.out();
  out.Clear();  // before it is known whether the text holds a vector at all
  Vector v;
  ReadVector(text, v);
  const int m = v.size();
  if (m <= 0) return;

  double s1 = 0;
  for (int i = 1; i <= m; ++i) s1 += std::fabs(v(i));
  for (int i = 1; i <= m; ++i) out.Append("    ").AppendNumber(v(i));
  out.NewLine().Append("以上是所要求解的向量，接下来输出向量的范数").NewLine().NewLine();
  out.Append("向量的1范数为： ").AppendNumber(s1);

  double s2 = 0;
  for (int i = 1; i <= m; ++i) s2 += v(i) * v(i);
  out.NewLine().Append("向量的2范数为： ").AppendNumber(RoundTo(std::sqrt(s2), frame.digits()));

  double largest = std::fabs(v(1));
  for (int i = 2; i <= m; ++i) {
    if (std::fabs(v(i)) > largest) largest = std::fabs(v(i));
  }
  out.NewLine().Append("向量的无穷范数为： ").AppendNumber(largest).NewLine();
}

}  // namespace matcalc

#include "desk/workbench_texts.h"

namespace matcalc {

MessageRequest LargeFileQuestion() {
  MessageRequest question;
  question.text = "文件太大，如果打开可能要等一段时间，是否仍要继续？";
  question.title = "温馨提示";
  question.buttons = Buttons::kYesNo;
  question.icon = Icon::kQuestion;
  question.default_button = Reply::kNo;
  return question;
}

}  // namespace matcalc

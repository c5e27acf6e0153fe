// The page's way into the core: plain C functions over one Session
// (session.h), called by the worker through the module's exports. Texts go
// in as pointers and lengths into the module's memory; texts come out as
// pointers to NUL-terminated UTF-8 (or a pointer and a length for the long
// ones).
#include <emscripten/emscripten.h>

#include <string>

#include "desk/chart_plan.h"
#include "desk/reading_text.h"
#include "desk/series_formats.h"
#include "desk/settings.h"
#include "frame/calibration.h"
#include "web/catalog.h"
#include "web/session.h"

namespace {

// Hands the fraction done to the worker (its global mcProgress) in whole
// percent, only when the percent grows: a command reports every tenth of a
// millisecond or so, far more often than a progress bar can show.
class WorkerProgress final : public matcalc::ProgressSink {
 public:
  // A new job starts from nothing.
  void Restart() { shown_ = -1; }
  void Report(double fraction) override {
    const int percent = fraction >= 1 ? 100 : fraction <= 0 ? 0 : static_cast<int>(fraction * 100);
    if (percent <= shown_) return;
    shown_ = percent;
    // clang-format off
    EM_ASM({ if (typeof self.mcProgress === 'function') self.mcProgress($0); }, percent);
    // clang-format on
  }
  bool StopRequested() override { return false; }

 private:
  int shown_ = -1;
};

WorkerProgress progress;
matcalc::web::Session session;
// The session keeps the job it runs, so it is made in place, then set up.
[[maybe_unused]] const bool session_set_up = (session.SetProgress(&progress), true);
std::string catalog;
std::string series;
std::string chart;
std::string hints;

std::string_view View(const char* text, int length) {
  return {text, static_cast<std::size_t>(length)};
}

// 0 done, 1 a box is pending, -1 no such command (or no box to answer).
int Code(matcalc::web::Status status) {
  switch (status) {
    case matcalc::web::Status::kDone:
      return 0;
    case matcalc::web::Status::kAsks:
      return 1;
    case matcalc::web::Status::kUnknown:
      break;
  }
  return -1;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* mc_catalog() {
  if (catalog.empty()) catalog = matcalc::web::CatalogJson();
  return catalog.c_str();
}

// Measures how fast this device computes, once as the worker starts, and
// returns the work scale the budgets use from then on.
EMSCRIPTEN_KEEPALIVE double mc_calibrate() {
  session.SetWorkScale(matcalc::MeasureWorkScale());
  return session.work_scale();
}
// The scale an earlier worker of the same page measured.
EMSCRIPTEN_KEEPALIVE void mc_set_work_scale(double scale) { session.SetWorkScale(scale); }

// `held` is the memory the page holds for its result pane, in bytes.
// `exact`: 1 with the exact-fractions setting on.
EMSCRIPTEN_KEEPALIVE int mc_run_command(int index, const char* text1, int length1, double held,
                                        int digits, int exact) {
  progress.Restart();
  return Code(session.RunCommand(index, View(text1, length1), held, digits, exact == 1));
}
EMSCRIPTEN_KEEPALIVE int mc_ask_digits(int current) {
  progress.Restart();
  return Code(session.AskDigits(current));
}
EMSCRIPTEN_KEEPALIVE int mc_open_file(const char* bytes, int length) {
  progress.Restart();
  return Code(session.OpenFile(View(bytes, length)));
}

// The answer to the pending box; the job goes on from there. A negative
// length is a cancelled input box.
EMSCRIPTEN_KEEPALIVE int mc_answer_input(const char* text, int length) {
  return Code(session.AnswerInput(length < 0 ? std::nullopt
                                             : std::optional<std::string>(View(text, length))));
}
// 0 OK, 1 Yes, 2 No.
EMSCRIPTEN_KEEPALIVE int mc_answer_reply(int reply) {
  return Code(session.AnswerMessage(reply == 1   ? matcalc::Reply::kYes
                                    : reply == 2 ? matcalc::Reply::kNo
                                                 : matcalc::Reply::kOk));
}
// Ends the job where it waits, before the worker frees its input bytes.
EMSCRIPTEN_KEEPALIVE void mc_end() { session.End(); }

EMSCRIPTEN_KEEPALIVE int mc_solve_enabled(const char* text1, int length) {
  return matcalc::SolveMenuEnabled(View(text1, length)) ? 1 : 0;
}

// The series of the last command run, as JSON (desk/series_formats.h).
EMSCRIPTEN_KEEPALIVE const char* mc_series() {
  series = matcalc::SeriesJson(session.series());
  return series.c_str();
}
// The chart of the last command run, as JSON (desk/chart_plan.h).
EMSCRIPTEN_KEEPALIVE const char* mc_chart() {
  chart = matcalc::ChartPlanJson(matcalc::PlanChart(session.series(), session.caption()));
  return chart.c_str();
}
// How the edit pane's text will be read, as JSON (desk/reading_text.h).
EMSCRIPTEN_KEEPALIVE const char* mc_hints(const char* text1, int length) {
  hints = matcalc::ReadingJson(View(text1, length));
  return hints.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* mc_text() { return session.text().data(); }
EMSCRIPTEN_KEEPALIVE int mc_text_length() { return static_cast<int>(session.text().size()); }
// Frees the text handed over once the worker has its copy.
EMSCRIPTEN_KEEPALIVE void mc_drop_text() { session.DropText(); }
EMSCRIPTEN_KEEPALIVE int mc_text_looks() { return session.text_looks(); }
EMSCRIPTEN_KEEPALIVE int mc_shows_text() { return session.shows_text() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int mc_cleared() { return session.cleared() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int mc_digits() { return session.digits(); }

// The pending box. Kind 0 an input box, 1 a message box.
EMSCRIPTEN_KEEPALIVE int mc_box_kind() { return session.box_is_input() ? 0 : 1; }
EMSCRIPTEN_KEEPALIVE const char* mc_box_text() {
  return session.box_is_input() ? session.input().prompt.c_str() : session.message().text.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* mc_box_title() {
  return session.box_is_input() ? session.input().title.c_str() : session.message().title.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* mc_box_default_text() {
  return session.input().default_text.c_str();
}
// 0 OK, 1 Yes and No.
EMSCRIPTEN_KEEPALIVE int mc_box_buttons() {
  return session.message().buttons == matcalc::Buttons::kYesNo ? 1 : 0;
}
// The default button of a question: 1 Yes, 2 No. A question without a
// default of its own defaults to Yes, as in the window and the runner.
EMSCRIPTEN_KEEPALIVE int mc_box_default_button() {
  return session.message().default_button == matcalc::Reply::kNo ? 2 : 1;
}
// 0 none, 1 exclamation, 2 information, 3 critical, 4 question.
EMSCRIPTEN_KEEPALIVE int mc_box_icon() { return static_cast<int>(session.message().icon); }

}  // extern "C"

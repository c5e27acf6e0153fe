// Helpers shared by the window tests: a file picker answered from a list,
// and the text of a pane as the program sees it.
#pragma once

#include <QString>
#include <deque>
#include <optional>

#include "workbench/qt_dialogs.h"

// States are waited for with a minute's patience (QTRY_*_WITH_TIMEOUT): a
// machine loaded by other builds is slow, not wrong.
constexpr int kPatienceMs = 60000;

namespace matcalc::workbench {

class ScriptedPicker : public FilePicker {
 public:
  // Each call takes the next name; nothing left (or an empty name) is a
  // cancel.
  std::deque<QString> names;
  int asked = 0;

  std::optional<QString> OpenFileName(const QString&) override { return Next(); }
  std::optional<QString> SaveFileName(const QString&) override { return Next(); }

 private:
  std::optional<QString> Next() {
    ++asked;
    if (names.empty()) return std::nullopt;
    const QString name = names.front();
    names.pop_front();
    if (name.isEmpty()) return std::nullopt;
    return name;
  }
};

}  // namespace matcalc::workbench

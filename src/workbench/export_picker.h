// Asks where to write an export (PDF, PNG, SVG): a save dialog with the
// format's own filter. The tests answer it themselves.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace matcalc::workbench {

class ExportPicker {
 public:
  virtual ~ExportPicker() = default;
  // `suggested`: a file name to start from; `filter` like "PDF 文件(*.pdf)".
  virtual std::optional<QString> SaveName(const QString& title, const QString& suggested,
                                          const QString& filter) = 0;
};

class QtExportPicker : public ExportPicker {
 public:
  explicit QtExportPicker(QWidget* parent) : parent_(parent) {}
  std::optional<QString> SaveName(const QString& title, const QString& suggested,
                                  const QString& filter) override;

 private:
  QWidget* parent_;
};

// `name` with `suffix` appended when it has no suffix of its own.
QString WithSuffix(const QString& name, const QString& suffix);

}  // namespace matcalc::workbench

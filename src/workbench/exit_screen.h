// The screen shown once the main window has closed: the credits scroll up
// over and over while the music plays, until a click ends the program.
#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

class QLabel;

namespace matcalc::workbench {

class Media;

inline constexpr int kScrollIntervalMs = 30;
inline const std::string kTuneAlias = "tune1";

class ExitScreen : public QWidget {
  Q_OBJECT
 public:
  // Starts the music from `music_file` through `media` (either may be
  // missing: then it is quiet).
  ExitScreen(Media* media, const QString& music_file, QWidget* parent = nullptr);
  ~ExitScreen() override;

  int step() const { return step_; }
  // The credits' top edge in twips.
  int label_top() const { return label_top_; }
  QLabel* credits() const { return credits_; }
  // One timer tick.
  void Tick();

 signals:
  // The screen was clicked: the program should end.
  void finished();

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int InnerHeightTwips() const;
  int LabelHeightTwips() const;
  void PlaceLabel();
  void StopMusic();

  Media* media_;
  QLabel* credits_;
  QTimer timer_;
  int label_top_ = 0;
  int step_ = 0;
  bool started_ = false;
  bool music_stopped_ = false;
};

}  // namespace matcalc::workbench

#include "workbench/exit_screen.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <string>

#include "desk/workbench_texts.h"
#include "workbench/layout.h"
#include "workbench/media.h"
#include "workbench/qt_dialogs.h"

namespace matcalc::workbench {
namespace {

QString Credits() {
  std::string text(kExitCredits);
  text += "\n\n";
  text += kExitClickText;
  return QString::fromStdString(text);
}

}  // namespace

ExitScreen::ExitScreen(Media* media, const QString& music_file, QWidget* parent)
    : QWidget(parent), media_(media), credits_(new QLabel(Credits(), this)) {
  setWindowTitle(kProgramTitle);
  setAttribute(Qt::WA_DeleteOnClose, false);
  setAutoFillBackground(true);
  QPalette look = palette();
  look.setColor(QPalette::Window, QColor(16, 24, 48));
  look.setColor(QPalette::WindowText, QColor(235, 235, 210));
  setPalette(look);
  credits_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont font = credits_->font();
  font.setPointSize(14);
  credits_->setFont(font);
  credits_->installEventFilter(this);
  resize(480, 360);
  timer_.setInterval(kScrollIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &ExitScreen::Tick);
  if (media_ != nullptr && !music_file.isEmpty()) {
    media_->Play(music_file.toStdString(), kTuneAlias);
  }
}

ExitScreen::~ExitScreen() { StopMusic(); }

int ExitScreen::InnerHeightTwips() const { return PixelsToTwips(height(), logicalDpiY()); }

int ExitScreen::LabelHeightTwips() const {
  return PixelsToTwips(credits_->sizeHint().height(), logicalDpiY());
}

void ExitScreen::PlaceLabel() {
  const int top = TwipsToPixels(label_top_, logicalDpiY());
  credits_->setGeometry(0, top, width(), credits_->sizeHint().height());
}

void ExitScreen::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The credits start from the bottom once; showing the screen again (after
  // it was minimised, say) lets them scroll on from where they are.
  if (started_) return;
  started_ = true;
  label_top_ = InnerHeightTwips();
  step_ = ScrollStep(label_top_);
  PlaceLabel();
  timer_.start();
}

void ExitScreen::Tick() {
  label_top_ = NextLabelTop(label_top_, step_, LabelHeightTwips(), InnerHeightTwips());
  PlaceLabel();
}

void ExitScreen::StopMusic() {
  if (music_stopped_ || media_ == nullptr) return;
  music_stopped_ = true;
  media_->Stop(kTuneAlias);
}

void ExitScreen::mousePressEvent(QMouseEvent* event) {
  event->accept();
  timer_.stop();
  StopMusic();
  emit finished();
}

bool ExitScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == credits_ && event->type() == QEvent::MouseButtonPress) {
    mousePressEvent(static_cast<QMouseEvent*>(event));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void ExitScreen::closeEvent(QCloseEvent* event) {
  timer_.stop();
  StopMusic();
  QWidget::closeEvent(event);
}

}  // namespace matcalc::workbench

#include "workbench/workbench_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFontDialog>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextCursor>
#include <QToolBar>
#include <algorithm>
#include <climits>
#include <cmath>

#include "workbench/about_box.h"
#include "frame/settings.h"
#include "workbench/display_settings.h"
#include "workbench/help_window.h"
#include "workbench/pane_text.h"
#include "workbench/program_folder.h"

namespace matcalc::workbench {
namespace {

constexpr double kTwipsPerInch = 1440.0;
// Where the splitter stands before the user moves it: the edit pane takes
// about a third of a window of the first size.
constexpr int kInitialSplitterTwips = 4500;
constexpr int kInitialWidthPixels = 900;
constexpr int kInitialHeightPixels = 600;

QPlainTextEdit* MakePane(QWidget* parent, const char* name) {
  auto* pane = new QPlainTextEdit(parent);
  pane->setObjectName(QString::fromLatin1(name));
  // Traces are laid out in columns; wrapping would break them (and cost
  // time on a long trace).
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setFont(InitialPaneFont());
  return pane;
}

}  // namespace

WorkbenchForm::WorkbenchForm(QWidget* parent)
    : QMainWindow(parent),
      area_(new QWidget(this)),
      text1_(MakePane(area_, "Text1")),
      text2_(MakePane(area_, "Text2")),
      bar_(new QWidget(area_)),
      shadow_(new QWidget(area_)),
      progress_(new QProgressBar(area_)),
      status_(new QLabel(this)),
      digits_(kDefaultDigits),
      qt_dialogs_(this),
      qt_picker_(this),
      files_(*this) {
  setWindowTitle(kProgramTitle);
  const QString icon = FindProgramFile(QStringLiteral("icons/matcalc.png"));
  if (!icon.isEmpty()) setWindowIcon(QIcon(icon));
  setCentralWidget(area_);
  area_->installEventFilter(this);
  text1_->installEventFilter(this);
  text2_->installEventFilter(this);

  bar_->setObjectName(QStringLiteral("imgSplitter"));
  bar_->setCursor(Qt::SplitHCursor);
  bar_->installEventFilter(this);
  shadow_->setObjectName(QStringLiteral("picSplitter"));
  shadow_->setAutoFillBackground(true);
  shadow_->setBackgroundRole(QPalette::Dark);
  shadow_->hide();
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->hide();

  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->addWidget(status_, 1);
  connect(text1_, &QPlainTextEdit::textChanged, this,
          [this] { SetStatus(QStringLiteral("编辑状态")); });

  BuildMenus();
  BuildToolbar();
  panes_.bar.left = kInitialSplitterTwips;
  resize(kInitialWidthPixels, kInitialHeightPixels);
}

WorkbenchForm::~WorkbenchForm() {
  // The help window is a window of its own; it goes with the workbench.
  delete help_;
}

QAction* WorkbenchForm::AddItem(QMenu* menu, const char* name, const QString& caption,
                                const QKeySequence& shortcut) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  item->setShortcut(shortcut);
  return item;
}

void WorkbenchForm::BuildMenus() {
  auto add_menu = [this](const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
  };

  QMenu* file = add_menu("mnuFile", QStringLiteral("文件(&F)"));
  connect(AddItem(file, "FileNew", QStringLiteral("新建"), QKeySequence(Qt::CTRL | Qt::Key_N)),
          &QAction::triggered, this, [this] { files_.New(); });
  connect(AddItem(file, "FileOpen", QStringLiteral("打开"), QKeySequence(Qt::CTRL | Qt::Key_O)),
          &QAction::triggered, this, [this] { files_.Open(); });
  connect(AddItem(file, "FileSave", QStringLiteral("保存"), QKeySequence(Qt::CTRL | Qt::Key_S)),
          &QAction::triggered, this, [this] { files_.Save(); });
  connect(AddItem(file, "FileSaveAs", QStringLiteral("另存为")), &QAction::triggered, this,
          [this] { files_.SaveAs(); });
  connect(AddItem(file, "File", QStringLiteral("退出")), &QAction::triggered, this,
          &QWidget::close);

  QMenu* edit = add_menu("mnuEdit", QStringLiteral("编辑(&E)"));
  AddItem(edit, "EditUndo", QStringLiteral("撤消"))->setEnabled(false);
  AddItem(edit, "EditRecall", QStringLiteral("还原"))->setEnabled(false);
  connect(AddItem(edit, "EditSelectAll", QStringLiteral("全选(&A)"),
                  QKeySequence(Qt::CTRL | Qt::Key_A)),
          &QAction::triggered, this, &WorkbenchForm::EditSelectAll);
  connect(AddItem(edit, "EditCut", QStringLiteral("剪切"), QKeySequence(Qt::CTRL | Qt::Key_X)),
          &QAction::triggered, this, &WorkbenchForm::EditCut);
  connect(AddItem(edit, "EditCopy", QStringLiteral("复制"), QKeySequence(Qt::CTRL | Qt::Key_C)),
          &QAction::triggered, this, &WorkbenchForm::EditCopy);
  connect(AddItem(edit, "EditPaste", QStringLiteral("粘贴"), QKeySequence(Qt::CTRL | Qt::Key_V)),
          &QAction::triggered, this, &WorkbenchForm::EditPaste);
  connect(AddItem(edit, "EditDelete", QStringLiteral("删除(&L)"), QKeySequence(Qt::Key_Delete)),
          &QAction::triggered, this, &WorkbenchForm::EditDelete);

  QMenu* show = add_menu("mnuShow", QStringLiteral("显示(&V)"));
  connect(AddItem(show, "ShowStyle", QStringLiteral("字体")), &QAction::triggered, this,
          &WorkbenchForm::ShowStyle);
  connect(AddItem(show, "ShowBackcolor", QStringLiteral("背景")), &QAction::triggered, this,
          &WorkbenchForm::ShowBackcolor);
  connect(AddItem(show, "ShowDefault", QStringLiteral("默认")), &QAction::triggered, this,
          &WorkbenchForm::ShowDefault);
  connect(AddItem(show, "ShowFormatDecimalDigits", QStringLiteral("设置小数数位")),
          &QAction::triggered, this, &WorkbenchForm::ShowFormatDecimalDigits);

  QMenu* solve = add_menu("mnuC", QStringLiteral("求解(&C)"));
  for (const Command& command : Commands()) {
    // The eigenvalue methods, the elimination methods and the tests and
    // norms stand in three groups.
    if (command.menu_item == "A_matrix" || command.menu_item == "CMatrixJudge") {
      QAction* separator = solve->addSeparator();
      separator->setObjectName(command.menu_item == "A_matrix" ? QStringLiteral("Gauss__")
                                                               : QStringLiteral("OtherApply"));
    }
    const QString name = QString::fromUtf8(command.menu_item.data(),
                                           static_cast<qsizetype>(command.menu_item.size()));
    QAction* item = solve->addAction(QString::fromUtf8(
        command.caption.data(), static_cast<qsizetype>(command.caption.size())));
    item->setObjectName(name);
    const Command* run = &command;
    connect(item, &QAction::triggered, this, [this, run] { RunMenuCommand(*run); });
  }
  connect(solve, &QMenu::aboutToShow, this, &WorkbenchForm::UpdateSolveMenu);

  QMenu* help = add_menu("mnuHelp", QStringLiteral("帮助(&H)"));
  connect(AddItem(help, "mnuHelpFile", QStringLiteral("帮助文件")), &QAction::triggered, this,
          &WorkbenchForm::ShowHelp);
  connect(AddItem(help, "mnuAbout", QStringLiteral("关于")), &QAction::triggered, this,
          &WorkbenchForm::ShowAbout);
}

void WorkbenchForm::BuildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("工具栏"));
  toolbar_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  struct Button {
    const char* key;
    QIcon icon;
  };
  const Button buttons[] = {
      {"新建", style()->standardIcon(QStyle::SP_FileIcon)},
      {"打开", style()->standardIcon(QStyle::SP_DialogOpenButton)},
      {"保存", style()->standardIcon(QStyle::SP_DialogSaveButton)},
      {"另存为", style()->standardIcon(QStyle::SP_DriveFDIcon)},
      {"剪切", QIcon::fromTheme(QStringLiteral("edit-cut"))},
      {"复制", QIcon::fromTheme(QStringLiteral("edit-copy"))},
      {"粘贴", QIcon::fromTheme(QStringLiteral("edit-paste"))},
  };
  for (const Button& button : buttons) {
    const QString key = QString::fromUtf8(button.key);
    if (key == QStringLiteral("剪切")) toolbar_->addSeparator();
    QAction* action = toolbar_->addAction(button.icon, key);
    action->setData(key);
  }
  connect(toolbar_, &QToolBar::actionTriggered, this,
          [this](QAction* action) { DispatchToolbarKey(action->data().toString()); });
}

void WorkbenchForm::DispatchToolbarKey(const QString& key) {
  if (key == QStringLiteral("新建")) {
    files_.New();
  } else if (key == QStringLiteral("打开")) {
    files_.Open();
  } else if (key == QStringLiteral("保存")) {
    files_.Save();
  } else if (key == QStringLiteral("另存为")) {
    files_.SaveAs();
  } else if (key == QStringLiteral("剪切")) {
    EditCut();
  } else if (key == QStringLiteral("复制")) {
    EditCopy();
  } else if (key == QStringLiteral("粘贴")) {
    EditPaste();
  }
}

QAction* WorkbenchForm::action(const QString& name) const {
  return findChild<QAction*>(name);
}

QMenu* WorkbenchForm::menu(const QString& name) const { return findChild<QMenu*>(name); }

QString WorkbenchForm::status_text() const { return status_->text(); }

void WorkbenchForm::SetStatus(const QString& text) { status_->setText(text); }

Dialogs& WorkbenchForm::dialogs() {
  return dialogs_override_ != nullptr ? *dialogs_override_ : qt_dialogs_;
}

FilePicker& WorkbenchForm::picker() {
  return picker_override_ != nullptr ? *picker_override_ : qt_picker_;
}

// ---- Edit commands: they act on the edit pane wherever the focus is. ----

void WorkbenchForm::EditSelectAll() {
  QTextCursor cursor = text1_->textCursor();
  cursor.select(QTextCursor::Document);
  text1_->setTextCursor(cursor);
}

void WorkbenchForm::EditCopy() {
  const QTextCursor cursor = text1_->textCursor();
  // With nothing selected the clipboard keeps what it holds.
  if (!cursor.hasSelection()) return;
  QString text = cursor.selectedText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  QApplication::clipboard()->setText(text);
}

void WorkbenchForm::EditCut() {
  EditCopy();
  QTextCursor cursor = text1_->textCursor();
  if (!cursor.hasSelection()) return;
  cursor.removeSelectedText();
  text1_->setTextCursor(cursor);
}

void WorkbenchForm::EditPaste() {
  const QString text = QApplication::clipboard()->text();
  // An empty clipboard must not wipe out the selection.
  if (text.isEmpty()) return;
  QTextCursor cursor = text1_->textCursor();
  cursor.insertText(ToPaneLines(text));
  text1_->setTextCursor(cursor);
}

void WorkbenchForm::EditDelete() {
  QTextCursor cursor = text1_->textCursor();
  // The caret at the very end of the focused pane means there is nothing
  // after it to delete. Focus outside both panes gives no length to compare,
  // and the deletion goes ahead.
  const QWidget* focus = QApplication::focusWidget();
  const QPlainTextEdit* focused = nullptr;
  if (focus == text1_ || text1_->isAncestorOf(focus)) focused = text1_;
  if (focus == text2_ || text2_->isAncestorOf(focus)) focused = text2_;
  if (focused != nullptr && PaneLength(*focused) == cursor.selectionStart()) return;
  // A line break is one character in the pane, so widening to one character
  // before a break removes the whole break.
  if (!cursor.hasSelection()) cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  text1_->setTextCursor(cursor);
}

// ---- Display settings ----

void WorkbenchForm::ShowStyle() {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, text1_->font(), this, QStringLiteral("字体"));
  if (!ok) return;
  ApplyChosenFont(*text1_, chosen);
  ApplyChosenFont(*text2_, chosen);
}

void WorkbenchForm::ShowBackcolor() {
  const QColor colour = QColorDialog::getColor(text1_->palette().color(QPalette::Base), this,
                                               QStringLiteral("背景"));
  if (!colour.isValid()) return;
  ApplyBackground(*text1_, colour);
  ApplyBackground(*text2_, colour);
}

void WorkbenchForm::ShowDefault() {
  RestoreDefaultLook(*text1_);
  RestoreDefaultLook(*text2_);
  digits_ = kDefaultDigits;
}

void WorkbenchForm::ShowFormatDecimalDigits() { digits_ = AskDecimalDigits(dialogs(), digits_); }

// ---- Help and about ----

void WorkbenchForm::ShowHelp() {
  const QString index = FindProgramFile(QStringLiteral("Help/index.html"));
  if (index.isEmpty()) return;  // no manual beside the program: nothing to show
  if (help_ == nullptr) help_ = new HelpWindow(index);
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void WorkbenchForm::ShowAbout() {
  if (about_ == nullptr) about_ = new AboutBox(this);
  about_->show();
  about_->raise();
  about_->activateWindow();
}

// ---- Commands ----

void WorkbenchForm::UpdateSolveMenu() {
  const bool enabled = SolveMenuEnabled(text1_->document()->toRawText().toStdString());
  for (const Command& command : Commands()) {
    if (QAction* item = action(QString::fromUtf8(
            command.menu_item.data(), static_cast<qsizetype>(command.menu_item.size())))) {
      item->setEnabled(enabled);
    }
  }
}

namespace {

// Before each box a command shows, the result pane is brought up to date
// with what the command has written so far, so that a question about the
// trace ("结果是否还要查看？") is asked in front of it. Otherwise the trace is
// shown once, whole, when the command ends: one layout pass however long.
class PaneShowingDialogs : public Dialogs {
 public:
  PaneShowingDialogs(Dialogs& boxes, const ResultPane& pane, QPlainTextEdit& text2)
      : boxes_(boxes), pane_(pane), text2_(text2) {}

  std::optional<std::string> Input(const InputRequest& request) override {
    ShowPane();
    return boxes_.Input(request);
  }
  Reply Message(const MessageRequest& request) override {
    ShowPane();
    return boxes_.Message(request);
  }

  // Shows what is new since the pane was last shown, if anything.
  void ShowPane() {
    if (pane_.revision() == shown_) return;
    shown_ = pane_.revision();
    SetPaneText(text2_, pane_.text());
  }

 private:
  Dialogs& boxes_;
  const ResultPane& pane_;
  QPlainTextEdit& text2_;
  std::uint64_t shown_ = 0;  // a pane nobody has touched needs no showing
};

}  // namespace

void WorkbenchForm::RunMenuCommand(const Command& command) {
  if (command.run == nullptr) return;  // not built yet
  ResultPane pane(PaneText(*text2_));
  PaneShowingDialogs boxes(dialogs(), pane, *text2_);
  // Provisional: the edit pane's document and the UTF-8 copy beside the
  // frame's; the result pane's document, and a text for it when it is shown.
  constexpr FrontEndCosts kWindowCosts{.text_copies = 3, .trace_copies = 4};
  RunCommand(command, boxes, PaneText(*text1_), pane, digits_, kWindowCosts);
  boxes.ShowPane();
}

// ---- Layout ----

int WorkbenchForm::ToPixels(int twips) const {
  return static_cast<int>(std::lround(twips * logicalDpiX() / kTwipsPerInch));
}

int WorkbenchForm::ToTwips(int pixels) const {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / logicalDpiX()));
}

void WorkbenchForm::ApplyPanes() {
  auto place = [this](QWidget* widget, const Rect& rect) {
    widget->setGeometry(ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.width),
                        ToPixels(rect.height));
  };
  place(text1_, panes_.text1);
  place(bar_, panes_.bar);
  place(text2_, panes_.text2);
}

void WorkbenchForm::LayOutArea() {
  // The central area already lies between toolbar and status bar.
  panes_ = ResizePanes(ToTwips(area_->width()), ToTwips(area_->height()), 0, 0, 0, panes_);
  ApplyPanes();
  if (progress_->isVisible()) ShowProgress(-1);
}

void WorkbenchForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  const WindowSize now{ToTwips(width()), ToTwips(height())};
  const WindowSize allowed = ClampWindow(now);
  if (!(allowed == now)) resize(ToPixels(allowed.width), ToPixels(allowed.height));
}

void WorkbenchForm::ShowProgress(qint64 maximum) {
  if (maximum >= 0) {
    // A file beyond the bar's int range moves it in larger units.
    progress_divisor_ = maximum / INT_MAX + 1;
    progress_->setRange(0, static_cast<int>(maximum / progress_divisor_));
    progress_->setValue(0);
  }
  const int bar_height = ToPixels(kProgressBarTwips);
  const QRect edit = text1_->geometry();
  const int top = area_->height() - bar_height;
  progress_->setGeometry(edit.left(), top, edit.width(), bar_height);
  text1_->setGeometry(edit.left(), edit.top(), edit.width(), std::max(0, top - edit.top()));
  progress_->show();
  progress_->raise();
}

void WorkbenchForm::SetProgress(qint64 value) {
  progress_->setValue(static_cast<int>(std::min<qint64>(value / progress_divisor_,
                                                        progress_->maximum())));
}

void WorkbenchForm::HideProgress() {
  progress_->hide();
  ApplyPanes();
}

// ---- Events ----

bool WorkbenchForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_ && event->type() == QEvent::Resize) {
    LayOutArea();
  } else if (event->type() == QEvent::FocusIn && (watched == text1_ || watched == text2_)) {
    // The window coming back to the front, or a menu or box closing, hands
    // the focus back to the pane that had it. That is no move of the user's
    // and must not overwrite the status, say the name of the file just saved.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool handed_back =
        (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) &&
        watched == focused_pane_;
    focused_pane_ = watched;
    if (!handed_back) {
      SetStatus(watched == text1_ ? QStringLiteral("编辑区域") : QStringLiteral("结果区域"));
    }
  } else if (watched == bar_) {
    const int width = ToTwips(area_->width());
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
        shadow_->setGeometry(ToPixels(panes_.bar.left), ToPixels(panes_.bar.top),
                             ToPixels(panes_.bar.width / 2), ToPixels(panes_.bar.height - 20));
        shadow_->show();
        shadow_->raise();
        moving_ = true;
        return true;
      case QEvent::MouseMove: {
        if (!moving_) break;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        shadow_->move(ToPixels(ShadowLeft(panes_.bar.left,
                                          ToTwips(static_cast<int>(mouse->position().x())),
                                          width)),
                      shadow_->y());
        return true;
      }
      case QEvent::MouseButtonRelease: {
        if (!moving_) break;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int left = ShadowLeft(panes_.bar.left,
                                    ToTwips(static_cast<int>(mouse->position().x())), width);
        panes_ = LayOutAt(left, width, panes_);
        ApplyPanes();
        shadow_->hide();
        moving_ = false;
        return true;
      }
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void WorkbenchForm::closeEvent(QCloseEvent* event) {
  if (about_ != nullptr) about_->close();
  if (help_ != nullptr) help_->close();
  emit closed();
  event->accept();
}

}  // namespace matcalc::workbench

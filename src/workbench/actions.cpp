#include "workbench/actions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "workbench/icons.h"

namespace matcalc::workbench {
namespace {

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMenu* AddMenu(QMainWindow& window, const char* name, const QString& caption) {
  QMenu* menu = window.menuBar()->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                 const std::function<void()>& run, const QKeySequence& shortcut = {}) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  item->setShortcut(shortcut);
  if (run) QObject::connect(item, &QAction::triggered, item, [run] { run(); });
  return item;
}

// A menu item that is also a toolbar button: its caption is the button's key.
QAction* AddButtonItem(QMenu* menu, const char* name, const QString& key, const QIcon& icon,
                       const std::function<void()>& run, const QKeySequence& shortcut = {}) {
  QAction* item = AddItem(menu, name, key, run, shortcut);
  item->setIcon(icon);
  item->setData(key);
  return item;
}

}  // namespace

QToolBar* BuildMenusAndToolbar(QMainWindow& window, const ActionHandlers& on) {
  QStyle* style = window.style();
  QMenu* file = AddMenu(window, "mnuFile", QStringLiteral("文件(&F)"));
  QAction* file_new = AddButtonItem(file, "FileNew", QStringLiteral("新建"),
                                    style->standardIcon(QStyle::SP_FileIcon), on.file_new,
                                    QKeySequence(Qt::CTRL | Qt::Key_N));
  QAction* file_open = AddButtonItem(file, "FileOpen", QStringLiteral("打开"),
                                     style->standardIcon(QStyle::SP_DialogOpenButton), on.file_open,
                                     QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* file_save = AddButtonItem(file, "FileSave", QStringLiteral("保存"),
                                     style->standardIcon(QStyle::SP_DialogSaveButton), on.file_save,
                                     QKeySequence(Qt::CTRL | Qt::Key_S));
  QAction* file_save_as =
      AddButtonItem(file, "FileSaveAs", QStringLiteral("另存为"),
                    style->standardIcon(QStyle::SP_DriveFDIcon), on.file_save_as);
  AddItem(file, "File", QStringLiteral("退出"), on.exit);

  QMenu* edit = AddMenu(window, "mnuEdit", QStringLiteral("编辑(&E)"));
  AddItem(edit, "EditUndo", QStringLiteral("撤消"), {})->setEnabled(false);
  AddItem(edit, "EditRecall", QStringLiteral("还原"), {})->setEnabled(false);
  AddItem(edit, "EditSelectAll", QStringLiteral("全选(&A)"), on.select_all,
          QKeySequence(Qt::CTRL | Qt::Key_A));
  QAction* cut =
      AddButtonItem(edit, "EditCut", QStringLiteral("剪切"), EditIcon(EditIconKind::kCut), on.cut,
                    QKeySequence(Qt::CTRL | Qt::Key_X));
  QAction* copy =
      AddButtonItem(edit, "EditCopy", QStringLiteral("复制"), EditIcon(EditIconKind::kCopy),
                    on.copy, QKeySequence(Qt::CTRL | Qt::Key_C));
  QAction* paste =
      AddButtonItem(edit, "EditPaste", QStringLiteral("粘贴"), EditIcon(EditIconKind::kPaste),
                    on.paste, QKeySequence(Qt::CTRL | Qt::Key_V));
  AddItem(edit, "EditDelete", QStringLiteral("删除(&L)"), on.erase, QKeySequence(Qt::Key_Delete));

  QMenu* show = AddMenu(window, "mnuShow", QStringLiteral("显示(&V)"));
  AddItem(show, "ShowStyle", QStringLiteral("字体"), on.font);
  AddItem(show, "ShowBackcolor", QStringLiteral("背景"), on.background);
  AddItem(show, "ShowDefault", QStringLiteral("默认"), on.defaults);
  AddItem(show, "ShowFormatDecimalDigits", QStringLiteral("设置小数数位"), on.digits);

  QMenu* solve = AddMenu(window, "mnuC", QStringLiteral("求解(&C)"));
  for (const Command& command : Commands()) {
    // The eigenvalue methods, the elimination methods and the tests and
    // norms stand in three groups.
    if (command.menu_item == "A_matrix" || command.menu_item == "CMatrixJudge") {
      QAction* separator = solve->addSeparator();
      separator->setObjectName(command.menu_item == "A_matrix" ? QStringLiteral("Gauss__")
                                                               : QStringLiteral("OtherApply"));
    }
    const Command* run = &command;
    const std::function<void(const Command&)> run_command = on.run_command;
    AddItem(solve, "", FromView(command.caption), [run, run_command] {
      run_command(*run);
    })->setObjectName(FromView(command.menu_item));
  }
  const std::function<void()> solve_menu_opens = on.solve_menu_opens;
  QObject::connect(solve, &QMenu::aboutToShow, solve, [solve_menu_opens] { solve_menu_opens(); });

  QMenu* help = AddMenu(window, "mnuHelp", QStringLiteral("帮助(&H)"));
  AddItem(help, "mnuHelpFile", QStringLiteral("帮助文件"), on.help);
  AddItem(help, "mnuAbout", QStringLiteral("关于"), on.about);

  QToolBar* toolbar = window.addToolBar(QStringLiteral("工具栏"));
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setMovable(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  toolbar->addActions({file_new, file_open, file_save, file_save_as});
  toolbar->addSeparator();
  toolbar->addActions({cut, copy, paste});
  return toolbar;
}

QAction* ToolbarAction(const QToolBar& toolbar, const QString& key) {
  for (QAction* action : toolbar.actions()) {
    if (!action->isSeparator() && action->data().toString() == key) return action;
  }
  return nullptr;
}

}  // namespace matcalc::workbench

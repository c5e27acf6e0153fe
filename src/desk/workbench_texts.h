// The fixed texts of the workbench around the commands: the program's title,
// the status line and the document files' messages. Every front end with a
// workbench (the window, the page) shows these and writes none of its own.
#pragma once

#include <string_view>

#include "frame/dialogs.h"

namespace matcalc {

// The title of every box that has none of its own.
inline constexpr std::string_view kProgramTitle = "矩阵计算器";

// The header of a printed trace: the program's title, and the caption of the
// method that wrote the trace when the result pane still shows its trace
// ("%1"), as in "矩阵计算器 — 幂法".
inline constexpr std::string_view kPrintCaption = "矩阵计算器 — %1";

// The status line's panel while the exact-fractions setting (精确分数) is on.
inline constexpr std::string_view kExactPanelText = "分数";

// What the empty edit pane says until something is typed or opened.
inline constexpr std::string_view kEditPanePlaceholder =
    "在这里输入矩阵：每行写矩阵的一行，数与数之间用空格隔开，例如\n"
    "4 1 0\n"
    "1 4 1\n"
    "0 1 4\n"
    "再从“求解”菜单选择方法。也可以用“文件 → 打开”读入文本文件。";
// Why the methods of the 求解 and 方程组 menus are disabled (on each item, and
// in the status line as the menu opens).
inline constexpr std::string_view kSolveDisabledText =
    "编辑区是空的：先输入一个矩阵或向量，再选择求解方法。";

// Status line.
inline constexpr std::string_view kStatusEditing = "编辑状态";     // the edit pane changed
inline constexpr std::string_view kStatusEditArea = "编辑区域";    // the edit pane has the focus
inline constexpr std::string_view kStatusResultArea = "结果区域";  // the result pane has the focus
inline constexpr std::string_view kStatusNew = "状态";             // after new
// While a command computes (%1: its caption), and once asked to stop.
inline constexpr std::string_view kStatusComputing = "正在计算：%1……（按 Esc 停止）";
inline constexpr std::string_view kStatusStopping = "正在停止……";
inline constexpr std::string_view kStatusSaveStopped = "保存已停止，文件没有改变";
inline constexpr std::string_view kStatusOpenStopped = "打开已停止";

// The screen shown on leaving the program: the credits, scrolling; the page,
// which cannot close its tab, says how to end the program instead.
inline constexpr std::string_view kExitCredits =
    "矩阵计算器\n\n"
    "数值线性代数的演算工具\n\n"
    "幂法 · 原点平移法 · 反幂法\n"
    "古典雅可比法 · 雅可比过关法\n"
    "列主元求逆矩阵 · 列主元求行列式\n"
    "矩阵的三角分解 · 正定矩阵判断\n"
    "向量范数 · 矩阵范数\n"
    "严格对角占优矩阵判断\n\n"
    "每一步都写给你看\n\n"
    "谢谢使用！";
inline constexpr std::string_view kExitClickText = "（单击任意处退出）";
inline constexpr std::string_view kExitPageText = "关闭此标签页即可结束本程序。（单击任意处返回）";

// Opening a file (desk/opening.h has the limits).
inline constexpr std::string_view kOpenCancelledText = "没有打开任何文件。";
inline constexpr std::string_view kOpenFailedText = "操作有误#";
inline constexpr std::string_view kEmptyFileText = "文件为空，请重新选择文件#";
// A file whose text could not be worked on within the memory budget is
// refused before it is read; both panes stay as they were.
inline constexpr std::string_view kFileTooLargeText = "文件太大，不能打开。";

// Saving the result pane.
inline constexpr std::string_view kSaveEmptyText = "结果为空，不能保存#";
inline constexpr std::string_view kSaveCancelledText = "你没有存盘,数据没有被保存下来！";
inline constexpr std::string_view kSaveAsCancelledText = "没有保存文件。";
inline constexpr std::string_view kSaveFailedText = "操作有误！";

// The file dialogs' filter: a name and its patterns, twice.
inline constexpr std::string_view kTextFilesName = "文本文件(*.txt)";
inline constexpr std::string_view kAllFilesName = "所有文件(*.*)";

// The question asked before a file longer than kAskBeforeOpeningBytes is read;
// No (the default) leaves both panes as they were.
MessageRequest LargeFileQuestion();

}  // namespace matcalc

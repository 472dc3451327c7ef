// The main window's fixed layout: the window itself and its eleven controls,
// all in one place. Everything that creates, colours or reads back a control
// takes it from here.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>

namespace quandrel {

inline constexpr const char kMainWindowClass[] = "QuandrelMainWindow";
inline constexpr const char kLabelClass[] = "QuandrelLabel";
inline constexpr const char kCaption[] = "Quandrel V2.0  Quandrel 项目组制作";

inline constexpr int kWindowWidth = 556;  // outer size, frame and caption included
inline constexpr int kWindowHeight = 406;
inline constexpr DWORD kWindowStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD kWindowExStyle = 0;
inline constexpr COLORREF kWindowBackground = RGB(0, 136, 255);

inline constexpr COLORREF kEditText = RGB(0, 0, 255);
inline constexpr COLORREF kEditBackground = RGB(255, 255, 0);
inline constexpr COLORREF kLabelText = RGB(255, 255, 0);
inline constexpr COLORREF kLabelBackground = kWindowBackground;
inline constexpr COLORREF kListText = RGB(0, 0, 0);
inline constexpr COLORREF kListTextBackground = RGB(255, 255, 255);
inline constexpr COLORREF kListBackground = RGB(0, 0, 255);
inline constexpr DWORD kListExStyle = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES;

// The controls in the window's list order, which is also their z-order: where
// two overlap, the earlier lies above the later.
enum Control : int {
    按钮3,
    编辑框2,
    标签4,
    标签3,
    标签2,
    超级列表框2,
    标签1,
    编辑框1,
    按钮1,
    按钮2,
    超级列表框1,
    kControlCount
};

enum class ControlKind { PushButton, EditBox, Label, ListView };

struct ControlSpec {
    Control control;
    ControlKind kind;
    int left, top, width, height;
    const char* text;  // at start; the folder box gets the default folder instead
};

inline constexpr std::array<ControlSpec, kControlCount> kControls{{
    {按钮3, ControlKind::PushButton, 463, 352, 80, 20, "软件使用说明"},
    {编辑框2, ControlKind::EditBox, 488, 9, 55, 24, "e"},
    {标签4, ControlKind::Label, 454, 9, 40, 24, "后缀："},
    {标签3, ControlKind::Label, 8, 352, 144, 18, ""},
    {标签2, ControlKind::Label, 332, 352, 113, 18, ""},
    {超级列表框2, ControlKind::ListView, 8, 196, 535, 150, ""},
    {标签1, ControlKind::Label, 8, 9, 40, 24, "目录："},
    {编辑框1, ControlKind::EditBox, 48, 9, 280, 24, ""},
    {按钮1, ControlKind::PushButton, 336, 8, 56, 24, "浏览..."},
    {按钮2, ControlKind::PushButton, 392, 8, 56, 24, "文件更名"},
    {超级列表框1, ControlKind::ListView, 8, 40, 535, 150, ""},
}};

// Window styles and class of each kind; WS_VISIBLE is added once the window is built.
struct KindSpec {
    const char* windowClass;
    DWORD style;
    DWORD exStyle;
};
KindSpec SpecOfKind(ControlKind kind);

struct ColumnSpec {
    const char* title;
    int width;
};
inline constexpr std::array<ColumnSpec, 2> kUpperListColumns{{{"序号", 40}, {"文件路径", 480}}};
// 800 pixels in a 535-pixel list: long paths with their outcome scroll sideways.
inline constexpr std::array<ColumnSpec, 2> kLowerListColumns{{{"序号", 40}, {"文件路径", 800}}};

// Tab moves forward through this cycle, Shift+Tab backward.
inline constexpr std::array<Control, 7> kTabCycle{超级列表框1, 按钮2, 按钮1, 编辑框1, 超级列表框2, 编辑框2, 按钮3};

// Child window identifiers: the list position plus a base clear of IDOK and friends.
constexpr int ControlId(Control control) { return 100 + control; }

}  // namespace quandrel

// The folder box's comforts in the real program: folders dropped from another
// program through OLE drag and drop, and folder names completed as they are typed.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/win_owners.h"
#include "tests/window/quandrel_window.h"

namespace quandrel::testing {
namespace {

// What Explorer hands over when a file or folder is dragged: the path as CF_HDROP.
class DroppedPath final : public IDataObject {
public:
    explicit DroppedPath(std::wstring path) : path_(std::move(path)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        // DROPFILES, then the wide path and an empty one.
        const std::size_t size = sizeof(DROPFILES) + (path_.size() + 2) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* files = static_cast<DROPFILES*>(GlobalLock(block));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path_.c_str(), path_.size() * sizeof(wchar_t));
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(1, &format, formats) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::wstring path_;
};

// A drag that ends in a drop wherever the pointer is when it starts.
class DropAtOnce final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// Drags `path` from this process and drops it at the middle of `target`.
DWORD DropOn(HWND target, const std::string& path) {
    RECT area;
    GetClientRect(target, &area);
    MovePointer(target, POINT{area.right / 2, area.bottom / 2});
    DroppedPath data(WideFromAnsi(path));
    DropAtOnce source;
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    return effect;
}

TEST(FolderBoxTest, ADroppedFolderOrFileFillsTheFolderBox) {
    const OleSession ole;
    TestFolder dropped("quandrel-拖放");
    WriteFileBytes(dropped / "83412.zip", "x");
    const struct {
        const char* label;
        Control target;
        std::string path;
        std::string expected;
    } drops[] = {
        {"a folder on the folder box", 编辑框1, dropped.path(), dropped.path()},
        {"a file on the upper list gives its folder", 超级列表框1, dropped / "83412.zip", dropped.path()},
        {"a folder on the window's own background", 标签3, dropped.path(), dropped.path()},
    };
    for (const auto& drop : drops) {
        QuandrelWindow program(Settings{"D:\\before", ".exe"});
        EXPECT_EQ(DropOn(program.control(drop.target), drop.path), static_cast<DWORD>(DROPEFFECT_COPY)) << drop.label;
        EXPECT_TRUE(WaitUntil([&] { return TextOf(program.control(编辑框1)) == drop.expected; }))
            << drop.label << ": " << TextOf(program.control(编辑框1));
        // No WS_EX_ACCEPTFILES: the system's own WS_EX_WINDOWEDGE is all there is.
        EXPECT_EQ(GetWindowLongA(program.window(), GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0) << drop.label;
    }
}

struct ListBoxSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindShownListBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ListBoxSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (lstrcmpiA(ClassOf(window).c_str(), "ListBox") == 0) {
        search->found = window;
        return FALSE;
    }
    EnumChildWindows(window, FindShownListBox, parameter);  // it may be a child of the window
    return search->found ? FALSE : TRUE;
}

// How many completions the program's drop-down list shows; 0 while it is hidden.
int ShownCompletions(DWORD processId) {
    ListBoxSearch search{processId};
    EnumWindows(FindShownListBox, reinterpret_cast<LPARAM>(&search));
    return search.found ? static_cast<int>(SendMessageW(search.found, LB_GETCOUNT, 0, 0)) : 0;
}

TEST(FolderBoxTest, FolderNamesAreCompletedAsTheyAreTyped) {
    TestFolder parent("quandrel-补全");
    ASSERT_TRUE(CreateDirectoryA((parent / "下载的压缩包").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((parent / "下载记录").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((parent / "其他").c_str(), nullptr));
    WriteFileBytes(parent / "下载.txt", "a file is no folder");
    QuandrelWindow program(Settings{"", ".exe"});
    HWND box = program.control(编辑框1);
    SetTextOf(box, "");
    RECT area;
    GetClientRect(box, &area);
    LeftClick(box, POINT{area.right / 2, area.bottom / 2});
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == box; }));

    const std::string typed = parent / "下载";
    TypeText(WideFromAnsi(typed));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(box) == typed; })) << "all typed before the list is looked at";
    EXPECT_TRUE(WaitUntil([&] { return ShownCompletions(program.process().id()) == 2; }))
        << "the two folders, not the file nor the other folder";
    // The arrow keys walk the list, each completion taking the box's text in turn.
    std::set<std::string> taken;
    for (int i = 0; i < 2; ++i) {
        const std::string before = TextOf(box);
        PressKey(VK_DOWN);
        WaitUntil([&] { return TextOf(box) != before; });
        taken.insert(TextOf(box));
    }
    EXPECT_EQ(taken, (std::set<std::string>{parent / "下载的压缩包", parent / "下载记录"}));
}

}  // namespace
}  // namespace quandrel::testing

#include "tests/support/tree_view.h"

#include <algorithm>
#include <stdexcept>

#include "base/win_owners.h"

namespace quandrel::testing {

namespace {

// Memory in the tree's process: TVM_GETITEM takes a pointer that the system does
// not carry across processes, so the item and its text must live over there.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {
        if (!address_) {
            throw std::runtime_error("cannot allocate memory in the tree's process");
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    char* address() const { return static_cast<char*>(address_); }

private:
    HANDLE process_;
    void* address_;
};

std::string ItemText(HWND tree, HANDLE process, HTREEITEM item) {
    constexpr int kTextCapacity = 1024;
    RemoteMemory remote(process, sizeof(TVITEMA) + kTextCapacity);
    TVITEMA request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = remote.address() + sizeof(TVITEMA);
    request.cchTextMax = kTextCapacity;
    if (!WriteProcessMemory(process, remote.address(), &request, sizeof request, nullptr) ||
        !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.address()))) {
        return {};
    }
    char text[kTextCapacity] = {};
    ReadProcessMemory(process, remote.address() + sizeof(TVITEMA), text, sizeof text - 1, nullptr);
    return text;
}

}  // namespace

std::vector<TreeItem> TreeChildren(HWND tree, HTREEITEM parent) {
    DWORD processId = 0;
    GetWindowThreadProcessId(tree, &processId);
    const UniqueFileHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) {
        throw std::runtime_error("cannot open the tree's process");
    }
    std::vector<TreeItem> items;
    HTREEITEM item;
    if (parent) {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    } else {
        item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    }
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        items.push_back({item, ItemText(tree, process.get(), item)});
    }
    return items;
}

std::optional<HTREEITEM> FindTreePath(HWND tree, const std::vector<std::string>& texts) {
    HTREEITEM item = nullptr;
    for (const std::string& text : texts) {
        const std::vector<TreeItem> items = TreeChildren(tree, item);
        const auto found = std::find_if(items.begin(), items.end(), [&](const TreeItem& candidate) {
            return candidate.text == text || (text.starts_with("(") && candidate.text.ends_with(text));
        });
        if (found == items.end()) {
            return std::nullopt;
        }
        item = found->handle;
    }
    return item;
}

void SelectTreeItem(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

}  // namespace quandrel::testing

// Reading and choosing the items of a tree-view control in another process, for
// tests that drive a system dialog (the folder chooser) as a user would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

namespace quandrel::testing {

struct TreeItem {
    HTREEITEM handle;
    std::string text;
};

// The root items when `parent` is null, else the children of `parent`; expands
// `parent` first so the tree fills in children it adds on demand.
std::vector<TreeItem> TreeChildren(HWND tree, HTREEITEM parent);
// The item reached from the root by following `texts`, one item a level; "(C:)"
// matches the end of a drive's name, whatever the volume label before it.
std::optional<HTREEITEM> FindTreePath(HWND tree, const std::vector<std::string>& texts);
// Makes `item` the tree's selection, as a click on it would.
void SelectTreeItem(HWND tree, HTREEITEM item);

}  // namespace quandrel::testing

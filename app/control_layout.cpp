#include "app/control_layout.h"

#include <commctrl.h>

namespace quandrel {

KindSpec SpecOfKind(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
        // No BS_DEFPUSHBUTTON anywhere: Enter presses nothing.
        return {"Button", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0};
    case ControlKind::EditBox:
        return {"Edit", WS_CHILD | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Label:
        // Clipped by its siblings so that an overlapping edit box stays on top of it.
        return {kLabelClass, WS_CHILD | WS_CLIPSIBLINGS, 0};
    case ControlKind::ListView:
        return {WC_LISTVIEWA, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL,
                WS_EX_CLIENTEDGE};
    }
    return {};
}

}  // namespace quandrel

#include "base/code_page.h"

#include <windows.h>

namespace quandrel {
namespace {

std::optional<std::wstring> ToWide(unsigned codePage, DWORD flags, std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (wideLength == 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), wideLength);
    return wide;
}

// The ANSI form, and whether a character had to be replaced by the default one.
std::string ToAnsi(std::wstring_view wide, bool& replaced) {
    BOOL usedDefault = FALSE;
    if (wide.empty()) {
        replaced = false;
        return {};
    }
    const int length = static_cast<int>(wide.size());
    // No best fit: it would turn a character the code page lacks into a
    // look-alike ("é" into "e"), which names a different file.
    const int ansiLength =
        WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &usedDefault);
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), ansiLength, nullptr,
                        &usedDefault);
    replaced = ansiLength == 0 || usedDefault;
    return ansi;
}

}  // namespace

std::wstring WideFromAnsi(std::string_view ansi) { return ToWide(kGbkCodePage, 0, ansi).value_or(std::wstring()); }

std::optional<std::string> AnsiFromWide(std::wstring_view wide) {
    bool replaced = false;
    std::string ansi = ToAnsi(wide, replaced);
    if (replaced) {
        return std::nullopt;
    }
    return ansi;
}

std::string AnsiForDisplay(std::wstring_view wide) {
    bool replaced = false;
    return ToAnsi(wide, replaced);
}

std::optional<std::wstring> WideFromUtf8(std::string_view utf8) { return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8); }

std::wstring FileNameKey(std::string_view ansiName) { return FileNameKey(WideFromAnsi(ansiName)); }

std::wstring FileNameKey(std::wstring key) {
    if (!key.empty()) {
        // The invariant upper case, as the file system's own case table folds names.
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, key.data(), static_cast<int>(key.size()), key.data(),
                     static_cast<int>(key.size()));
    }
    return key;
}

}  // namespace quandrel

#include "app/folder_completion.h"

#include <objbase.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "base/win_owners.h"

namespace quandrel {
namespace {

// The completion list: the sub-folders of the folder the typed text has got
// to, as full paths. The completion object calls Expand with the text up to
// its last backslash whenever that part changes.
class SubFolderList final : public IEnumString, public IACList {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IEnumString) {
            *object = static_cast<IEnumString*>(this);
        } else if (id == IID_IACList) {
            *object = static_cast<IACList*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IACList
    HRESULT STDMETHODCALLTYPE Expand(LPCWSTR folder) override {
        folders_.clear();
        next_ = 0;
        std::wstring base = folder ? folder : L"";
        if (base.empty()) {
            return S_OK;
        }
        if (base.back() != L'\\' && base.back() != L'/') {
            base += L'\\';
        }
        WIN32_FIND_DATAW found;
        UniqueFindHandle search(FindFirstFileW((base + L"*").c_str(), &found));
        if (!search) {
            return S_OK;
        }
        do {
            const std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") {
                folders_.push_back(base + name);
            }
        } while (FindNextFileW(search.get(), &found));
        return S_OK;
    }

    // IEnumString
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, LPOLESTR* texts, ULONG* given) override {
        ULONG count = 0;
        for (; count < wanted && next_ < folders_.size(); ++count, ++next_) {
            const std::wstring& folder = folders_[next_];
            const std::size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
            texts[count] = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
            if (!texts[count]) {
                break;
            }
            std::memcpy(texts[count], folder.c_str(), bytes);
        }
        if (given) {
            *given = count;
        }
        return count == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next_ = std::min<std::size_t>(folders_.size(), next_ + count);
        return next_ < folders_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumString** copy) override {
        *copy = nullptr;
        return E_NOTIMPL;
    }

private:
    ~SubFolderList() = default;

    std::atomic<ULONG> references_{1};
    std::vector<std::wstring> folders_;
    std::size_t next_ = 0;
};

}  // namespace

bool CompleteFolderNames(HWND edit) {
    if (SHAutoComplete(edit, SHACF_FILESYS_DIRS) == S_OK) {
        return true;
    }
    ComPtr<IAutoComplete2> completion;
    if (FAILED(CoCreateInstance(CLSID_AutoComplete, nullptr, CLSCTX_INPROC_SERVER, IID_IAutoComplete2,
                                completion.put()))) {
        return false;
    }
    auto* folders = new SubFolderList;
    const bool set = SUCCEEDED(completion->Init(edit, static_cast<IEnumString*>(folders), nullptr, nullptr)) &&
                     SUCCEEDED(completion->SetOptions(ACO_AUTOSUGGEST));
    folders->Release();  // the completion object holds its own reference
    return set;
}

}  // namespace quandrel

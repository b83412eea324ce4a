#include "installer/win32/Win32Desktop.h"

#include "installer/win32/Win32Text.h"

#include <windows.h>
// The shell's headers need windows.h before them.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace installer {

namespace {

// A COM interface pointer, released when it goes.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* operator->() const { return pointer_; }
    void** out() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

Status Checked(HRESULT result, std::string_view what) {
    if (SUCCEEDED(result)) {
        return {};
    }
    return Status::failure(std::string(what) + ": " +
                           SystemMessage(static_cast<unsigned long>(result)));
}

} // namespace

Win32Desktop::Win32Desktop()
    : comStarted_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

Win32Desktop::~Win32Desktop() {
    if (comStarted_) {
        ::CoUninitialize();
    }
}

Status Win32Desktop::makeShortcut(std::string_view path, const ShortcutFile& shortcut) {
    ComPointer<IShellLinkW> link;
    if (Status made = Checked(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_IShellLinkW, link.out()),
                              "no shell link object");
        !made.ok()) {
        return made;
    }
    const std::wstring target = Wide(shortcut.target);
    Status status = Checked(link->SetPath(target.c_str()), "the shortcut's target");
    if (status.ok()) {
        status = Checked(link->SetWorkingDirectory(Wide(shortcut.workingFolder).c_str()),
                         "the shortcut's folder");
    }
    if (status.ok() && !shortcut.description.empty()) {
        status = Checked(link->SetDescription(Wide(shortcut.description).c_str()),
                         "the shortcut's description");
    }
    if (status.ok()) {
        status = Checked(link->SetIconLocation(target.c_str(), 0), "the shortcut's icon");
    }
    ComPointer<IPersistFile> file;
    if (status.ok()) {
        status = Checked(link->QueryInterface(IID_IPersistFile, file.out()), "no shortcut file");
    }
    if (status.ok()) {
        status = Checked(file->Save(Wide(path).c_str(), TRUE), "the shortcut file");
    }
    return status;
}

void Win32Desktop::announceEnvironmentChange() {
    // Programs that do not answer within the time are left behind, not waited for.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                          reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000,
                          &answer);
}

void Win32Desktop::announceAssociationChange() {
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::string Win32Desktop::expandVariables(std::string_view text) {
    const std::wstring wide = Wide(text);
    const DWORD size = ::ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (size == 0) {
        return std::string(text);
    }
    std::wstring expanded(size, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), size);
    if (written == 0 || written > size) {
        return std::string(text);
    }
    expanded.resize(written - 1);
    return Utf8(expanded);
}

} // namespace installer

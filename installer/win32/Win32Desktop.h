#pragma once

#include "installer/Desktop.h"

namespace installer {

// The Windows shell: shortcuts through its COM objects (COM is started on the calling thread
// for as long as this object lives), broadcasts to the running programs.
class Win32Desktop : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    Status makeShortcut(std::string_view path, const ShortcutFile& shortcut) override;
    void announceEnvironmentChange() override;
    void announceAssociationChange() override;
    std::string expandVariables(std::string_view text) override;

private:
    bool comStarted_ = false;
};

} // namespace installer

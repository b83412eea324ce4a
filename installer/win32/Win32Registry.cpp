#include "installer/win32/Win32Registry.h"

#include "installer/win32/Win32Text.h"

#include <cstring>
#include <windows.h>

namespace installer {

namespace {

std::string Failure(std::string_view key, LSTATUS code) {
    return "HKEY_CURRENT_USER\\" + std::string(key) + ": " +
           SystemMessage(static_cast<DWORD>(code));
}

// An open key, closed when it goes.
class OpenKey {
public:
    // Opens the key; makes it and the keys above it first when create is set.
    OpenKey(std::string_view key, REGSAM access, bool create) {
        const std::wstring path = Wide(key);
        status_ = create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access,
                                             nullptr, &key_, nullptr)
                         : ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_);
    }
    ~OpenKey() {
        if (status_ == ERROR_SUCCESS) {
            ::RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LSTATUS status() const { return status_; }
    bool missing() const { return status_ == ERROR_FILE_NOT_FOUND; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
    LSTATUS status_ = ERROR_SUCCESS;
};

// The text of a string value's bytes, without the terminating NULs.
std::string TextOf(const std::vector<BYTE>& bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return Utf8(text);
}

using NameLister = LSTATUS (*)(HKEY, DWORD, wchar_t*, DWORD*);

Outcome<std::vector<std::string>> ListNames(std::string_view key, NameLister list) {
    using Result = Outcome<std::vector<std::string>>;
    OpenKey open(key, KEY_READ, false);
    if (open.missing()) {
        return {};
    }
    if (open.status() != ERROR_SUCCESS) {
        return Result::failure(Failure(key, open.status()));
    }
    std::vector<std::string> names;
    // Names of keys are at most 255 characters, of values 16383.
    std::wstring name(16384, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status = list(open.get(), index, name.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS) {
            return {names, {}};
        }
        if (status != ERROR_SUCCESS) {
            return Result::failure(Failure(key, status));
        }
        names.push_back(Utf8(std::wstring_view(name.data(), length)));
    }
}

} // namespace

Outcome<std::optional<RegistryValue>> Win32Registry::readValue(std::string_view key,
                                                               std::string_view name) {
    using Result = Outcome<std::optional<RegistryValue>>;
    OpenKey open(key, KEY_QUERY_VALUE, false);
    if (open.missing()) {
        return {};
    }
    if (open.status() != ERROR_SUCCESS) {
        return Result::failure(Failure(key, open.status()));
    }
    const std::wstring valueName = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status =
        ::RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> bytes;
    // The value may grow between the two calls.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        bytes.resize(size);
        status =
            ::RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            bytes.resize(size);
            break;
        }
    }
    if (status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (status != ERROR_SUCCESS) {
        return Result::failure(Failure(key, status));
    }
    RegistryValue value;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        value.kind = type == REG_SZ ? ValueKind::Text : ValueKind::ExpandedText;
        value.text = TextOf(bytes);
    } else if (type == REG_DWORD && bytes.size() == sizeof(DWORD)) {
        value.kind = ValueKind::Number;
        std::memcpy(&value.number, bytes.data(), sizeof(DWORD));
    } else {
        value.kind = ValueKind::Other;
        value.number = type;
        value.text.assign(bytes.begin(), bytes.end());
    }
    return {value, {}};
}

Status Win32Registry::writeValue(std::string_view key, std::string_view name,
                                 const RegistryValue& value) {
    OpenKey open(key, KEY_SET_VALUE, true);
    if (open.status() != ERROR_SUCCESS) {
        return Status::failure(Failure(key, open.status()));
    }
    DWORD type = REG_SZ;
    std::vector<BYTE> bytes;
    if (value.kind == ValueKind::Text || value.kind == ValueKind::ExpandedText) {
        type = value.kind == ValueKind::Text ? REG_SZ : REG_EXPAND_SZ;
        const std::wstring text = Wide(value.text);
        bytes.resize((text.size() + 1) * sizeof(wchar_t));
        std::memcpy(bytes.data(), text.c_str(), bytes.size());
    } else if (value.kind == ValueKind::Number) {
        type = REG_DWORD;
        bytes.resize(sizeof(DWORD));
        std::memcpy(bytes.data(), &value.number, sizeof(DWORD));
    } else {
        type = value.number;
        bytes.assign(value.text.begin(), value.text.end());
    }
    const LSTATUS status = ::RegSetValueExW(open.get(), Wide(name).c_str(), 0, type, bytes.data(),
                                            static_cast<DWORD>(bytes.size()));
    return status == ERROR_SUCCESS ? Status{} : Status::failure(Failure(key, status));
}

Status Win32Registry::deleteValue(std::string_view key, std::string_view name) {
    OpenKey open(key, KEY_SET_VALUE, false);
    if (open.missing()) {
        return {};
    }
    LSTATUS status = open.status();
    if (status == ERROR_SUCCESS) {
        status = ::RegDeleteValueW(open.get(), Wide(name).c_str());
    }
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    return Status::failure(Failure(key, status));
}

Outcome<bool> Win32Registry::keyExists(std::string_view key) {
    OpenKey open(key, KEY_READ, false);
    if (open.missing()) {
        return {false, {}};
    }
    if (open.status() != ERROR_SUCCESS) {
        return Outcome<bool>::failure(Failure(key, open.status()));
    }
    return {true, {}};
}

Status Win32Registry::createKey(std::string_view key) {
    OpenKey open(key, KEY_READ, true);
    return open.status() == ERROR_SUCCESS ? Status{} : Status::failure(Failure(key, open.status()));
}

Status Win32Registry::deleteKey(std::string_view key) {
    const LSTATUS status = ::RegDeleteKeyW(HKEY_CURRENT_USER, Wide(key).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    return Status::failure(Failure(key, status));
}

Outcome<std::vector<std::string>> Win32Registry::valueNames(std::string_view key) {
    return ListNames(key, [](HKEY open, DWORD index, wchar_t* name, DWORD* length) {
        return ::RegEnumValueW(open, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

Outcome<std::vector<std::string>> Win32Registry::subkeyNames(std::string_view key) {
    return ListNames(key, [](HKEY open, DWORD index, wchar_t* name, DWORD* length) {
        return ::RegEnumKeyExW(open, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

} // namespace installer

#include "installer/RegistryChanges.h"

#include "installer/WindowsPath.h"

namespace installer {

Status RegistryChanges::setValue(std::string_view key, std::string_view name,
                                 const RegistryValue& value) {
    // The topmost key that does not exist yet: writing makes it, undoing deletes it.
    std::string missing;
    for (std::string above(key); !above.empty(); above = ParentFolder(above)) {
        Outcome<bool> exists = registry_.keyExists(above);
        if (!exists.ok()) {
            return Status::failure(exists.error);
        }
        if (exists.value) {
            break;
        }
        missing = above;
    }
    Outcome<std::optional<RegistryValue>> former = registry_.readValue(key, name);
    if (!former.ok()) {
        return Status::failure(former.error);
    }
    if (former.value == value) {
        return {};
    }
    Status written = registry_.writeValue(key, name, value);
    // Recorded also when the write failed: it may have made keys before failing.
    if (!missing.empty()) {
        undo_.push_back({missing, {}, {}, {}, true});
    } else {
        undo_.push_back({std::string(key), std::string(name), former.value, {}, false});
    }
    return written;
}

Status RegistryChanges::removeValue(std::string_view key, std::string_view name) {
    Outcome<std::optional<RegistryValue>> former = registry_.readValue(key, name);
    if (!former.ok()) {
        return Status::failure(former.error);
    }
    if (!former.value) {
        return {};
    }
    Status removed = registry_.deleteValue(key, name);
    if (removed.ok()) {
        undo_.push_back({std::string(key), std::string(name), former.value, {}, false});
    }
    return removed;
}

Status RegistryChanges::saveTree(const std::string& key, std::vector<SavedKey>& keys) {
    Outcome<std::vector<std::string>> names = registry_.valueNames(key);
    if (!names.ok()) {
        return Status::failure(names.error);
    }
    SavedKey saved{key, {}};
    for (const std::string& name : names.value) {
        Outcome<std::optional<RegistryValue>> value = registry_.readValue(key, name);
        if (!value.ok()) {
            return Status::failure(value.error);
        }
        if (value.value) {
            saved.values.emplace_back(name, *value.value);
        }
    }
    keys.push_back(std::move(saved));
    Outcome<std::vector<std::string>> subkeys = registry_.subkeyNames(key);
    if (!subkeys.ok()) {
        return Status::failure(subkeys.error);
    }
    for (const std::string& subkey : subkeys.value) {
        if (Status status = saveTree(JoinPath(key, subkey), keys); !status.ok()) {
            return status;
        }
    }
    return {};
}

Status RegistryChanges::removeKeyTree(std::string_view key) {
    Outcome<bool> exists = registry_.keyExists(key);
    if (!exists.ok()) {
        return Status::failure(exists.error);
    }
    if (!exists.value) {
        return {};
    }
    Undo undo{std::string(key), {}, {}, {}, false};
    if (Status saved = saveTree(undo.key, undo.keys); !saved.ok()) {
        return saved;
    }
    // Children before their parents; recorded first, so that a failure halfway is undone too.
    const std::vector<SavedKey> keys = undo.keys;
    undo_.push_back(std::move(undo));
    for (auto saved = keys.rbegin(); saved != keys.rend(); ++saved) {
        if (Status removed = registry_.deleteKey(saved->key); !removed.ok()) {
            return removed;
        }
    }
    return {};
}

Status RegistryChanges::removeKeyIfEmpty(std::string_view key) {
    Outcome<std::vector<std::string>> values = registry_.valueNames(key);
    Outcome<std::vector<std::string>> subkeys = registry_.subkeyNames(key);
    if (!values.ok() || !subkeys.ok()) {
        return Status::failure(values.ok() ? subkeys.error : values.error);
    }
    if (!values.value.empty() || !subkeys.value.empty()) {
        return {};
    }
    return removeKeyTree(key);
}

void RegistryChanges::rollBack() {
    for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) {
        if (undo->removesKey) {
            // The key and what was written below it: children first.
            std::vector<SavedKey> keys;
            if (saveTree(undo->key, keys).ok()) {
                for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
                    (void)registry_.deleteKey(key->key);
                }
            }
        } else if (!undo->keys.empty()) {
            for (const SavedKey& key : undo->keys) {
                (void)registry_.createKey(key.key);
                for (const auto& [name, value] : key.values) {
                    (void)registry_.writeValue(key.key, name, value);
                }
            }
        } else if (undo->former) {
            (void)registry_.writeValue(undo->key, undo->name, *undo->former);
        } else {
            (void)registry_.deleteValue(undo->key, undo->name);
        }
    }
    undo_.clear();
}

} // namespace installer

#include "installer/SettingsEntries.h"

#include "installer/WindowsPath.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace installer {

namespace {

RegistryValue Text(std::string text) {
    return {ValueKind::Text, std::move(text), 0};
}

RegistryValue Number(std::uint32_t number) {
    return {ValueKind::Number, {}, number};
}

std::string Quoted(std::string_view path) {
    return '"' + std::string(path) + '"';
}

} // namespace

// The user's PATH value: its text ("" when there is none).
Outcome<std::string> ReadUserPath(Registry& registry) {
    Outcome<std::optional<RegistryValue>> value = registry.readValue(environmentKey, pathValueName);
    if (!value.ok()) {
        return Outcome<std::string>::failure(value.error);
    }
    return {value.value ? value.value->text : std::string(), {}};
}

// Writes the user's PATH as text to expand; an empty one is removed.
Status WriteUserPath(RegistryChanges& changes, const std::string& value) {
    if (value.empty()) {
        return changes.removeValue(environmentKey, pathValueName);
    }
    return changes.setValue(environmentKey, pathValueName, {ValueKind::ExpandedText, value, 0});
}

// Takes away an association this installer made, leaving one that another program has taken
// over since.
Status RemoveAssociation(RegistryChanges& changes, Registry& registry, std::string_view extension,
                         std::string_view progId) {
    const std::string extensionKey = JoinPath(classesKey, extension);
    Outcome<std::optional<RegistryValue>> current = registry.readValue(extensionKey, "");
    if (!current.ok()) {
        return Status::failure(current.error);
    }
    if (current.value && SameName(current.value->text, progId)) {
        if (Status removed = changes.removeValue(extensionKey, ""); !removed.ok()) {
            return removed;
        }
        if (Status removed = changes.removeKeyIfEmpty(extensionKey); !removed.ok()) {
            return removed;
        }
    }
    return changes.removeKeyTree(JoinPath(classesKey, progId));
}

Status WriteInstallSettings(const InstallList& list, const InstallPlaces& places,
                            const InstallRecord& former, const PathPlan& plan,
                            RegistryChanges& changes, Registry& registry) {
    const std::string& folder = places.installFolder;
    const std::string uninstaller = JoinPath(folder, uninstallProgramName);
    const std::string key = JoinPath(uninstallKeys, list.key);
    // What a former install wrote there goes: the entry holds this install's values alone.
    if (Status removed = changes.removeKeyTree(key); !removed.ok()) {
        return removed;
    }
    if (!former.key.empty() && former.key != list.key) {
        if (Status removed = changes.removeKeyTree(JoinPath(uninstallKeys, former.key));
            !removed.ok()) {
            return removed;
        }
    }
    std::string icon = uninstaller;
    if (list.shortcut) {
        icon = JoinPath(folder, list.shortcut->target);
    } else if (list.association) {
        icon = JoinPath(folder, list.association->target);
    }
    std::vector<std::pair<std::string_view, RegistryValue>> values = {
        {"DisplayName", Text(list.product)},
        {"DisplayVersion", Text(list.version)},
        {"InstallLocation", Text(folder)},
        {"DisplayIcon", Text(icon)},
        {"UninstallString", Text(Quoted(uninstaller) + " " + std::string(uninstallSwitch))},
        {"QuietUninstallString", Text(Quoted(uninstaller) + " " + std::string(uninstallSwitch) +
                                      " " + std::string(quietSwitch))},
        {"NoModify", Number(1)},
        {"NoRepair", Number(1)},
    };
    if (!list.publisher.empty()) {
        values.emplace_back("Publisher", Text(list.publisher));
    }
    for (const auto& [name, value] : values) {
        if (Status written = changes.setValue(key, name, value); !written.ok()) {
            return written;
        }
    }
    if (plan.changes) {
        if (Status written = WriteUserPath(changes, plan.value); !written.ok()) {
            return written;
        }
    }
    const bool sameAssociation = list.association &&
                                 SameName(former.extension, list.association->extension) &&
                                 SameName(former.progId, list.association->progId);
    if (!former.extension.empty() && !sameAssociation) {
        if (Status removed = RemoveAssociation(changes, registry, former.extension, former.progId);
            !removed.ok()) {
            return removed;
        }
    }
    if (list.association) {
        const Association& association = *list.association;
        const std::string program = JoinPath(folder, association.target);
        const std::string progIdKey = JoinPath(classesKey, association.progId);
        const std::vector<std::pair<std::string, RegistryValue>> classes = {
            {JoinPath(classesKey, association.extension), Text(association.progId)},
            {progIdKey, Text(association.description)},
            {JoinPath(progIdKey, "DefaultIcon"), Text(Quoted(program) + ",0")},
            {JoinPath(progIdKey, "shell\\open\\command"), Text(Quoted(program) + " \"%1\"")},
        };
        for (const auto& [classKey, value] : classes) {
            if (Status written = changes.setValue(classKey, "", value); !written.ok()) {
                return written;
            }
        }
    }
    return {};
}

} // namespace installer

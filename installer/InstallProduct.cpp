#include "installer/FileChanges.h"
#include "installer/InstallRecord.h"
#include "installer/InstallRun.h"
#include "installer/PathList.h"
#include "installer/RegistryChanges.h"
#include "installer/SettingsEntries.h"
#include "installer/WindowsPath.h"

#include <algorithm>

namespace installer {

namespace {

// The record of the former install in the folder; an empty one when there is none or it
// cannot be read (its files are then replaced, but those it alone named stay).
InstallRecord FormerRecord(const std::string& folder, FileSystem& files) {
    const std::string path = JoinPath(folder, installRecordName);
    if (!files.exists(path)) {
        return {};
    }
    Outcome<std::string> text = files.readFile(path);
    if (!text.ok()) {
        return {};
    }
    Outcome<InstallRecord> record = ParseInstallRecord(text.value);
    return record.ok() ? record.value : InstallRecord{};
}

// The name of path inside folder.
std::string InsideFolder(const std::string& folder, const std::string& path) {
    return path.substr(std::min(path.size(), JoinPath(folder, "").size()));
}

// The user's PATH after the install, and the entry the record keeps.
PathPlan PlanPath(const InstallList& list, const std::string& folder, const InstallRecord& former,
                  const std::string& path, const ExpandVariables& expand, InstallRecord& record) {
    PathPlan plan;
    if (list.addToPath) {
        PathEdit edit = AppendPathEntry(path, folder, expand);
        plan = {edit.value, edit.changed};
        // An entry the user had made before stays when this product goes.
        if (edit.changed || SamePathEntry(former.pathEntry, folder, expand)) {
            record.pathEntry = folder;
        }
    } else if (!former.pathEntry.empty()) {
        PathEdit edit = RemovePathEntry(path, former.pathEntry, expand);
        plan = {edit.value, edit.changed};
    }
    return plan;
}

// Writes every new file beside its target and sets aside what the former install alone had;
// fills in the record's files. Gives why it failed, or "".
std::string StageFiles(const InstallList& list, const InstallPlaces& places,
                       const InstallRecord& former, Machine& machine, FileChanges& changes,
                       InstallRecord& record) {
    const std::string& folder = places.installFolder;
    if (Status made = changes.makeFolders(folder); !made.ok()) {
        return "Cannot make the folder " + folder + ": " + made.error + ".";
    }
    const std::string source = WithoutDots(JoinPath(places.packageFolder, list.source));
    for (const std::string& name : list.files) {
        const std::string target = JoinPath(folder, name);
        if (Status made = changes.makeFolders(ParentFolder(target)); !made.ok()) {
            return "Cannot make the folder " + ParentFolder(target) + ": " + made.error + ".";
        }
        const std::string from = JoinPath(source, name);
        Status copied = changes.stage(target, [&](const std::string& staged) {
            return machine.files.copyFile(from, staged);
        });
        if (!copied.ok()) {
            return "Cannot copy " + name + " to " + folder + ": " + copied.error + ".";
        }
        record.files.push_back(name);
    }
    const std::string uninstaller = JoinPath(folder, uninstallProgramName);
    if (!SameName(places.installerPath, uninstaller)) {
        Status copied = changes.stage(uninstaller, [&](const std::string& staged) {
            return machine.files.copyFile(places.installerPath, staged);
        });
        if (!copied.ok()) {
            return "Cannot copy the uninstall program to " + folder + ": " + copied.error + ".";
        }
    }
    record.files.emplace_back(uninstallProgramName);
    if (list.shortcut) {
        const Shortcut& shortcut = *list.shortcut;
        record.shortcutFile = JoinPath(places.startMenuFolder, shortcut.name + ".lnk");
        const ShortcutFile link{JoinPath(folder, shortcut.target), folder, shortcut.description};
        Status made = changes.makeFolders(places.startMenuFolder);
        if (made.ok()) {
            made = changes.stage(record.shortcutFile, [&](const std::string& staged) {
                return machine.desktop.makeShortcut(staged, link);
            });
        }
        if (!made.ok()) {
            return "Cannot make the shortcut " + record.shortcutFile + ": " + made.error + ".";
        }
    }
    // What the former install had and this one has not.
    for (const std::string& name : former.files) {
        if (!ContainsName(record.files, name)) {
            if (Status gone = changes.discard(JoinPath(folder, name)); !gone.ok()) {
                return "Cannot remove " + name + " of the former install: " + gone.error + ".";
            }
        }
    }
    if (!former.shortcutFile.empty() && !SameName(former.shortcutFile, record.shortcutFile)) {
        if (Status gone = changes.discard(former.shortcutFile); !gone.ok()) {
            return "Cannot remove the shortcut " + former.shortcutFile + ": " + gone.error + ".";
        }
    }
    // Old copies that were in use at the former install, deleted now if they can be.
    for (const std::string& name : former.leftovers) {
        const std::string leftover = JoinPath(folder, name);
        if (machine.files.exists(leftover) && !machine.files.removeFile(leftover).ok()) {
            record.leftovers.push_back(name);
        }
    }
    const std::string recordPath = JoinPath(folder, installRecordName);
    const Status written = changes.stage(recordPath, [&](const std::string& staged) {
        return machine.files.writeFile(staged, FormatInstallRecord(record));
    });
    if (!written.ok()) {
        return "Cannot write " + recordPath + ": " + written.error + ".";
    }
    return {};
}

} // namespace

Outcome<std::string> InstallProduct(const InstallList& list, const InstallPlaces& places,
                                    Machine& machine) {
    using Result = Outcome<std::string>;
    const std::string& folder = places.installFolder;
    const InstallRecord former = FormerRecord(folder, machine.files);
    const auto expand = [&](std::string_view text) {
        return machine.desktop.expandVariables(text);
    };

    // What the registry will say, decided before anything changes.
    Outcome<std::string> path = ReadUserPath(machine.registry);
    if (!path.ok()) {
        return Result::failure("Cannot read the PATH setting: " + path.error + "." +
                               std::string(nothingChanged));
    }
    InstallRecord record{list.key, list.product, {}, {}, {}, {}, {}, {}};
    const PathPlan plan = PlanPath(list, folder, former, path.value, expand, record);
    if (list.association) {
        record.extension = list.association->extension;
        record.progId = list.association->progId;
    }

    FileChanges files(machine.files);
    const auto failed = [&](std::string why) {
        files.rollBack();
        return Result::failure(why + std::string(nothingChanged));
    };
    if (std::string why = StageFiles(list, places, former, machine, files, record); !why.empty()) {
        return failed(why);
    }
    const std::string recordPath = JoinPath(folder, installRecordName);
    if (Status swapped = files.swapIn(); !swapped.ok()) {
        return failed("Cannot replace the files in " + folder + ": " + swapped.error +
                      ". Close the programs started from there and try again.");
    }

    RegistryChanges changes(machine.registry);
    if (Status keys = WriteInstallSettings(list, places, former, plan, changes, machine.registry);
        !keys.ok()) {
        changes.rollBack();
        return failed("Cannot write the settings: " + keys.error + ".");
    }

    // Done: the former files go, or stay beside the new ones while a program still runs them.
    bool leftoversAdded = false;
    for (const std::string& kept : files.finish()) {
        record.leftovers.push_back(InsideFolder(folder, kept));
        leftoversAdded = true;
    }
    if (leftoversAdded) {
        // Without it the next install or the uninstall would not know them; nothing is lost.
        (void)machine.files.writeFile(recordPath, FormatInstallRecord(record));
    }
    if (plan.changes) {
        machine.desktop.announceEnvironmentChange();
    }
    if (list.association || !former.extension.empty()) {
        machine.desktop.announceAssociationChange();
    }
    return {list.product + " " + list.version + " is installed in " + folder + ".", {}};
}

} // namespace installer

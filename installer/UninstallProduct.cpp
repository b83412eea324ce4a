#include "installer/FileChanges.h"
#include "installer/InstallRecord.h"
#include "installer/InstallRun.h"
#include "installer/PathList.h"
#include "installer/RegistryChanges.h"
#include "installer/SettingsEntries.h"
#include "installer/WindowsPath.h"

#include <algorithm>

namespace installer {

Outcome<std::string> UninstallProduct(const InstallPlaces& places, Machine& machine) {
    using Result = Outcome<std::string>;
    const std::string& folder = places.installFolder;
    const std::string recordPath = JoinPath(folder, installRecordName);
    Outcome<std::string> text = machine.files.readFile(recordPath);
    if (!text.ok()) {
        return Result::failure("Cannot read " + recordPath + ": " + text.error + "." +
                               std::string(nothingChanged));
    }
    Outcome<InstallRecord> parsed = ParseInstallRecord(text.value);
    if (!parsed.ok()) {
        return Result::failure(recordPath + ", " + parsed.error + "." +
                               std::string(nothingChanged));
    }
    const InstallRecord& record = parsed.value;

    FileChanges files(machine.files);
    const auto failed = [&](std::string why) {
        files.rollBack();
        return Result::failure(why + std::string(nothingChanged));
    };
    std::vector<std::string> names = record.files;
    names.insert(names.end(), record.leftovers.begin(), record.leftovers.end());
    for (const std::string& name : names) {
        if (Status gone = files.discard(JoinPath(folder, name)); !gone.ok()) {
            return failed("Cannot remove " + JoinPath(folder, name) + ": " + gone.error +
                          ". Close the programs started from there and try again.");
        }
    }
    for (const std::string& path : {record.shortcutFile, recordPath}) {
        if (!path.empty()) {
            if (Status gone = files.discard(path); !gone.ok()) {
                return failed("Cannot remove " + path + ": " + gone.error + ".");
            }
        }
    }

    RegistryChanges changes(machine.registry);
    Status removed = changes.removeKeyTree(JoinPath(uninstallKeys, record.key));
    const auto expand = [&](std::string_view t) { return machine.desktop.expandVariables(t); };
    bool pathChanged = false;
    if (removed.ok() && !record.pathEntry.empty()) {
        Outcome<std::string> path = ReadUserPath(machine.registry);
        removed = Status{path.error};
        if (path.ok()) {
            PathEdit edit = RemovePathEntry(path.value, record.pathEntry, expand);
            pathChanged = edit.changed;
            if (edit.changed) {
                removed = WriteUserPath(changes, edit.value);
            }
        }
    }
    if (removed.ok() && !record.extension.empty()) {
        removed = RemoveAssociation(changes, machine.registry, record.extension, record.progId);
    }
    if (!removed.ok()) {
        changes.rollBack();
        return failed("Cannot remove the settings: " + removed.error + ".");
    }

    // A file a program still runs from (this uninstall program among them) cannot be deleted
    // but can be moved: it goes to the temporary folder, which the system empties.
    std::vector<std::string> stuck;
    for (const std::string& kept : files.finish()) {
        std::string_view keptName = LastComponent(kept);
        if (keptName.ends_with(asideSuffix)) {
            keptName.remove_suffix(asideSuffix.size());
        }
        const std::string name = "tarvik-removed-" + std::string(keptName);
        std::string moved = JoinPath(places.tempFolder, name);
        for (int n = 2; machine.files.exists(moved) && n < 1000; ++n) {
            moved = JoinPath(places.tempFolder, std::to_string(n) + "-" + name);
        }
        if (!machine.files.moveFile(kept, moved).ok()) {
            stuck.push_back(kept);
        }
    }
    // The folders the files were in, the deepest first, and then the install folder, if empty.
    std::vector<std::string> folders;
    for (const std::string& name : names) {
        for (std::string above = ParentFolder(JoinPath(folder, name)); above.size() > folder.size();
             above = ParentFolder(above)) {
            if (!ContainsName(folders, above)) {
                folders.push_back(above);
            }
        }
    }
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    folders.push_back(folder);
    for (const std::string& path : folders) {
        (void)machine.files.removeFolder(path);
    }

    if (pathChanged) {
        machine.desktop.announceEnvironmentChange();
    }
    if (!record.extension.empty()) {
        machine.desktop.announceAssociationChange();
    }
    std::string message = record.product + " is removed.";
    if (!stuck.empty()) {
        message += " Still in use, and left where they are:";
        for (const std::string& path : stuck) {
            message += " " + path;
        }
    }
    if (machine.files.exists(folder)) {
        message +=
            " The folder " + folder + " stays: it holds files the install did not put there.";
    }
    return {message, {}};
}

} // namespace installer

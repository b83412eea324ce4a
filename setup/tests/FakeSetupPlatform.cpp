#include "setup/tests/FakeSetupPlatform.h"

#include <filesystem>
#include <utility>

namespace setup::test {

FakeSetupPlatform::FakeSetupPlatform(std::string modulePath, std::string systemTemp)
    : modulePath_(std::move(modulePath)), systemTemp_(std::move(systemTemp)) {}

std::optional<std::string> FakeSetupPlatform::createTempFolder(std::string_view prefix) {
    if (tempFolderFails) {
        return std::nullopt;
    }
    std::optional<std::string> folder = CreateUniqueFolder(systemTemp_, prefix, 0x1A2B);
    if (folder) {
        tempFolders.push_back(*folder);
    }
    return folder;
}

std::optional<ProcessId> FakeSetupPlatform::startProcess(const ProcessCommand& command) {
    const std::string program = std::filesystem::path(command.program).filename().string();
    if (failingPrograms.contains(program) || !std::filesystem::exists(command.program)) {
        return std::nullopt;
    }
    std::string line = command.program;
    for (const std::string& argument : command.arguments) {
        line += "|" + argument;
    }
    started.push_back(line);
    return static_cast<ProcessId>(started.size());
}

void FakeSetupPlatform::waitForProcess(ProcessId process) {
    waited.push_back(process);
}

} // namespace setup::test

#include "setup/tests/FakeSetupPlatform.h"

#include <filesystem>
#include <utility>

namespace setup::test {

FakeSetupPlatform::FakeSetupPlatform(std::string modulePath, std::string systemTemp)
    : m_modulePath(std::move(modulePath)), m_systemTemp(std::move(systemTemp)) {}

std::optional<std::string> FakeSetupPlatform::CreateTempFolder(std::string_view prefix) {
    if (bTempFolderFails) {
        return std::nullopt;
    }
    std::optional<std::string> folder = CreateUniqueFolder(m_systemTemp, prefix, 0x1A2B);
    if (folder) {
        tempFolders.push_back(*folder);
    }
    return folder;
}

std::optional<ProcessId> FakeSetupPlatform::StartProcess(const ProcessCommand& command) {
    const std::string program = std::filesystem::path(command.strProgram).filename().string();
    if (failingPrograms.contains(program) || !std::filesystem::exists(command.strProgram)) {
        return std::nullopt;
    }
    std::string line = command.strProgram;
    for (const std::string& argument : command.arguments) {
        line += "|" + argument;
    }
    started.push_back(line);
    return static_cast<ProcessId>(started.size());
}

void FakeSetupPlatform::WaitForProcess(ProcessId process) {
    waited.push_back(process);
}

} // namespace setup::test

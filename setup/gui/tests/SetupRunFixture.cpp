#include "setup/gui/tests/SetupRunFixture.h"

#include "setup/gui/tests/SetupProcess.h"
#include "setup/tests/LogLines.h"
#include "setup/tests/TestPackageBuilder.h"
#include "tools/mkpackage/PackageWriter.h"

#include <QImage>
#include <QPainter>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace setup::test {

namespace fs = std::filesystem;

std::vector<std::string> TextLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void SetupRunFixture::SetUp() {
    for (const std::string& folder : {m_tree, m_tmp, m_cwd, m_shots, m_scratch / "my installer",
                                      m_scratch / "home", m_scratch / "runtime"}) {
        fs::create_directories(folder);
    }
    fs::permissions(m_scratch / "runtime", fs::perms::owner_all);
    m_environment = {
        {"PATH", "/usr/bin:/bin"},
        {"HOME", m_scratch / "home"},
        // Qt keeps its runtime files there, instead of in the temporary folder.
        {"XDG_RUNTIME_DIR", m_scratch / "runtime"},
        {"TMPDIR", m_tmp},
        {"QL_INST_LOG", m_logPath},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"SETUP_TEST_RECORD", m_recordPath},
    };
    m_hook = "report=" + m_reportPath + ";shots=" + m_shots;
}

void SetupRunFixture::MakeTree(const std::string& configuration) {
    fs::create_directories(m_tree + "/setup");
    WriteWholeFile(m_tree + "/setup/setup.ini", configuration);
    QImage bitmap(240, 90, QImage::Format_RGB32);
    bitmap.fill(QColor(0x20, 0x50, 0x90));
    QPainter painter(&bitmap);
    painter.fillRect(QRect(20, 20, 200, 50), QColor(0xf0, 0xc0, 0x30));
    painter.end();
    bitmap.save(QString::fromStdString(m_tree + "/setup/Header.bmp"), "BMP");
    fs::create_directories(m_tree + "/zdata");
    for (int i = 0; i < 20; ++i) {
        WriteWholeFile(m_tree + "/zdata/f" + std::to_string(100 + i), std::string(3000, 'z'));
    }
}

void SetupRunFixture::AddProgram(const std::string& name, const std::string& sleep) {
    // What the program records shows the order of the runs, their arguments, and what the
    // temporary folders held while it ran.
    WriteWholeFile(m_tree + "/setup/" + name,
                   "#!/bin/sh\n"
                   "args=\"$*\"\n"
                   "echo \"start " +
                       name +
                       "${args:+ $args}\" >> \"$SETUP_TEST_RECORD\"\n"
                       "echo \"zdata $(ls \"$(dirname \"$0\")/../zdata\" | wc -l)\" >> "
                       "\"$SETUP_TEST_RECORD\"\n"
                       "sleep " +
                       sleep +
                       "\n"
                       "echo \"end " +
                       name + "\" >> \"$SETUP_TEST_RECORD\"\n");
}

std::string SetupRunFixture::MakeInstaller() {
    mkpackage::BuildPackage(SETUP_PROGRAM, m_tree, m_installer);
    return m_installer;
}

std::string SetupRunFixture::MakeInstallerWithPackage(const std::string& packageBytes) {
    WriteWholeFile(m_installer, packageBytes);
    ::chmod(m_installer.c_str(), 0755);
    return m_installer;
}

SetupRunResult SetupRunFixture::Run(const std::vector<std::string>& arguments) {
    return Run(arguments, nullptr);
}

SetupRunResult SetupRunFixture::Run(const std::vector<std::string>& arguments,
                                    void (*whileRunning)(pid_t, const std::string&)) {
    fs::remove(m_logPath);
    fs::remove(m_reportPath);
    fs::remove(m_recordPath);
    std::map<std::string, std::string> environment = m_environment;
    environment["SETUP_TEST_HOOK"] = m_hook;
    std::vector<std::string> command = {m_installer};
    command.insert(command.end(), arguments.begin(), arguments.end());
    SetupProcess process(command, environment, m_cwd);
    if (whileRunning != nullptr) {
        whileRunning(process.Pid(), m_reportPath);
    }
    SetupRunResult result;
    result.status = process.Wait(std::chrono::seconds(60));
    result.log = LogMessages(m_logPath);
    result.report = TextLines(m_reportPath);
    result.record = TextLines(m_recordPath);
    return result;
}

std::set<std::string> SetupRunFixture::ScratchContents() const {
    const std::set<std::string> ignored = {
        m_tmp,   m_logPath,   m_reportPath,       m_recordPath,
        m_shots, m_installer, m_scratch / "home", m_scratch / "runtime"};
    std::set<std::string> contents;
    for (auto it = fs::recursive_directory_iterator(m_scratch.Path());
         it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = it->path().string();
        if (ignored.contains(path)) {
            it.disable_recursion_pending();
            continue;
        }
        contents.insert(path);
    }
    return contents;
}

std::set<std::string> SetupRunFixture::TempContents() const {
    std::set<std::string> contents;
    for (const auto& item : fs::recursive_directory_iterator(m_tmp)) {
        contents.insert(fs::relative(item.path(), m_tmp).string());
    }
    return contents;
}

} // namespace setup::test

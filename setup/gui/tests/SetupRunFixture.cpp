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
    for (const std::string& folder : {tree_, tmp_, cwd_, shots_, scratch_ / "my installer",
                                      scratch_ / "home", scratch_ / "runtime"}) {
        fs::create_directories(folder);
    }
    fs::permissions(scratch_ / "runtime", fs::perms::owner_all);
    environment_ = {
        {"PATH", "/usr/bin:/bin"},
        {"HOME", scratch_ / "home"},
        // Qt keeps its runtime files there, instead of in the temporary folder.
        {"XDG_RUNTIME_DIR", scratch_ / "runtime"},
        {"TMPDIR", tmp_},
        {"QL_INST_LOG", logPath_},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"SETUP_TEST_RECORD", recordPath_},
    };
    hook_ = "report=" + reportPath_ + ";shots=" + shots_;
}

void SetupRunFixture::makeTree(const std::string& configuration) {
    fs::create_directories(tree_ + "/setup");
    WriteWholeFile(tree_ + "/setup/setup.ini", configuration);
    QImage bitmap(240, 90, QImage::Format_RGB32);
    bitmap.fill(QColor(0x20, 0x50, 0x90));
    QPainter painter(&bitmap);
    painter.fillRect(QRect(20, 20, 200, 50), QColor(0xf0, 0xc0, 0x30));
    painter.end();
    bitmap.save(QString::fromStdString(tree_ + "/setup/Header.bmp"), "BMP");
    fs::create_directories(tree_ + "/zdata");
    for (int i = 0; i < 20; ++i) {
        WriteWholeFile(tree_ + "/zdata/f" + std::to_string(100 + i), std::string(3000, 'z'));
    }
}

void SetupRunFixture::addProgram(const std::string& name, const std::string& sleep) {
    // What the program records shows the order of the runs, their arguments, and what the
    // temporary folders held while it ran.
    WriteWholeFile(tree_ + "/setup/" + name,
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

std::string SetupRunFixture::makeInstaller() {
    mkpackage::BuildPackage(SETUP_PROGRAM, tree_, installer_);
    return installer_;
}

std::string SetupRunFixture::makeInstallerWithPackage(const std::string& packageBytes) {
    WriteWholeFile(installer_, packageBytes);
    ::chmod(installer_.c_str(), 0755);
    return installer_;
}

SetupRunResult SetupRunFixture::Run(const std::vector<std::string>& arguments) {
    return Run(arguments, nullptr);
}

SetupRunResult SetupRunFixture::Run(const std::vector<std::string>& arguments,
                                    void (*whileRunning)(pid_t, const std::string&)) {
    fs::remove(logPath_);
    fs::remove(reportPath_);
    fs::remove(recordPath_);
    std::map<std::string, std::string> environment = environment_;
    environment["SETUP_TEST_HOOK"] = hook_;
    std::vector<std::string> command = {installer_};
    command.insert(command.end(), arguments.begin(), arguments.end());
    SetupProcess process(command, environment, cwd_);
    if (whileRunning != nullptr) {
        whileRunning(process.pid(), reportPath_);
    }
    SetupRunResult result;
    result.status = process.wait(std::chrono::seconds(60));
    result.log = LogMessages(logPath_);
    result.report = TextLines(reportPath_);
    result.record = TextLines(recordPath_);
    return result;
}

std::set<std::string> SetupRunFixture::scratchContents() const {
    const std::set<std::string> ignored = {
        tmp_,   logPath_,   reportPath_,       recordPath_,
        shots_, installer_, scratch_ / "home", scratch_ / "runtime"};
    std::set<std::string> contents;
    for (auto it = fs::recursive_directory_iterator(scratch_.path());
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

std::set<std::string> SetupRunFixture::tempContents() const {
    std::set<std::string> contents;
    for (const auto& item : fs::recursive_directory_iterator(tmp_)) {
        contents.insert(fs::relative(item.path(), tmp_).string());
    }
    return contents;
}

} // namespace setup::test

#pragma once

#include "setup/tests/ScratchFolder.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace setup::test {

// What one run of the setup program left: its exit status (nothing when it had to be killed),
// the install log's messages, the hook's report, and what the started programs recorded.
struct SetupRunResult {
    std::optional<int> status;
    std::vector<std::string> log;
    std::vector<std::string> report;
    std::vector<std::string> record;
};

// Runs of the real setup program in a scratch folder:
//   tree/          the folder that mkpackage packs; the usual package is made by SetUp
//   my installer/  the installer (a folder whose name holds a space)
//   tmp/           the system temporary folder of the run (TMPDIR)
//   cwd/           the current folder of the run
// The started programs append what they see to the record (SETUP_TEST_RECORD).
class SetupRunFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // The usual package: setup/setup.ini, a start bitmap, three programs keyed 1, 2 and 10,
    // and a folder "zdata" of 20 files after them.
    void makeTree(const std::string& configuration);
    // A program in tree/setup that records "start NAME ARGS", sleeps, and records "end NAME".
    void addProgram(const std::string& name, const std::string& sleep = "0.1");

    // Packs tree/ with mkpackage behind the setup program; returns the installer's path.
    std::string makeInstaller();
    // Writes a package's bytes behind the setup program; returns the installer's path.
    std::string makeInstallerWithPackage(const std::string& packageBytes);

    // Starts the installer with these arguments and waits for it (60 s at most).
    SetupRunResult Run(const std::vector<std::string>& arguments);
    // As Run, after which `whileRunning` gets the process id and the report path.
    SetupRunResult Run(const std::vector<std::string>& arguments,
                       void (*whileRunning)(pid_t, const std::string&));

    // Everything in the scratch folder except tmp/, the installer, the home and runtime
    // folders (where Qt keeps its own files) and the files that the run and the test write.
    std::set<std::string> scratchContents() const;
    // The names in tmp/, at any depth.
    std::set<std::string> tempContents() const;

    std::map<std::string, std::string> environment_;
    std::string hook_;

    ScratchFolder scratch_;
    std::string tree_ = scratch_ / "tree";
    std::string installer_ = scratch_ / "my installer/setup";
    std::string tmp_ = scratch_ / "tmp";
    std::string cwd_ = scratch_ / "cwd";
    std::string logPath_ = scratch_ / "ql_inst.log";
    std::string reportPath_ = scratch_ / "report";
    std::string recordPath_ = scratch_ / "record";
    std::string shots_ = scratch_ / "shots";
};

// The lines of a text file; empty when there is none.
std::vector<std::string> TextLines(const std::string& path);

} // namespace setup::test

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
    void MakeTree(const std::string& configuration);
    // A program in tree/setup that records "start NAME ARGS", sleeps, and records "end NAME".
    void AddProgram(const std::string& name, const std::string& sleep = "0.1");

    // Packs tree/ with mkpackage behind the setup program; returns the installer's path.
    std::string MakeInstaller();
    // Writes a package's bytes behind the setup program; returns the installer's path.
    std::string MakeInstallerWithPackage(const std::string& packageBytes);

    // Starts the installer with these arguments and waits for it (60 s at most).
    SetupRunResult Run(const std::vector<std::string>& arguments);
    // As Run, after which `whileRunning` gets the process id and the report path.
    SetupRunResult Run(const std::vector<std::string>& arguments,
                       void (*whileRunning)(pid_t, const std::string&));

    // Everything in the scratch folder except tmp/, the installer, the home and runtime
    // folders (where Qt keeps its own files) and the files that the run and the test write.
    std::set<std::string> ScratchContents() const;
    // The names in tmp/, at any depth.
    std::set<std::string> TempContents() const;

    std::map<std::string, std::string> m_environment;
    std::string m_hook;

    ScratchFolder m_scratch;
    std::string m_tree = m_scratch / "tree";
    std::string m_installer = m_scratch / "my installer/setup";
    std::string m_tmp = m_scratch / "tmp";
    std::string m_cwd = m_scratch / "cwd";
    std::string m_logPath = m_scratch / "ql_inst.log";
    std::string m_reportPath = m_scratch / "report";
    std::string m_recordPath = m_scratch / "record";
    std::string m_shots = m_scratch / "shots";
};

// The lines of a text file; empty when there is none.
std::vector<std::string> TextLines(const std::string& path);

} // namespace setup::test

#include "base/CalendarTime.h"
#include "base/HelperProgram.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/FormLoading.h"
#include "editor/core/LanguageFiles.h"
#include "editor/form/ConfigSheet.h"
#include "editor/form/DeviceModels.h"
#include "editor/sheet/SheetPdf.h"

#include <array>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--language", ArgValue::Text, "NAME", "English (the default), Italiano, Deutsch"},
};

// The folders of the program's own files: the executable's, then ../share/tarvik beside it,
// as the editor looks for them.
std::vector<std::filesystem::path> ProgramFolders() {
    const std::filesystem::path folder = RunningProgramFolder();
    if (folder.empty()) {
        return {};
    }
    return {folder, folder.parent_path() / "share" / "tarvik"};
}

// The language file of the language called name; nothing when no folder has one.
std::optional<std::string> FindLanguageFile(std::string_view name) {
    for (const auto& folder : ProgramFolders()) {
        for (const std::string& path : ListLanguageFiles(folder.string(), "LAN_*.ini", false)) {
            if (SameLanguage(LanguageName(path), name)) {
                return path;
            }
        }
    }
    return std::nullopt;
}

// Today's date as the sheet shows it, 2026-12-08.
std::string Today() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::tm local = base::LocalCalendarTime(now);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

int RunSheet(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    LanguageTable language;
    const std::string_view chosen = args.value("--language").value_or(kBuiltInLanguage);
    if (!SameLanguage(chosen, kBuiltInLanguage)) {
        const auto file = FindLanguageFile(chosen);
        if (!file || !language.loadFile(*file)) {
            ReportProblem(chosen, "no such language", io.err);
            return exitUsage;
        }
    }
    // The language comes first: the form translates its lists as the model is applied.
    ProgramDocument doc{kDefaultModelIndex};
    FormModel form(doc, language);
    const std::string path(args.operands[0]);
    if (!OpenIntoForm(form, path, std::nullopt, io)) {
        return exitUsage;
    }
    form.translateGridHeaders();
    const std::string shownName =
        path == "-" ? std::string() : std::filesystem::path(path).filename().string();
    const ConfigSheet sheet = BuildConfigSheet(form, language, shownName, Today());
    const std::string output(args.operands[1]);
    std::string error;
    if (!WriteSheetPdf(sheet, output, error)) {
        ReportProblem(output, error, io.err);
        return exitUsage;
    }
    return exitOk;
}

} // namespace

const CliCommand sheetCommand{
    .name = "sheet",
    .arguments = "[--language NAME] FILE.sim OUT.pdf",
    .summary = "write the configuration sheet as a PDF",
    .description = "Writes the configuration sheet of the program to OUT.pdf, as the editor\n"
                   "prints it: the device model, the file's name, today's date and the notes,\n"
                   "then each page of the form with the settings it has, as tables; settings\n"
                   "left as a new program has them are not listed. --language chooses the\n"
                   "language of the sheet's texts, from the language files installed with the\n"
                   "program.",
    .options = options,
    .operands = {.min = 2, .max = 2, .first = {ArgValue::File}, .rest = {ArgValue::File}},
    .run = RunSheet,
};

} // namespace tarvik::cli

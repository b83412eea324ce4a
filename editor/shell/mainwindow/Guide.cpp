#include "editor/shell/mainwindow/Guide.h"

#include "editor/core/LanguageFiles.h"
#include "editor/form/DeviceModels.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/ResourceFolders.h"
#include "editor/shell/widgets/QtText.h"

#include <QDir>
#include <QFileInfo>

namespace tarvik {
namespace {

constexpr std::string_view kGuideNotOpened = "The guide cannot be opened:";
constexpr std::string_view kNoPdfProgram = "No program for PDF files was found";
constexpr std::string_view kGuideMissing = "The guide is missing:";
constexpr std::string_view kOpenFolder = "Open folder";

} // namespace

std::string_view ManualPrefix(int modelIndex) {
    const auto models = DeviceModels();
    if (modelIndex < 0) {
        return {};
    }
    const auto place = static_cast<std::size_t>(modelIndex % 4);
    return place < models.size() ? models[place].manualPrefix : std::string_view();
}

void ShowNotOpened(const QString& path, std::string_view failed, std::string_view why,
                   Prompts& prompts, const LanguageTable& language) {
    const QString text = Translated(language, failed) + QLatin1Char('\n') +
                         QDir::toNativeSeparators(path) + QLatin1Char('\n') +
                         Translated(language, why);
    if (prompts.ShowErrorOfferingFolder(text, Translated(language, kOpenFolder))) {
        prompts.OpenDocument(QFileInfo(path).absolutePath());
    }
}

void OpenGuide(const ResourceFolders& folders, int modelIndex, std::string_view manualName,
               Prompts& prompts, const LanguageTable& language) {
    const std::string_view prefix = ManualPrefix(modelIndex);
    for (const std::string& name : ManualCandidates(prefix, manualName)) {
        if (const auto path = folders.Find(FromWindows1252(name))) {
            if (!prompts.OpenDocument(*path)) {
                ShowNotOpened(*path, kGuideNotOpened, kNoPdfProgram, prompts, language);
            }
            return;
        }
    }
    const std::string english = std::string(prefix) + std::string(kEnglishManual);
    prompts.ShowError(Translated(language, kGuideMissing) + QLatin1Char(' ') +
                      FromWindows1252(english));
}

} // namespace tarvik

#include "editor/shell/mainwindow/Guide.h"

#include "editor/core/LanguageFiles.h"
#include "editor/form/DeviceModels.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/ResourceFolders.h"
#include "editor/shell/widgets/QtText.h"

namespace tarvik {

std::string_view ManualPrefix(int modelIndex) {
    const auto models = DeviceModels();
    if (modelIndex < 0) {
        return {};
    }
    const auto place = static_cast<std::size_t>(modelIndex % 4);
    return place < models.size() ? models[place].manualPrefix : std::string_view();
}

void OpenGuide(const ResourceFolders& folders, int modelIndex, std::string_view manualName,
               Prompts& prompts) {
    const std::string_view prefix = ManualPrefix(modelIndex);
    for (const std::string& name : ManualCandidates(prefix, manualName)) {
        if (const auto path = folders.Find(FromWindows1252(name))) {
            if (!prompts.OpenDocument(*path)) {
                prompts.ShowError(QStringLiteral("Acrobat Reader not found"));
            }
            return;
        }
    }
    const std::string english = std::string(prefix) + std::string(kEnglishManual);
    prompts.ShowError(FromWindows1252(english) + QStringLiteral(" not found"));
}

} // namespace tarvik

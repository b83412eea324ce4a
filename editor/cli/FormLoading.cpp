#include "editor/cli/FormLoading.h"

#include "editor/cli/CliSupport.h"

namespace tarvik::cli {

bool OpenIntoForm(FormModel& form, const std::string& path, std::optional<int> model, CliIo& io) {
    if (!LoadDocument(form.document(), path, io, form.documentHooks())) {
        return false;
    }
    if (model) {
        form.chooseDeviceMenuItem(*model);
    }
    return true;
}

} // namespace tarvik::cli

#include "editor/form/DeviceModels.h"

namespace tarvik {

std::span<const DeviceModel> DeviceModels() {
    static constexpr DeviceModel models[] = {
        {"LX5", "Dev1", '5', "LX5_", false, false},
        {"TQ4+ 1.7", "Dev2", '7', "TQ4+_", false, true},
        {"TQ4+ BARRIER", "Dev3", 'B', "BARRIER_", true, true},
    };
    return models;
}

bool ModelAllows(std::string_view marker, int modelIndex) {
    if (marker.empty()) {
        return true;
    }
    const auto models = DeviceModels();
    if (modelIndex < 0 || modelIndex >= static_cast<int>(models.size())) {
        return false;
    }
    return marker.find(models[modelIndex].code) != std::string_view::npos;
}

} // namespace tarvik

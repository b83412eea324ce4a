#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tarvik {

// One model of the communicator that the editor serves.
struct DeviceModel {
    std::string_view name;         // item of CBDevice and caption of its menu item
    std::string_view menuItem;     // Dev1..Dev3
    char code;                     // matched against the fields' model markers
    std::string_view manualPrefix; // file name prefix of the model's manual
    bool barrierTab;               // shows the "BARRIER Telephone" page
    bool ledOutputs;               // names the output functions 237..240 after the LEDs
};

// The models in the order of CBDevice.
std::span<const DeviceModel> DeviceModels();

// The model index the editor starts with.
inline constexpr int kDefaultModelIndex = 2;

// Texts of the output combo items 3..6: plain for a model without LED functions (and in
// the field table), named functions of the LEDs (translated) for the others.
inline constexpr std::array<std::string_view, 4> kPlainOutputItems = {"237 -", "238 -", "239 -",
                                                                      "240 -"};
inline constexpr std::array<std::string_view, 4> kLedOutputItems = {
    "237 - Vertical GREEN Led (Inverted)", "238 - Vertical GREEN Led",
    "239 - Vertical BLUE Led (Inverted)", "240 - Vertical BLUE Led"};
inline constexpr int kFirstModelOutputItem = 3;

// Texts of the input mode items 5..7 as the field table holds them; translated on every
// model change.
inline constexpr std::array<std::string_view, 3> kResetSmsInputItems = {
    "NO (GND) + Reset SMS", "NC + Reset SMS", "NO (+12V) + Reset SMS"};
inline constexpr int kFirstResetSmsInputItem = 5;

// True when a field with this marker may be edited under model index (-1: none chosen).
bool ModelAllows(std::string_view marker, int modelIndex);

} // namespace tarvik

#pragma once

#include "editor/form/FormModel.h"
#include "program/ProgramDocument.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::fuzz {

// Everything the form shows, as one string: every field as a widget would show it (text,
// check, item and item texts, whether it may be edited), a digest of every grid cell, the
// model and the page it shows or hides. One string rather than a copy of every part keeps a
// fuzz run fast.
class FormSnapshot {
public:
    explicit FormSnapshot(const FormModel& form) {
        bytes_.reserve(8 * 1024);
        const FieldModel& model = form.fields();
        for (int f = 0; f < model.size(); ++f) {
            const FieldState& s = model.state(f);
            add(s.text);
            add(std::string_view(reinterpret_cast<const char*>(&s.itemIndex), sizeof s.itemIndex));
            for (const std::string& item : s.items) {
                add(item);
            }
            bytes_ += {s.checked ? 'c' : '-', s.readOnly ? 'r' : '-', s.enabled ? 'e' : '-',
                       s.grey ? 'g' : '-'};
        }
        // The grids hold three thousand cells, mostly empty: a digest of each keeps a
        // snapshot cheap enough to take several times for every input.
        for (const StringGrid* grid : {&form.rampGrid(), &form.trGrid()}) {
            std::uint64_t digest = 0;
            for (const std::string& cell : grid->cells()) {
                digest = digest * 1099511628211U + std::hash<std::string_view>{}(cell);
            }
            add(std::string_view(reinterpret_cast<const char*>(&digest), sizeof digest));
        }
        const int device = form.deviceIndex();
        add(std::string_view(reinterpret_cast<const char*>(&device), sizeof device));
        bytes_ += form.barrierTabVisible() ? 'b' : '-';
    }
    bool operator==(const FormSnapshot&) const = default;

private:
    // Each part with its length, so that no two different forms give the same string.
    void add(std::string_view part) {
        const auto length = static_cast<std::uint32_t>(part.size());
        bytes_.append(reinterpret_cast<const char*>(&length), sizeof length);
        bytes_ += part;
    }

    std::string bytes_;
};

// The document as a file keeps it, and the remote text the window shows of it.
struct DocumentSnapshot {
    std::vector<std::string> program;
    std::vector<std::string> notes;
    std::string remoteText;
    int modelIndex = 0;
    bool modified = false;

    explicit DocumentSnapshot(const ProgramDocument& doc)
        : program(doc.program.text().lines()), notes(doc.notes),
          remoteText(doc.program.remoteText()), modelIndex(doc.modelIndex), modified(doc.modified) {
    }
    bool operator==(const DocumentSnapshot&) const = default;
};

} // namespace tarvik::fuzz

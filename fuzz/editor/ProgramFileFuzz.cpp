// Program files, opened as the window opens them, with the form's steps (the model applied,
// the program decoded). Any bytes either open or are refused:
// - a refused file leaves the document and the form exactly as they were;
// - an opened one never raises the model, clears Modified, and shows in the form what a
//   second decode of its text shows;
// - what is saved of it opens again to the same notes, program, model and form.
#include "editor/form/DeviceModels.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/editor/FormSnapshot.h"
#include "fuzz/editor/ReusedForm.h"
#include "program/DocumentFiles.h"
#include "program/LanguageTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    using fuzz::Check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A document with something in every part, which a refused open must keep; the middle
    // model, so that a file could be seen to raise it.
    fuzz::ReusedForm& window = fuzz::ReusedForm::Of(1);
    FormModel& form = window.reset({"IP2=3", "OA11=21", "RED=5", "RR123:5=0039333", "TL1=0039123"});
    ProgramDocument& doc = window.doc();
    doc.notes = {"keep these notes"};
    doc.modified = true;
    const fuzz::DocumentSnapshot docBefore(doc);
    const fuzz::FormSnapshot formBefore(form);

    const FileResult result = OpenDocumentContent(doc, bytes, form.documentHooks());
    if (!result.ok) {
        Check(result.messages == std::vector<std::string>{std::string(kInvalidFileFormat)},
              "a refused file says Invalid file format");
        Check(fuzz::DocumentSnapshot(doc) == docBefore,
              "a refused file leaves the document untouched");
        Check(fuzz::FormSnapshot(form) == formBefore, "a refused file leaves the form untouched");
        return 0;
    }
    Check(!doc.modified, "an opened file clears modified");
    Check(doc.modelIndex <= docBefore.modelIndex && form.deviceIndex() == doc.modelIndex,
          "a file never raises the model, and the form shows the model");
    const fuzz::FormSnapshot opened(form);
    const fuzz::DocumentSnapshot openedDoc(doc);
    form.decodeProgram();
    Check(fuzz::FormSnapshot(form) == opened, "the form shows what its text says");
    Check(fuzz::DocumentSnapshot(doc) == openedDoc, "decoding never writes");

    // Saved and opened again, in a window that shows the highest model.
    const std::string saved = DocumentFileBytes(doc);
    FormModel& againForm = fuzz::ReusedForm::Of(kDefaultModelIndex, 1).reset();
    ProgramDocument& again = fuzz::ReusedForm::Of(kDefaultModelIndex, 1).doc();
    Check(OpenDocumentContent(again, saved, againForm.documentHooks()).ok,
          "a saved document opens");
    // A notes line reading SIM-PRG ends the notes when the file is opened again.
    if (std::find(doc.notes.begin(), doc.notes.end(), "SIM-PRG") == doc.notes.end()) {
        Check(fuzz::DocumentSnapshot(again) == fuzz::DocumentSnapshot(doc),
              "what is saved reads back equal");
        Check(fuzz::FormSnapshot(againForm) == opened, "and shows the same form");
    }
    return 0;
}

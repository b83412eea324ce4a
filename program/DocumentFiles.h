#pragma once

#include "program/ProgramDocument.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The untranslated message texts of the file commands.
inline constexpr std::string_view kDiskError = "DISK ERROR";
inline constexpr std::string_view kInvalidFileFormat = "Invalid file format";
// Why a file is refused with "Invalid file format", for a command line.
inline constexpr std::string_view kNotAProgramFile = "not a program file";

// What a file command did: ok, or the error texts the window must show, in order, and why
// it failed in words for a command line ("No such file or directory", "not a program
// file"), which the window does not show.
struct FileResult {
    bool ok = true;
    std::vector<std::string> messages;
    std::string reason;
};

// Steps of the file commands that belong to the form; either may be left empty.
struct DocumentHooks {
    // Applies the selected model to the form. Open calls it after setting the model index
    // and emptying the program and the notes.
    std::function<void(ProgramDocument&)> applyModel;
    // Rebuilds the form from the program text. New calls it on the emptied program, Open
    // on the loaded one.
    std::function<void(ProgramDocument&)> decode;
};

// Empties the notes and the program (which sets modified), decodes the empty program,
// empties the remote text and forgets the file name. The model stays.
FileResult NewDocument(ProgramDocument& doc, const DocumentHooks& hooks = {});

// Opens the program file at path. fileName takes the path at once. A file that cannot be
// read gives "DISK ERROR" and is then treated as empty. A content that is not a program
// document gives "Invalid file format" and leaves program, notes, model and modified as they
// were. Otherwise the model is lowered to the file's model (never raised), notes and
// program are replaced, the form is decoded, the remote text rebuilt and modified cleared.
FileResult OpenDocument(ProgramDocument& doc, const std::string& path,
                        const DocumentHooks& hooks = {});

// Open's steps after the file was read: loads the scrambled content into doc.
FileResult OpenDocumentContent(ProgramDocument& doc, std::string_view content,
                               const DocumentHooks& hooks = {});

// Stores doc as the program file at path, which becomes fileName. The old file is replaced
// only once the new content is completely on disk. A failed write gives "DISK ERROR" and
// keeps modified set, since the changes are not saved; a successful one clears it.
FileResult SaveDocument(ProgramDocument& doc, const std::string& path);

// The exact bytes a save writes: the scrambled plain document and CR LF.
std::string DocumentFileBytes(const ProgramDocument& doc);

} // namespace tarvik

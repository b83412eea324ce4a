#include "program/DocumentFiles.h"

#include "program/FileBytes.h"
#include "program/ProgramFile.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

namespace tarvik {
namespace {

FileResult Failure(std::vector<std::string> messages, std::string reason) {
    return FileResult{false, std::move(messages), std::move(reason)};
}

} // namespace

FileResult NewDocument(ProgramDocument& doc, const DocumentHooks& hooks) {
    doc.notes.clear();
    doc.program.text().clear();
    if (hooks.decode) {
        hooks.decode(doc);
    }
    doc.program.BuildRemoteText();
    doc.FileName.clear();
    return {};
}

FileResult OpenDocument(ProgramDocument& doc, const std::string& path, const DocumentHooks& hooks) {
    doc.FileName = path;
    std::error_code error;
    const std::optional<std::string> content = ReadFileBytes(path, error);
    FileResult result = OpenDocumentContent(doc, content.value_or(std::string()), hooks);
    if (!content) {
        result.ok = false;
        result.messages.insert(result.messages.begin(), std::string(kDiskError));
        result.reason = error.message();
    }
    return result;
}

FileResult OpenDocumentContent(ProgramDocument& doc, std::string_view content,
                               const DocumentHooks& hooks) {
    std::optional<PlainDocument> plain = ParsePlainDocument(UnscrambleText(content));
    if (!plain) {
        return Failure({std::string(kInvalidFileFormat)}, std::string(kNotAProgramFile));
    }

    doc.program.text().clear();
    doc.notes.clear();
    doc.modelIndex = std::min(doc.modelIndex, plain->modelIndex);
    if (hooks.applyModel) {
        hooks.applyModel(doc);
    }
    doc.notes = std::move(plain->notes);
    doc.program.text().assign(std::move(plain->program));
    if (hooks.decode) {
        hooks.decode(doc);
    }
    doc.program.BuildRemoteText();
    doc.Modified = false;
    return {};
}

std::string DocumentFileBytes(const ProgramDocument& doc) {
    return ScrambleText(BuildPlainDocument(doc.modelIndex, doc.notes, doc.program.text().lines())) +
           "\r\n";
}

FileResult SaveDocument(ProgramDocument& doc, const std::string& path) {
    doc.FileName = path;
    std::error_code error;
    if (!WriteFileReplacing(path, DocumentFileBytes(doc), error)) {
        return Failure({std::string(kDiskError)}, error.message());
    }
    doc.Modified = false;
    return {};
}

} // namespace tarvik

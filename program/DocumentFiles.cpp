#include "program/DocumentFiles.h"

#include "base/Files.h"
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
    doc.program.buildRemoteText();
    doc.fileName.clear();
    return {};
}

FileResult OpenDocument(ProgramDocument& doc, const std::string& path, const DocumentHooks& hooks) {
    doc.fileName = path;
    const base::FileResult<std::string> content = base::ReadWholeFile(base::PathFromUtf8(path));
    FileResult result = OpenDocumentContent(doc, content ? *content : std::string(), hooks);
    if (!content) {
        result.ok = false;
        result.messages.insert(result.messages.begin(), std::string(kDiskError));
        result.reason = content.error().reason.message();
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
    doc.program.buildRemoteText();
    doc.modified = false;
    return {};
}

std::string DocumentFileBytes(const ProgramDocument& doc) {
    return ScrambleText(BuildPlainDocument(doc.modelIndex, doc.notes, doc.program.text().lines())) +
           "\r\n";
}

FileResult SaveDocument(ProgramDocument& doc, const std::string& path) {
    doc.fileName = path;
    if (const base::FileResult<void> saved =
            base::ReplaceFileContent(base::PathFromUtf8(path), DocumentFileBytes(doc));
        !saved) {
        return Failure({std::string(kDiskError)}, saved.error().reason.message());
    }
    doc.modified = false;
    return {};
}

} // namespace tarvik

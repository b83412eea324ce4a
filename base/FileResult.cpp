#include "base/FileResult.h"

namespace tarvik::base {
namespace {

class FileFaultCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "file"; }
    std::string message(int fault) const override {
        switch (static_cast<FileFault>(fault)) {
        case FileFault::NotRegularFile:
            return "Not a regular file";
        case FileFault::ReplacedWhileWritten:
            return "The file was replaced while it was written";
        case FileFault::NoFreeName:
            return "Every name tried is taken";
        }
        return "Unknown file error";
    }
};

} // namespace

std::string FileError::message() const {
    return path.empty() ? reason.message() : path + ": " + reason.message();
}

std::error_code MakeFileFault(FileFault fault) {
    static const FileFaultCategory category;
    return {static_cast<int>(fault), category};
}

} // namespace tarvik::base

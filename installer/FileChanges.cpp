#include "installer/FileChanges.h"

#include "installer/WindowsPath.h"

namespace installer {

Status FileChanges::makeFolders(std::string_view folder) {
    std::vector<std::string> missing;
    for (std::string above(folder); !above.empty() && !files_.isFolder(above);
         above = ParentFolder(above)) {
        missing.push_back(above);
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        if (Status made = files_.makeFolder(*folder); !made.ok()) {
            return made;
        }
        steps_.push_back({StepKind::MadeFolder, *folder, {}});
    }
    return {};
}

Status FileChanges::stage(std::string_view target, const Producer& produce) {
    std::string staged = std::string(target) + std::string(stagedSuffix);
    // One left by an install that was cut off.
    if (files_.exists(staged)) {
        if (Status removed = files_.removeFile(staged); !removed.ok()) {
            return removed;
        }
    }
    Status produced = produce(staged);
    if (files_.exists(staged)) {
        steps_.push_back({StepKind::Staged, staged, {}});
    }
    if (produced.ok()) {
        staged_.emplace_back(std::move(staged), std::string(target));
    }
    return produced;
}

Status FileChanges::moveAside(const std::string& target) {
    const std::string aside = target + std::string(asideSuffix);
    if (files_.exists(aside)) {
        if (Status removed = files_.removeFile(aside); !removed.ok()) {
            return removed;
        }
    }
    if (Status moved = files_.moveFile(target, aside); !moved.ok()) {
        return moved;
    }
    steps_.push_back({StepKind::MovedAside, target, aside});
    return {};
}

Status FileChanges::discard(std::string_view target) {
    const std::string path(target);
    return files_.exists(path) ? moveAside(path) : Status{};
}

Status FileChanges::swapIn() {
    for (const auto& [staged, target] : staged_) {
        if (files_.exists(target)) {
            if (Status aside = moveAside(target); !aside.ok()) {
                return aside;
            }
        }
        if (Status moved = files_.moveFile(staged, target); !moved.ok()) {
            return moved;
        }
        steps_.push_back({StepKind::MovedIn, target, staged});
    }
    staged_.clear();
    return {};
}

void FileChanges::rollBack() {
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
        switch (step->kind) {
        case StepKind::MadeFolder:
            (void)files_.removeFolder(step->path);
            break;
        case StepKind::Staged:
            (void)files_.removeFile(step->path);
            break;
        case StepKind::MovedAside:
            (void)files_.moveFile(step->other, step->path);
            break;
        case StepKind::MovedIn:
            (void)files_.moveFile(step->path, step->other);
            break;
        }
    }
    steps_.clear();
    staged_.clear();
}

std::vector<std::string> FileChanges::finish() {
    std::vector<std::string> kept;
    for (const Step& step : steps_) {
        if (step.kind == StepKind::MovedAside && !files_.removeFile(step.other).ok()) {
            kept.push_back(step.other);
        }
    }
    steps_.clear();
    staged_.clear();
    return kept;
}

} // namespace installer

#pragma once

#include <string>

namespace setup {

// Deletes the folder at `path` with everything inside it, except items whose names begin
// with "." (a folder holding such an item stays, with that item). Works on open folder
// handles and the *at calls and never follows a symbolic link: a link inside the tree is
// deleted as a file, and a link in place of the folder itself is refused. A folder the owner
// cannot list or change is given the owner's permissions first. True when the folder itself
// is gone.
bool DeleteFolderTreeSkippingDotNames(const std::string& path);

} // namespace setup

#pragma once

#include <string>
#include <string_view>

namespace tarvik {

class Prompts;
class ResourceFolders;

// The manual prefix of the device model at modelIndex, taken modulo 4 ("LX5_", "TQ4+_",
// "BARRIER_"); empty for the fourth place and for no model at all (-1).
std::string_view ManualPrefix(int modelIndex);

// Help > Guide: opens prefix + manualName (Windows-1252 text, as the program's texts are),
// or prefix + the English manual when the chosen
// language has none, with the desktop's program for PDF files. Says which file is missing,
// or that no program opens it, in untranslated error boxes.
void OpenGuide(const ResourceFolders& folders, int modelIndex, std::string_view manualName,
               Prompts& prompts);

} // namespace tarvik

#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tarvik {

class LanguageTable;
class Prompts;
class ResourceFolders;

// The manual prefix of the device model at modelIndex, taken modulo 4 ("LX5_", "TQ4+_",
// "BARRIER_"); empty for the fourth place and for no model at all (-1).
std::string_view ManualPrefix(int modelIndex);

// Help > Guide: opens prefix + manualName (Windows-1252 text, as the program's texts are),
// or prefix + the English manual when the chosen
// language has none, with the desktop's program for PDF files. Says which file is missing,
// or, naming the file, that no program opens it and offers to show its folder; the texts
// translated through language.
void OpenGuide(const ResourceFolders& folders, int modelIndex, std::string_view manualName,
               Prompts& prompts, const LanguageTable& language);

// Tells that no program opened the file at path, in words that start with failed and say
// why (translated through language), and shows the file's folder when the user asks.
void ShowNotOpened(const QString& path, std::string_view failed, std::string_view why,
                   Prompts& prompts, const LanguageTable& language);

} // namespace tarvik

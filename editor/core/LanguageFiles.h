#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The list of languages: the language files a folder offers, the language each names and
// the manuals that go with it. Reading a file is LanguageTable's; translating a window the
// shell's WindowTranslator.

// The manual shown until a language is chosen, and the one sought when the chosen
// language has none.
inline constexpr std::string_view kEnglishManual = "Man_English.pdf";
// The caption of the language built into the program.
inline constexpr std::string_view kBuiltInLanguage = "English";

// The paths of the entries of folder that match pattern (shell wildcards * and ?, letters in
// either case) and whose
// full path, with a..z upper-cased, contains "LAN_": plain files (hidden ones too), or with
// directoriesOnly the folders. Each path is folder + separator + name; they come sorted by
// name. An empty or unreadable folder gives nothing.
std::vector<std::string> ListLanguageFiles(std::string_view folder, std::string_view pattern,
                                           bool directoriesOnly);

// The language a file offers: its name without the folder, the first four and the last four
// characters ("/x/LAN_Italiano.ini" gives "Italiano"). Empty when the name is too short.
std::string LanguageName(std::string_view path);

// The manual of a language: "Man_" + name + ".pdf".
std::string ManualName(std::string_view languageName);

// True when two language names are the same once a..z are upper-cased in both.
bool SameLanguage(std::string_view a, std::string_view b);

// The manual files to try, in order: the model's manual prefix (from the device models)
// + manualName, then prefix + the English manual (once, when manualName is the English
// one).
std::vector<std::string> ManualCandidates(std::string_view prefix, std::string_view manualName);

} // namespace tarvik

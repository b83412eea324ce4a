#pragma once

#include "editor/form/FieldDef.h"

#include <span>
#include <string_view>

namespace tarvik {

// Every field of the form, in the order of the pages and groups, with where it sits. The
// field model, the decoding, the handlers' dispatch, the command line and the window all
// work from this one table.
std::span<const FieldDef> FieldTable();

// The group boxes of the pages, each once; fields name theirs by its caption.
std::span<const GroupDef> FormGroups();

// Position of the named field in FieldTable(), or -1.
int FindField(std::string_view name);

// Caption of a page of the form ("" for Tab::None).
std::string_view TabCaption(Tab tab);

// The pages of the form in their order.
std::span<const Tab> FormTabs();

} // namespace tarvik

// The DXF reader's and writer's shared helpers: group values as text, and an
// entity's fields to and from its groups. Not part of the model's interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "drawing.h"

namespace standin::dxf {

using Groups = std::vector<std::pair<int, std::string>>;

std::string_view trim(std::string_view s);
bool parseDouble(std::string_view s, double* out);
bool parseInt(std::string_view s, long long* out);
bool parseHex(std::string_view s, std::uint64_t* out);
// Shortest text that reads back as the same double, with a decimal point.
std::string formatDouble(double v);
std::string formatHex(std::uint64_t v);

// The model's paths are UTF-8, whatever the system's narrow code page.
std::filesystem::path filePath(const std::string& utf8);

// Index of the first group after the entity's own ones: the start of the
// VERTEX/ATTRIB/SEQEND entities that belong to it, or groups.size().
std::size_t ownGroupsEnd(const Groups& groups);

// The most bytes one group of an MTEXT's string holds; a longer string goes
// into groups 3 of this size and a last group 1.
inline constexpr std::size_t kMTextChunkBytes = 250;

// Fills the entity's fields from its groups, strings decoded from codePage.
void readFields(Entity& e, int codePage);

// The groups of a modified LINE, LWPOLYLINE or TEXT, from its fields and what
// of its old groups the fields do not hold (colour, linetype, owner, xdata...);
// of an MTEXT, its old groups with the fields' values put in.
// subclassMarkers: the file is R2000 or later and needs the 100 groups.
Groups writeFields(const Entity& e, int codePage, bool subclassMarkers);

// The entity types whose fields the writer can regenerate.
bool isEditableType(std::string_view type);

}  // namespace standin::dxf

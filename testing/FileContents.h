#pragma once

#include <filesystem>
#include <string>

namespace tarvik::testing {

// The whole file as bytes; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& path);

// Replaces the file's contents with `bytes`, making it when it is missing.
void WriteAll(const std::filesystem::path& path, const std::string& bytes);

} // namespace tarvik::testing

#pragma once

// Shared by the benchmark programs: a whole file as bytes.

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace kinloom::bench {

/// The file's bytes, or nothing when it cannot be opened.
inline std::optional<std::string> readWholeFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

} // namespace kinloom::bench

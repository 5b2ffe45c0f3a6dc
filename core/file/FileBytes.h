#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace kinloom {

/// The bytes a file was read into, held without an extra copy.
struct FileBytes {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    std::string_view view() const { return std::string_view(bytes.get(), size); }
};

} // namespace kinloom

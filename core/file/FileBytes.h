#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace kinloom {

/// The bytes of a file: a regular file's own pages mapped read-only, or a
/// copy read into memory (a pipe's, an archive member's). Either way held
/// without a further copy, and given back when the holder ends.
struct FileBytes {
    /// A read-only mapping, unmapped when it ends.
    class Mapping {
      public:
        Mapping() = default;
        Mapping(const void* address, std::size_t length) : address_(address), length_(length) {}
        Mapping(Mapping&& other) noexcept : address_(other.address_), length_(other.length_) {
            other.address_ = nullptr;
        }
        Mapping& operator=(Mapping&& other) noexcept {
            std::swap(address_, other.address_);
            std::swap(length_, other.length_);
            return *this;
        }
        ~Mapping();
        const char* data() const { return static_cast<const char*>(address_); }

      private:
        const void* address_ = nullptr;
        std::size_t length_ = 0;
    };

    std::unique_ptr<char[]> bytes; // the copy; null when mapped
    std::size_t size = 0;
    Mapping mapping;
    std::string_view view() const { return std::string_view(bytes ? bytes.get() : mapping.data(), size); }
};

} // namespace kinloom

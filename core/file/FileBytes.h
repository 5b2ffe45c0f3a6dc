#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace kinloom {

/// The bytes of a file: a regular file's own pages mapped read-only, or a
/// copy read into memory (a pipe's, an archive member's). Either way held
/// without a further copy, and given back when the holder ends.
struct FileBytes {
    /// A read-only mapping of a file, unmapped when it ends. One at a time
    /// is guarded: where the file is cut short while it is mapped, reading
    /// past its new end finds zeros instead of ending the process, and
    /// lostPages() tells.
    class Mapping {
      public:
        Mapping() = default;
        /// Maps the open file's first length bytes (not 0); empty when the
        /// file cannot be mapped, or another guarded mapping is alive.
        Mapping(int fd, std::size_t length);
        Mapping(Mapping&& other) noexcept : address_(other.address_), length_(other.length_) {
            other.address_ = nullptr;
        }
        Mapping& operator=(Mapping&& other) noexcept {
            std::swap(address_, other.address_);
            std::swap(length_, other.length_);
            return *this;
        }
        ~Mapping();
        explicit operator bool() const { return address_ != nullptr; }
        const char* data() const { return static_cast<const char*>(address_); }
        /// Whether a page read had gone from the file.
        bool lostPages() const;

      private:
        void* address_ = nullptr;
        std::size_t length_ = 0;
    };

    std::unique_ptr<char[]> bytes; // the copy; null when mapped
    std::size_t size = 0;
    Mapping mapping;
    std::string_view view() const { return std::string_view(bytes ? bytes.get() : mapping.data(), size); }
};

} // namespace kinloom

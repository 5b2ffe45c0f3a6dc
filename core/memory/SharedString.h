#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kinloom {

class LoadArena;

/// Text throughout Kinloom is UTF-16: lengths, positions and comparisons count
/// code units.
using String = std::u16string;
using StringView = std::u16string_view;

/// An immutable UTF-16 string shared by reference count, eight bytes a holder.
/// Node names, values and keys are held this way. A default-constructed
/// SharedString is absent (null), which is not the same as empty.
///
/// The count is a plain integer: a string and all its copies belong to one
/// thread at a time. A thread may hand strings to another only where the
/// two synchronise (a load's helper thread hands its lines over when it is
/// joined). Debug builds assert that the count never goes below zero.
class SharedString {
  public:
    SharedString() = default;
    SharedString(std::nullptr_t) {}
    /// Copies the text; the result is present even when the text is empty.
    SharedString(StringView text);
    SharedString(const String& text) : SharedString(StringView(text)) {}
    SharedString(const char16_t* text) : SharedString(StringView(text)) {}
    /// A copy of a slice (see inArena) is a copy of its text: only the line
    /// that holds a slice is sure to live as long as the text it points into.
    SharedString(const SharedString& other) : rep_(other.rep_) {
        if (isSlice()) {
            rep_ = nullptr;
            *this = SharedString(other.view());
        } else {
            retain();
        }
    }
    SharedString(SharedString&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    // Most strings that die are moved-from or absent: no call for those.
    ~SharedString() {
        if (rep_) release();
    }
    SharedString& operator=(SharedString other) noexcept {
        std::swap(rep_, other.rep_);
        return *this;
    }

    /// A copy that stays a slice where the other is one, for a holder that
    /// lives no longer than the line holding the slice (a record's parsed
    /// name of its own NAME line); otherwise the same as a copy.
    static SharedString borrowed(const SharedString& other) {
        SharedString made;
        made.rep_ = other.rep_;
        if (!made.isSlice()) made.retain();
        return made;
    }

    /// A shared copy of a short, frequent text (a tag, an attribute key) from
    /// the process's InternTable: equal texts share one allocation. Those
    /// strings live as long as the process and are never counted, so copies
    /// of them may end on any thread. A text the table does not take is
    /// copied.
    /// A part of the other's text (a view into it) as borrowed gives it: a
    /// slice where the other is one, otherwise a copy of the part.
    static SharedString borrowedPart(const SharedString& other, StringView part);

    static SharedString interned(StringView text);
    /// A copy of the text that is never counted nor freed (see interned).
    static SharedString immortal(StringView text);
    /// The text for a line made in the arena: where the arena keeps the text
    /// the view lies in (see KeptText), a slice of it, eight bytes that point
    /// into it; else a copy in the arena's memory (the heap when it is too
    /// long for the arena). Either behaves as any other SharedString.
    static SharedString inArena(StringView text, LoadArena& arena);

    bool isNull() const { return rep_ == nullptr; }
    /// Whether the string is a slice (see inArena): eight bytes with bit 0
    /// set, owning nothing, so a holder may keep it in a tagged word.
    bool isSlice() const { return reinterpret_cast<std::uintptr_t>(rep_) & sliceTag; }
    explicit operator bool() const { return rep_ != nullptr; }
    /// The text; empty when absent.
    StringView view() const {
        if (isSlice()) return StringView(sliceData(), sliceLength());
        return rep_ ? StringView(rep_->data, rep_->length) : StringView();
    }
    operator StringView() const { return view(); }
    String str() const { return String(view()); }
    std::size_t size() const {
        if (isSlice()) return sliceLength();
        return rep_ ? rep_->length : 0;
    }
    bool empty() const { return size() == 0; }
    char16_t operator[](std::size_t i) const { return view()[i]; }

    /// Equal when both are absent, or both present with the same code units.
    friend bool operator==(const SharedString& a, const SharedString& b) {
        if (a.rep_ == b.rep_) return true;
        if (!a.rep_ || !b.rep_) return false;
        return a.view() == b.view();
    }
    /// An absent string equals no text, not even the empty one.
    friend bool operator==(const SharedString& a, StringView b) { return a.rep_ && a.view() == b; }
    friend bool operator==(const SharedString& a, const char16_t* b) { return a == StringView(b); }

  private:
    struct Rep {
        // The top bit marks a text made in a LoadArena, the next one a text
        // that is never counted.
        std::uint32_t refs;
        std::uint32_t length;
        char16_t data[1];
    };
    void retain() const {
        if (rep_ && !(rep_->refs & immortalFlag)) ++rep_->refs;
    }
    // A slice is no Rep: its bit 0 is set, bits 1-47 hold the address of the
    // text (a code unit's address is even) and bits 48-63 its length.
    static constexpr std::uintptr_t sliceTag = 1;
    static constexpr int sliceLengthShift = 48;
    const char16_t* sliceData() const {
        constexpr std::uintptr_t addressBits = (std::uintptr_t{1} << sliceLengthShift) - 1 - sliceTag;
        return reinterpret_cast<const char16_t*>(reinterpret_cast<std::uintptr_t>(rep_) & addressBits);
    }
    std::size_t sliceLength() const {
        return static_cast<std::size_t>(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(rep_)) >>
                                        sliceLengthShift);
    }
    /// A slice of the text, or absent where its address or length does not fit.
    static SharedString slice(StringView text);
    void release();
    static constexpr std::uint32_t arenaFlag = 0x80000000u;
    static constexpr std::uint32_t immortalFlag = 0x40000000u;
    static constexpr std::uint32_t countMask = ~(arenaFlag | immortalFlag);
    static std::size_t repSize(std::size_t length);
    static Rep* makeRep(void* memory, StringView text);

    Rep* rep_ = nullptr;
};

} // namespace kinloom

template <> struct std::hash<kinloom::SharedString> {
    std::size_t operator()(const kinloom::SharedString& s) const noexcept {
        return std::hash<kinloom::StringView>()(s.view());
    }
};

#pragma once

#include "memory/SharedString.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kinloom {

/// The kinds of value the GEDCOM 7.0 standard gives a structure, as the
/// grammar file names them.
enum class Gedcom7Payload : std::uint8_t {
    none,
    text,
    flag, // Y or nothing
    integer,
    enumeration,
    enumList,
    textList,
    date,
    dateExact,
    datePeriod,
    time,
    age,
    language,
    mediaType,
    name,
    filePath,
    uri,
    latitude,
    longitude,
    tagDef,
    pointer,
};

/// The kind the grammar file's word names (pointer for "pointer:..."), or
/// absent for an unknown word.
std::optional<Gedcom7Payload> gedcom7PayloadNamed(std::string_view word);

/// Whether the kind allows an empty value (which 7.0 treats as none).
bool allowsEmptyPayload(Gedcom7Payload kind);

/// Whether a non-empty value follows the 7.0 grammar of its kind. Free text,
/// file paths and URIs take anything; enumerations and pointers are checked
/// by their callers, which know the sets and the records; this says whether
/// each item has an enumeration's form.
bool payloadFits(Gedcom7Payload kind, StringView value);

/// What the kind's values look like, for a finding ("a date", "a time
/// such as 14:30 or 09:05:10Z").
StringView payloadDescription(Gedcom7Payload kind);

/// The items of a 7.0 list: the text split at commas, blanks around each
/// comma dropped.
std::vector<StringView> listItems(StringView value);

/// Whether the text is an extension tag: "_" and at least one of A-Z, 0-9, "_".
bool isExtensionTag(StringView text);

} // namespace kinloom

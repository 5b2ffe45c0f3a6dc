#include "file/LNGedcomSource.h"

namespace kinloom {

LNGedcomSource::LNGedcomSource() : errors_(std::make_unique<LNGedcomErrors>()) {}

LNGedcomSource::~LNGedcomSource() {
    // The record set refers to the error list: it goes first.
    recordSet_.reset();
    errors_.reset();
}

} // namespace kinloom

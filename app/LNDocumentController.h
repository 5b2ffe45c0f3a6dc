#pragma once

#include <string>

namespace kinloom {

/// The platform's list of recently opened documents.
class LNDocumentController {
  public:
    virtual ~LNDocumentController() = default;
    /// Records the file at the path (UTF-8), whose file URL the list shows.
    virtual void noteNewRecentDocumentURL(const std::string& path) = 0;
};

} // namespace kinloom

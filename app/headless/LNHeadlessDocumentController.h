#pragma once

#include "LNDocumentController.h"

#include <string>
#include <vector>

namespace kinloom {

/// The recent-documents list, kept for the life of the process.
class LNHeadlessDocumentController : public LNDocumentController {
  public:
    void noteNewRecentDocumentURL(const std::string& path) override { recent_.push_back(path); }
    /// The paths noted, oldest first.
    const std::vector<std::string>& recentDocuments() const { return recent_; }

  private:
    std::vector<std::string> recent_;
};

} // namespace kinloom

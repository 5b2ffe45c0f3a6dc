#include "LNQtDocumentController.h"

#include <algorithm>

namespace kinloom {

void LNQtDocumentController::noteNewRecentDocumentURL(const std::string& path) {
    std::erase(recent_, path);
    recent_.insert(recent_.begin(), path);
    if (recent_.size() > maxCount) recent_.resize(maxCount);
    Q_EMIT recentDocumentsChanged();
}

void LNQtDocumentController::clearRecentDocuments() {
    recent_.clear();
    Q_EMIT recentDocumentsChanged();
}

} // namespace kinloom

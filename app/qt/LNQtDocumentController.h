#pragma once

#include "LNDocumentController.h"

#include <QObject>

#include <string>
#include <vector>

namespace kinloom {

/// The recent-documents list, kept for the life of the process only: Kinloom
/// keeps no settings. Newest first, each path once, at most maxCount paths.
class LNQtDocumentController : public QObject, public LNDocumentController {
    Q_OBJECT

  public:
    static constexpr std::size_t maxCount = 10;

    void noteNewRecentDocumentURL(const std::string& path) override;
    void clearRecentDocuments();
    const std::vector<std::string>& recentDocuments() const { return recent_; }

  Q_SIGNALS:
    void recentDocumentsChanged();

  private:
    std::vector<std::string> recent_;
};

} // namespace kinloom

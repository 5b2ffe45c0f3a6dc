#pragma once

#include "LNTableColumn.h"

#include <QString>

namespace kinloom {

/// A column of the Qt table: its identifier for the logic, its heading and
/// first width for the user.
class LNQtTableColumn : public LNTableColumn {
  public:
    LNQtTableColumn(String identifier, QString title, int width)
        : identifier_(std::move(identifier)), title_(std::move(title)), width_(width) {}

    StringView identifier() const override { return identifier_; }
    const QString& title() const { return title_; }
    int width() const { return width_; }

  private:
    String identifier_;
    QString title_;
    int width_;
};

} // namespace kinloom

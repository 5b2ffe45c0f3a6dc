#pragma once

#include "LNTableColumn.h"

#include <QString>

namespace kinloom {

/// A column of the Qt table: its identifier for the logic, its heading and
/// first width for the user, and whether its width is fitted to its longest
/// text (short texts such as keys) or to a sample of its rows.
class LNQtTableColumn : public LNTableColumn {
  public:
    LNQtTableColumn(String identifier, QString title, int width, bool fitsLongest = false)
        : identifier_(std::move(identifier)), title_(std::move(title)), width_(width),
          fitsLongest_(fitsLongest) {}

    StringView identifier() const override { return identifier_; }
    const QString& title() const { return title_; }
    int width() const { return width_; }
    bool fitsLongest() const { return fitsLongest_; }

  private:
    String identifier_;
    QString title_;
    int width_;
    bool fitsLongest_;
};

} // namespace kinloom

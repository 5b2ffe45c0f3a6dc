#pragma once

#include "LNView.h"

#include <QSplitter>

namespace kinloom {

/// The split view holding the table and the outline; the logic only knows it is there.
class LNQtSplitView : public QSplitter, public LNView {
    Q_OBJECT

  public:
    using QSplitter::QSplitter;
};

} // namespace kinloom

#pragma once

#include "LNWindow.h"

#include <QMainWindow>

namespace kinloom {

/// The main window. A view takes the focus when it is a widget that accepts it.
class LNQtWindow : public QMainWindow, public LNWindow {
    Q_OBJECT

  public:
    explicit LNQtWindow(QWidget* parent = nullptr) : QMainWindow(parent) {}

    void setTitle(StringView title) override;
    bool makeFirstResponder(LNView* view) override;
};

} // namespace kinloom

#pragma once

#include "LNWindow.h"

#include <QMainWindow>

#include <string>
#include <vector>

namespace kinloom {

/// The main window. A view takes the focus when it is a widget that accepts
/// it. Files dropped on the window are offered with filesDropped().
class LNQtWindow : public QMainWindow, public LNWindow {
    Q_OBJECT

  public:
    explicit LNQtWindow(QWidget* parent = nullptr);

    void setTitle(StringView title) override;
    bool makeFirstResponder(LNView* view) override;
    void runAlert(StringView message) override;
    void setStatusMessage(StringView message) override;

  Q_SIGNALS:
    /// The local paths of the files dropped, in the file system's encoding.
    void filesDropped(const std::vector<std::string>& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace kinloom

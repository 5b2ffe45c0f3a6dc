#pragma once

#include "LNSegmentedControl.h"

#include <QAction>
#include <QWidget>

#include <vector>

namespace kinloom {

/// A row of tool buttons, one per segment, each showing the action of its
/// segment; the window's menu may show the same actions. Working a segment
/// (click or shortcut) selects it and then emits action(). All segments
/// start disabled; a disabled one takes no clicks.
class LNQtSegmentedControl : public QWidget, public LNSegmentedControl {
    Q_OBJECT

  public:
    /// One segment for each tool tip.
    explicit LNQtSegmentedControl(const QStringList& toolTips, QWidget* parent = nullptr);

    int selectedSegment() const override { return selected_; }
    using QWidget::setEnabled;
    void setEnabled(bool enabled, int segment) override;
    /// The arrow images become the style's standard arrows.
    void setImage(const LNImage& image, int segment) override;

    /// The segment's action, or null.
    QAction* segmentAction(int segment) const;
    bool isEnabled(int segment) const;
    /// The segment's tool button, or null.
    QWidget* segmentButton(int segment) const;

  Q_SIGNALS:
    void action();

  private:
    void segmentTriggered(int segment);

    std::vector<QAction*> actions_;
    std::vector<QWidget*> buttons_;
    int selected_ = -1;
};

} // namespace kinloom

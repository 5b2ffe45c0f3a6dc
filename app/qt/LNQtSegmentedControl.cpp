#include "LNQtSegmentedControl.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace kinloom {

namespace {

QIcon iconFor(const LNImage& image, const QStyle* style) {
    if (image.name() == LNImage::goLeftTemplate) return style->standardIcon(QStyle::SP_ArrowBack);
    if (image.name() == LNImage::goRightTemplate) return style->standardIcon(QStyle::SP_ArrowForward);
    return QIcon();
}

} // namespace

LNQtSegmentedControl::LNQtSegmentedControl(const QStringList& toolTips, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const QString& toolTip : toolTips) {
        int segment = static_cast<int>(actions_.size());
        auto* segmentAction = new QAction(toolTip, this);
        segmentAction->setToolTip(toolTip);
        segmentAction->setEnabled(false);
        connect(segmentAction, &QAction::triggered, this, [this, segment] { segmentTriggered(segment); });
        auto* button = new QToolButton(this);
        button->setDefaultAction(segmentAction);
        button->setAutoRaise(false);
        layout->addWidget(button);
        actions_.push_back(segmentAction);
        buttons_.push_back(button);
    }
}

void LNQtSegmentedControl::setEnabled(bool enabled, int segment) {
    if (QAction* segmentAction = this->segmentAction(segment)) segmentAction->setEnabled(enabled);
}

void LNQtSegmentedControl::setImage(const LNImage& image, int segment) {
    if (QAction* segmentAction = this->segmentAction(segment))
        segmentAction->setIcon(iconFor(image, style()));
}

QAction* LNQtSegmentedControl::segmentAction(int segment) const {
    if (segment < 0 || segment >= static_cast<int>(actions_.size())) return nullptr;
    return actions_[static_cast<std::size_t>(segment)];
}

bool LNQtSegmentedControl::isEnabled(int segment) const {
    QAction* segmentAction = this->segmentAction(segment);
    return segmentAction && segmentAction->isEnabled();
}

QWidget* LNQtSegmentedControl::segmentButton(int segment) const {
    if (segment < 0 || segment >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<std::size_t>(segment)];
}

void LNQtSegmentedControl::segmentTriggered(int segment) {
    selected_ = segment;
    Q_EMIT action();
}

} // namespace kinloom

#pragma once

#include "LNButton.h"

#include <QCheckBox>

namespace kinloom {

/// A check box; its clicked() signal is its action.
class LNQtCheckBox : public QCheckBox, public LNButton {
    Q_OBJECT

  public:
    LNQtCheckBox(const QString& text, bool checked, QWidget* parent = nullptr) : QCheckBox(text, parent) {
        setChecked(checked);
    }
    int state() const override { return isChecked() ? onState : offState; }
};

} // namespace kinloom

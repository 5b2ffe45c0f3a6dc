#pragma once

#include "LNColor.h"
#include "memory/SharedString.h"

#include <QColor>
#include <QString>

namespace kinloom {

/// Both sides count UTF-16 code units: no transcoding, only a copy.
inline QString toQString(StringView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline String fromQString(const QString& text) {
    return text.toStdU16String();
}

inline QColor toQColor(const LNColor& color) {
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

} // namespace kinloom

#pragma once

namespace kinloom {

/// A colour as red, green, blue and alpha components from 0 to 1. Toolkits
/// turn it into their own colour type.
struct LNColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static LNColor colorWithDeviceRed(double red, double green, double blue, double alpha) {
        return LNColor{red, green, blue, alpha};
    }
    static LNColor blackColor() { return LNColor{0, 0, 0, 1}; }
    static LNColor orangeColor() { return LNColor{1, 0.5, 0, 1}; }
    static LNColor redColor() { return LNColor{1, 0, 0, 1}; }

    friend bool operator==(const LNColor&, const LNColor&) = default;
};

} // namespace kinloom

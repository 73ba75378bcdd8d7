// SPDX-License-Identifier: MIT
// Geometrie des Igels und der Gleisstuecke.
#include "logo.h"

#include <cmath>

#include "svg.h"

namespace logo {

void gerade(Lage& l, double d) {
    l.x += d * std::cos(l.w);
    l.y += d * std::sin(l.w);
}

void kurve(Lage& l, double r, double phi) {
    const double w = l.w;
    const double h = svg::PI / 2;
    if (phi > 0) {
        l.x += r * (std::cos(h - w - phi) - std::cos(h - w));
        l.y += r * (std::sin(h - w) - std::sin(h - w - phi));
    } else {
        l.x += r * (std::sin(w) - std::sin(w + phi));
        l.y += r * (std::cos(w + phi) - std::cos(w));
    }
    l.w = w + phi;
    if (l.w > svg::ZWEI_PI) l.w -= svg::ZWEI_PI;
    else if (l.w < 0) l.w += svg::ZWEI_PI;
}

Bogen igelbogen(const Lage& l, double r, double phi) {
    const double h = svg::PI / 2;
    Bogen b;
    if (phi > 0) {
        const double cx = l.x - r * std::cos(l.w - h), cy = l.y - r * std::sin(l.w - h);
        b.ex = cx + r * std::cos(l.w + phi - h);
        b.ey = cy + r * std::sin(l.w + phi - h);
        b.ax = l.x, b.ay = l.y, b.bx = b.ex, b.by = b.ey;
    } else {
        const double cx = l.x + r * std::cos(l.w - h), cy = l.y + r * std::sin(l.w - h);
        b.ex = cx - r * std::cos(l.w + phi - h);
        b.ey = cy - r * std::sin(l.w + phi - h);
        b.ax = b.ex, b.ay = b.ey, b.bx = l.x, b.by = l.y;
    }
    return b;
}

}  // namespace logo

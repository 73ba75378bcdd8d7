// SPDX-License-Identifier: MIT
// Geometrie des Igels und der Gleisstuecke: Lage (x, y, Richtung w) in Benutzerkoordinaten,
// Richtung im Bogenmass gegen den Uhrzeigersinn von der x-Achse.
#pragma once

namespace logo {

struct Lage {
    double x = 0, y = 0, w = 0;
};

// Gerades Gleisstueck der Laenge d (negativ: rueckwaerts); w bleibt.
void gerade(Lage& l, double d);
// Gebogenes Gleisstueck mit Radius r, das die Richtung um phi dreht (phi > 0 links);
// die neue Richtung wird einmal in [0, 2 pi] gebracht.
void kurve(Lage& l, double r, double phi);

// Bogen des Igels mit Radius r und Drehung phi ab der Lage l: der Pfad laeuft immer
// gegen den Uhrzeigersinn von (ax, ay) nach (bx, by); (ex, ey) ist das Ende des Igels.
struct Bogen {
    double ax, ay, bx, by, ex, ey;
};
Bogen igelbogen(const Lage& l, double r, double phi);

}  // namespace logo

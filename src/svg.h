// SPDX-License-Identifier: MIT
// SVG-Dokument im Speicher und die reine Arithmetik der Zeichen-Builtins: Abbildung der
// Benutzerkoordinaten, Zahlformate, Bogen-Flag, XML-Maskierung, sicheres Schreiben.
#pragma once
#include <string>
#include <string_view>

#include "orvu.h"

namespace svg {

// Indizes der Rahmenvariablen in Orvu::var (nach RECSIZE angelegt).
enum Rahmenvar : int {
    BREITE = 20, HOEHE = 21, RECHTS = 22, HOCH = 23, EINHEIT = 24, PIXEL = 25, STRICH = 26,
    LOGO_X = 27, LOGO_Y = 28, LOGO_W = 29
};

constexpr double PI = 3.141592653589793;
constexpr double ZWEI_PI = 6.283185307179586;

// Rahmen einer Zeichnung: Breite W, Hoehe H, Ursprung (R, U) von links unten, Massstab E,
// SVG-Einheiten je Zeichnungseinheit P. Liefert SVG-Werte (noch ungerundet).
struct Abbildung {
    double W = 100, H = 100, R = 50, U = 50, E = 1, P = 3.71;
    double sx(double x) const { return (R + x) * E * P; }
    double sy(double y) const { return (H - U - y) * E * P; }
    double sl(double v) const { return v * E * P; }
};

// Format F: Festkomma mit einer Nachkommastelle, gerundet wie printf("%.1f").
void f(std::string& s, double x);
std::string f(double x);
// Format G: sechs gueltige Stellen wie printf("%g").
void g(std::string& s, double x);

// Flag "large-arc" eines Bogens, der von a1 gegen den Uhrzeigersinn nach a2 laeuft:
// 1 genau dann, wenn der gezeichnete Bogen (a2 - a1 auf [0, 2 pi) gebracht) laenger als pi ist.
int grosser_bogen(double a1, double a2);
// Dasselbe fuer eine Drehung um phi (Vorzeichen = Richtung): Umfang |phi| auf [0, 2 pi).
int grosser_bogen_drehung(double phi);

// Haengt t als Attributwert oder Elementinhalt an: < & ' " werden zu Entitaeten, andere
// Steuerzeichen als Tab und Zeilenende (in XML 1.0 verboten) zu U+FFFD.
void xml(std::string& s, std::string_view t);

// Schreibt inhalt nach pfad. Eine gewoehnliche (oder noch fehlende) Datei wird ueber eine
// temporaere Datei im selben Verzeichnis ersetzt, so dass eine alte Zeichnung nie halb
// ueberschrieben liegen bleibt; Geraete und Pipes werden direkt beschrieben.
// 0 ok; 1 nicht zu oeffnen; 2 Schreiben, Schliessen oder Umbenennen scheiterte
// (fehlernr: errno).
int datei_ersetzen(const std::string& pfad, const std::string& inhalt, int& fehlernr);

}  // namespace svg

// Das offene Dokument: zwischen svg_open und svg_close.
struct Svg : Orvu::Teilsystem {
    static constexpr Orvu::Teil platz = Orvu::Teil::svg;
    bool offen = false;
    std::string text;
};

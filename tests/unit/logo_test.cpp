// SPDX-License-Identifier: MIT
// Geometrie der Gleisstuecke und des Igelbogens.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "logo.h"
#include "svg.h"

namespace {

constexpr double H = svg::PI / 2;
constexpr double EPS = 1e-9;

// Zwei Richtungen sind gleich, wenn sie sich um ein Vielfaches von 2 pi unterscheiden.
testing::AssertionResult gleiche_richtung(double a, double b) {
    const double d = std::remainder(a - b, svg::ZWEI_PI);
    if (std::fabs(d) < EPS) return testing::AssertionSuccess();
    return testing::AssertionFailure() << a << " und " << b << " sind verschiedene Richtungen";
}

struct Stueck {
    double r;    // 0: gerade
    double wert; // Laenge oder Drehung
};

struct GleisFall {
    const char* name;
    logo::Lage start;
    std::vector<Stueck> stuecke;
    logo::Lage ende;
};

void PrintTo(const GleisFall& f, std::ostream* os) { *os << f.name; }

class Gleis : public testing::TestWithParam<GleisFall> {};

TEST_P(Gleis, legtDieStueckeAneinander) {
    const GleisFall& f = GetParam();
    logo::Lage l = f.start;
    for (const Stueck& s : f.stuecke) {
        if (s.r == 0) logo::gerade(l, s.wert);
        else logo::kurve(l, s.r, s.wert);
    }
    EXPECT_NEAR(l.x, f.ende.x, EPS);
    EXPECT_NEAR(l.y, f.ende.y, EPS);
    EXPECT_TRUE(gleiche_richtung(l.w, f.ende.w));
    EXPECT_GE(l.w, 0);
    EXPECT_LE(l.w, svg::ZWEI_PI);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Gleis,
    testing::Values(
        GleisFall{"gerade", {0, 0, 0}, {{0, 10}}, {10, 0, 0}},
        GleisFall{"rueckwaerts", {0, 0, 0}, {{0, -10}}, {-10, 0, 0}},
        GleisFall{"geradeNachOben", {1, 2, H}, {{0, 3}}, {1, 5, H}},
        GleisFall{"linksViertelkreis", {0, 0, 0}, {{10, H}}, {10, 10, H}},
        // rechts: die Richtung kommt einmal um 2 pi in den Bereich
        GleisFall{"rechtsViertelkreis", {0, 0, 0}, {{10, -H}}, {10, -10, 3 * H}},
        GleisFall{"halbkreisLinks", {0, 0, 0}, {{5, svg::PI}}, {0, 10, svg::PI}},
        // ein Kreis aus vier Vierteln schliesst sich
        GleisFall{"vollkreis", {3, 4, 0.25}, {{2, H}, {2, H}, {2, H}, {2, H}}, {3, 4, 0.25}},
        // Oval: zwei Geraden, zwei Halbkreise aus je sechs Bogenstuecken
        GleisFall{"oval",
                  {1, -2, 0},
                  {{0, 20},
                   {4, svg::PI / 6}, {4, svg::PI / 6}, {4, svg::PI / 6},
                   {4, svg::PI / 6}, {4, svg::PI / 6}, {4, svg::PI / 6},
                   {0, 20},
                   {4, svg::PI / 6}, {4, svg::PI / 6}, {4, svg::PI / 6},
                   {4, svg::PI / 6}, {4, svg::PI / 6}, {4, svg::PI / 6}},
                  {1, -2, svg::ZWEI_PI}},
        // dasselbe Oval rechts herum
        GleisFall{"ovalRechts",
                  {0, 0, H},
                  {{0, 7}, {3, -svg::PI / 2}, {3, -svg::PI / 2}, {0, 7},
                   {3, -svg::PI / 2}, {3, -svg::PI / 2}},
                  {0, 0, H}},
        // S-Kurve: links und rechts heben sich in der Richtung auf
        GleisFall{"sKurve", {0, 0, 0}, {{10, H}, {10, -H}}, {20, 20, 0}}),
    [](const testing::TestParamInfo<GleisFall>& i) { return std::string(i.param.name); });

TEST(Gleis, richtungUeber2PiWirdEinmalZurueckgebracht) {
    logo::Lage l{0, 0, 6};
    logo::kurve(l, 1, 1);
    EXPECT_NEAR(l.w, 7 - svg::ZWEI_PI, EPS);
}

struct IgelFall {
    const char* name;
    logo::Lage start;
    double r, phi;
    logo::Bogen b;
};

void PrintTo(const IgelFall& f, std::ostream* os) { *os << f.name; }

class Igelbogen : public testing::TestWithParam<IgelFall> {};

// Der Pfad laeuft immer gegen den Uhrzeigersinn: links vom Start zum Ende, rechts umgekehrt.
TEST_P(Igelbogen, endetAufDemKreisUndLaeuftGegenDenUhrzeigersinn) {
    const IgelFall& f = GetParam();
    logo::Bogen b = logo::igelbogen(f.start, f.r, f.phi);
    EXPECT_NEAR(b.ax, f.b.ax, EPS);
    EXPECT_NEAR(b.ay, f.b.ay, EPS);
    EXPECT_NEAR(b.bx, f.b.bx, EPS);
    EXPECT_NEAR(b.by, f.b.by, EPS);
    EXPECT_NEAR(b.ex, f.b.ex, EPS);
    EXPECT_NEAR(b.ey, f.b.ey, EPS);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Igelbogen,
    testing::Values(IgelFall{"links", {0, 0, 0}, 10, H, {0, 0, 10, 10, 10, 10}},
                    IgelFall{"rechts", {0, 0, 0}, 10, -H, {10, -10, 0, 0, 10, -10}},
                    IgelFall{"halbLinksNachOben", {1, 1, H}, 2, svg::PI, {1, 1, -3, 1, -3, 1}},
                    IgelFall{"ohneDrehung", {2, 3, 1}, 5, 0, {2, 3, 2, 3, 2, 3}}),
    [](const testing::TestParamInfo<IgelFall>& i) { return std::string(i.param.name); });

}  // namespace

// SPDX-License-Identifier: MIT
// Tests fuer Zins: Listen mit bekanntem Zinssatz, Barwertfaktor, Meldungen.
#include "zins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>

namespace {

std::string zahl(double x) {
    char puf[64];
    std::snprintf(puf, sizeof puf, "%.17g", x);
    return puf;
}

// Endbetrag, der n Zahlungen von 100 zu Beginn jeder Periode (Faktor qp je Periode)
// bei der Zeit n Perioden genau ausgleicht.
double endwert(double qp, int n) {
    double s = 0;
    for (int k = 1; k <= n; ++k) s += 100 * std::pow(qp, k);
    return s;
}

struct ListenFall {
    std::string name;
    std::string liste;
    double q;
};

std::ostream& operator<<(std::ostream& os, const ListenFall& f) { return os << f.name; }

class ZinsListe : public testing::TestWithParam<ListenFall> {};

TEST_P(ZinsListe, findetDenBekanntenZinssatz) {
    const ListenFall& f = GetParam();
    std::ostringstream fehler;
    double q = 0;
    EXPECT_EQ(Zins().berechne(f.liste.c_str(), &q, fehler), 0);
    EXPECT_NEAR(q, f.q, 1e-9);
    EXPECT_EQ(fehler.str(), "");
}

std::string viele_eintraege(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "0-1;";
    return s + "1+" + zahl(1.1 * n);
}

INSTANTIATE_TEST_SUITE_P(Listen, ZinsListe, testing::Values(
    ListenFall{"zehnProzent", "0-1000;1+1100", 1.1},
    ListenFall{"wiederholtJaehrlich", "0-100*2j;2j+231", 1.1},
    ListenFall{"vorzeichenUmgekehrt", "0+100;1-110", 1.1},
    ListenFall{"negativerZins", "0-100;1+90", 0.9},
    ListenFall{"datumsangaben", "1.1.2001+100;1.1.2002-110", std::pow(1.1, 365.2425 / 365)},
    ListenFall{"monateUndTage", "0-100;24m+121", 1.1},
    ListenFall{"tage", "0-100;730.485t+121", 1.1},
    ListenFall{"zeilenStattSemikolon", "0-100\n\nkommentar ohne vorzeichen\n1+50\n2+55", 
               (50 + std::sqrt(24500.0)) / 200},
    ListenFall{"leereEintraege", ";;0-1000;;1+1100;", 1.1},
    ListenFall{"monatlich", "0-100*12m;1+" + zahl(endwert(std::pow(1.06, 1.0 / 12), 12)), 1.06},
    ListenFall{"taeglich", "0-1*30t;" + zahl(30 / 365.2425) + "+" +
                               zahl(endwert(std::pow(1.2, 1 / 365.2425), 30) / 100), 1.2},
    // Wiederholte Zahlungen bei negativem Zins werden abgezinst: -100 - 100/q + 150/q^2 = 0.
    ListenFall{"wiederholtBeiNegativemZins", "0-100*2j;2j+150", (std::sqrt(7.0) - 1) / 2},
    // Mehr als 1024 Zahlungen: keine feste Grenze.
    ListenFall{"dreitausendZahlungen", viele_eintraege(3000), 1.1},
    // Auch Zeiten jenseits von 9999 Jahren beginnen bei 0.
    ListenFall{"sehrSpaeteZeiten", "10000-100;10001+110", 1.1},
    ListenFall{"spaeteDaten", "1.1.12000-100;1.1.12001+110", std::pow(1.1, 365.2425 / 366)}));

TEST(Zins, liestDieZahlungen) {
    Zins z;
    std::ostringstream fehler;
    ASSERT_EQ(z.init("2+10;1-20*3m;3+5*7t;4+1*2x;5+1*99999999999j", fehler), 0);
    ASSERT_EQ(z.zahlungen.size(), 5u);
    struct Erwartet {
        double zeit, betrag;
        int wiederholungen;
        char periode;
    };
    const Erwartet e[] = {{1, 10, 1, 'j'}, {0, -20, 3, 'm'}, {2, 5, 7, 't'}, {3, 1, 2, 'j'},
                          {4, 1, 2147483647, 'j'}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(z.zahlungen[i].zeit, e[i].zeit) << i;
        EXPECT_DOUBLE_EQ(z.zahlungen[i].betrag, e[i].betrag) << i;
        EXPECT_EQ(z.zahlungen[i].wiederholungen, e[i].wiederholungen) << i;
        EXPECT_EQ(z.zahlungen[i].periode, e[i].periode) << i;
    }
}

TEST(Zins, rechnetDenBarwertfaktor) {
    struct Fall {
        double q;
        int n;
        double bw;
    };
    for (const Fall& f : {Fall{1.1, 2, 1 + 1 / 1.1}, Fall{1.0, 5, 5}, Fall{0.5, 3, 7},
                          Fall{2, 3, 1.75}, Fall{1.1, 1, 1}})
        EXPECT_NEAR(Zins::bw(f.q, f.n), f.bw, 1e-12) << f.q << " " << f.n;
}

TEST(Zins, meldetListenOhneVorzeichenwechsel) {
    struct Fall {
        const char* liste;
        const char* meldung;
    };
    for (const Fall& f : {Fall{"0+100;1+50", "500100\n125\nzins ausserhalb 1.001 - 2\n"},
                          Fall{"0+100;0-100", "0\n0\nzins ausserhalb 1.001 - 2\n"},
                          Fall{"", "0\n0\nzins ausserhalb 1.001 - 2\n"},
                          Fall{"0-100;1+300", "2.9999e+06\n50\nzins ausserhalb 1.001 - 2\n"}}) {
        std::ostringstream fehler;
        double q = 0;
        EXPECT_EQ(Zins().berechne(f.liste, &q, fehler), 1) << f.liste;
        EXPECT_EQ(q, 1.0) << f.liste;
        EXPECT_EQ(fehler.str(), f.meldung) << f.liste;
    }
}

TEST(Zins, meldetUnlesbareDaten) {
    std::ostringstream fehler;
    double q = 0;
    EXPECT_EQ(Zins().berechne("0-100;a.b.c+110", &q, fehler), 1);
    EXPECT_EQ(q, 1.0);
    EXPECT_EQ(fehler.str(), "kein datumsformat gefundenfehler src/zins101\nfehler src/zins102\n");
}

// Trifft die Bisektion die Nullstelle genau, ist das das Ergebnis (kein Fehler).
TEST(Zins, nimmtEineGenauGetroffeneNullstelle) {
    Zins z;
    std::ostringstream fehler;
    ASSERT_EQ(z.init("0-1;1+1.06259375", fehler), 0);
    ASSERT_EQ(z.berechne_up(1.06259375), 0.0);  // ein Mittelpunkt der Bisektion
    double q = 0;
    EXPECT_EQ(Zins().berechne("0-1;1+1.06259375", &q, fehler), 0);
    EXPECT_EQ(q, 1.06259375);
    EXPECT_EQ(fehler.str(), "");
}

}  // namespace

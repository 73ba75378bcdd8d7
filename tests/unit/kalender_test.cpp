// SPDX-License-Identifier: MIT
// Tests fuer Kalender: bekannte Daten, Reformluecke, Optionen, Grenzen und Rundreisen
// gegen die bekannten ganzzahligen Formeln fuer julianische Tageszahlen.
#include "kalender.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>

namespace {

// ---------------------------------------------------------------- Datumstext -> Zahl

struct TextFall {
    const char* text;
    const char* optionen;
    long long tag;
};

std::ostream& operator<<(std::ostream& os, const TextFall& f) {
    return os << "'" << f.text << "' mit '" << f.optionen << "'";
}

class KalenderText : public testing::TestWithParam<TextFall> {};

TEST_P(KalenderText, liefertDieTagesnummer) {
    const TextFall& f = GetParam();
    std::ostringstream fehler;
    int64_t n = -99;
    EXPECT_EQ(Kalender().kal2int(f.text, &n, f.optionen, fehler), 0);
    EXPECT_EQ(n, f.tag);
    EXPECT_EQ(fehler.str(), "");
}

INSTANTIATE_TEST_SUITE_P(BekannteDaten, KalenderText, testing::Values(
    TextFall{"1.1.2000", "", 730485},
    TextFall{"2000-03-01", "", 730545},
    TextFall{"29.2.2000", "", 730544},
    TextFall{"24.12.2024", "", 739609},
    TextFall{"1.1.1", "", 364},
    TextFall{"1.1.0", "", -2},           // julianisch
    TextFall{"1.1.0.g", "", 0},
    TextFall{"1.1.0", "g", 0},
    TextFall{"1.1.2000.a", "", 2451545},  // julianische Tageszahl
    TextFall{"1.1.2000", "a", 730485},    // "a" zaehlt nur im Suffix
    TextFall{" 1. 1. 2000", "", 730485},  // Leerraum vor den Zahlen wie bei scanf
    TextFall{"1.1.2000xyz", "", 730485},  // Rest nach dem Jahr zaehlt nicht
    TextFall{"1.1.2000.", "", 730485},
    TextFall{"2000-1-1-j", "", 730498},   // julianisch: 13 Tage spaeter
    TextFall{"1.1.2000.gj", "", 730498},  // "j" gewinnt
    TextFall{"1.1.2000", "jg", 730498},
    TextFall{"1.1.2000.xxxxxxxj", "", 730498},   // achtes Zeichen des Suffix zaehlt
    TextFall{"1.1.2000.xxxxxxxxj", "", 730485},  // neuntes nicht mehr
    TextFall{"+1.+1.+2000", "", 730485}));

INSTANTIATE_TEST_SUITE_P(Reformluecke, KalenderText, testing::Values(
    TextFall{"4.10.1582", "", 578100},
    TextFall{"15.10.1582", "", 578101},
    TextFall{"14.10.1582", "", 578110},   // gibt es nicht: julianisch gelesen
    TextFall{"5.10.1582", "", 578101},    // = 15.10. gregorianisch
    TextFall{"15.10.1582.j", "", 578111},
    TextFall{"4.10.1582.g", "", 578090}));

// Monat und Tag werden nicht auf ihren Bereich geprueft; sie zaehlen in die Nachbarmonate
// und -jahre weiter (auch julianisch, ohne Zugriff hinter die Monatstabelle).
TEST(Kalender, zaehltMonatUndTagUeberIhrenBereichWeiter) {
    struct Fall {
        const char* text;
        const char* gleich;
    };
    for (const Fall& f : {Fall{"31.2.2000", "2.3.2000"}, Fall{"0.3.2000", "29.2.2000"},
                          Fall{"1.13.2000", "1.1.2001"}, Fall{"1.0.2000", "1.12.1999"},
                          Fall{"1.-11.2000", "1.1.1999"}, Fall{"400.1.2000", "3.2.2001"},
                          Fall{"1.13.1000", "1.1.1001"}, Fall{"1.0.1000", "1.12.999"},
                          Fall{"1.-11.1000", "1.1.999"}, Fall{"1.25.1000", "1.1.1002"},
                          Fall{"30.2.1000", "1.3.1000"}, Fall{"-5.3.1000", "24.2.1000"}}) {
        std::ostringstream fehler;
        int64_t a = 0, b = 1;
        EXPECT_EQ(Kalender().kal2int(f.text, &a, "", fehler), 0);
        EXPECT_EQ(Kalender().kal2int(f.gleich, &b, "", fehler), 0);
        EXPECT_EQ(a, b) << f.text << " / " << f.gleich;
        EXPECT_EQ(fehler.str(), "");
    }
}

// "v": Jahr vor der Zeitrechnung; 44 v. Chr. ist das astronomische Jahr -43.
INSTANTIATE_TEST_SUITE_P(VorDerZeitrechnung, KalenderText, testing::Values(
    TextFall{"1.1.44.v", "", -15707},
    TextFall{"1.1.-43", "", -15707},
    TextFall{"1.1.44", "v", -15707},
    TextFall{"1.1.1.v", "", -2},           // 1 v. Chr. ist das Jahr 0
    TextFall{"1.1.4713.va", "", 0}));      // Beginn der julianischen Tageszahl

TEST(Kalender, meldetTexteOhneDatum) {
    for (const char* text : {"", "x", "1.2", "1.2.", "2000-03", "1..2000", "a.b.c",
                             "1.1.99999999999", "1.1.2147483648", "2000-1-99999999999"}) {
        std::ostringstream fehler;
        int64_t n = 5;
        EXPECT_EQ(Kalender().kal2int(text, &n, "", fehler), 1) << text;
        EXPECT_EQ(n, 0) << text;
        EXPECT_EQ(fehler.str(), "kein datumsformat gefunden") << text;
    }
}

TEST(Kalender, rechnetGrosseJahreOhneUeberlauf) {
    std::ostringstream fehler;
    int64_t n = 0;
    ASSERT_EQ(Kalender().kal2int("1.1.2147483647", &n, "", fehler), 0);
    // 400 Jahre sind 146097 Tage.
    int64_t m = 0;
    ASSERT_EQ(Kalender().kal2int("1.1.2147483247", &m, "", fehler), 0);
    EXPECT_EQ(n - m, 146097);
    ASSERT_EQ(Kalender().kal2int("1.1.-2147483648.vg", &n, "", fehler), 0);
    EXPECT_GT(n, 0);
    EXPECT_EQ(fehler.str(), "");
}

TEST(Kalender, meldetDieJulianischeTageszahl) {
    std::ostringstream fehler;
    int64_t n = 0;
    bool jd = false;
    Kalender().kal2int("1.1.2000.a", &n, "", fehler, &jd);
    EXPECT_TRUE(jd);
    Kalender().kal2int("1.1.2000", &n, "a", fehler, &jd);
    EXPECT_FALSE(jd);
}

// ---------------------------------------------------------------- Zahl -> Datumstext

struct ZahlFall {
    long long tag;
    const char* optionen;
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const ZahlFall& f) {
    return os << f.tag << " mit '" << f.optionen << "'";
}

class KalenderZahl : public testing::TestWithParam<ZahlFall> {};

TEST_P(KalenderZahl, liefertDenDatumstext) {
    const ZahlFall& f = GetParam();
    std::ostringstream fehler;
    std::string s = "alt";
    EXPECT_EQ(Kalender().int2kal(f.tag, s, f.optionen, fehler), 0);
    EXPECT_EQ(s, f.text);
    EXPECT_EQ(fehler.str(), "");
}

INSTANTIATE_TEST_SUITE_P(BekannteDaten, KalenderZahl, testing::Values(
    ZahlFall{730485, "", "01.01.2000"},
    ZahlFall{739609, "", "24.12.2024"},
    ZahlFall{578100, "", "04.10.1582"},
    ZahlFall{578101, "", "15.10.1582"},
    ZahlFall{578101, "j", "05.10.1582.j"},
    ZahlFall{578100, "g", "14.10.1582.g"},
    ZahlFall{730485, "jg", "19.12.1999.jg"},
    ZahlFall{0, "", "03.01.0000"},
    ZahlFall{0, "g", "01.01.0000.g"},
    ZahlFall{-2, "", "01.01.0000"},
    ZahlFall{364, "", "01.01.0001"},
    ZahlFall{-15707, "", "01.01.-043"},
    ZahlFall{-1721060, "", "01.01.-4712"},
    ZahlFall{3650000, "", "12.05.9993"},
    ZahlFall{-3650000, "", "07.11.-9994"},
    ZahlFall{730485, "xyz", "01.01.2000.xyz"}));

// Gregorianisch vor dem Jahr 400: das Jahr 300 hat keinen 29. Februar.
INSTANTIATE_TEST_SUITE_P(FrueheGregorianischeJahre, KalenderZahl, testing::Values(
    ZahlFall{109631, "g", "28.02.0300.g"},
    ZahlFall{109632, "g", "01.03.0300.g"},
    ZahlFall{36583, "g", "28.02.0100.g"},
    ZahlFall{36584, "g", "01.03.0100.g"},
    ZahlFall{-36465, "g", "01.03.-100.g"}));

TEST(Kalender, meldetTagesnummernAusserhalbDesBereichs) {
    struct Fall {
        long long tag;
        const char* meldung;
    };
    for (const Fall& f : {Fall{3650001, "int2kal ein > 10000*365\n"},
                          Fall{INT64_MAX, "int2kal ein > 10000*365\n"},
                          Fall{-3650001, "int2kal ein < -10000*365\n"},
                          Fall{INT64_MIN, "int2kal ein < -10000*365\n"}}) {
        std::ostringstream fehler;
        std::string s = "alt";
        EXPECT_EQ(Kalender().int2kal(f.tag, s, "", fehler), 1) << f.tag;
        EXPECT_EQ(s, "") << f.tag;
        const std::string m = fehler.str();
        ASSERT_EQ(m.rfind("src/kalender", 0), 0u) << m;
        EXPECT_NE(m.find(f.meldung), std::string::npos) << m;
    }
}

TEST(Kalender, nenntDenWochentag) {
    struct Fall {
        long long tag;
        const char* name;
    };
    for (const Fall& f : {Fall{730485, "Samstag"}, Fall{739609, "Dienstag"},
                          Fall{578101, "Freitag"}, Fall{578100, "Donnerstag"},
                          Fall{0, "Samstag"}, Fall{1, "Sonntag"}, Fall{-1, "Freitag"},
                          Fall{-7, "Samstag"}, Fall{-8, "Freitag"},
                          Fall{INT64_MIN, "Freitag"}, Fall{INT64_MAX, "Samstag"}})
        EXPECT_STREQ(Kalender::wochentag(f.tag), f.name) << f.tag;
}

// ---------------------------------------------------------------- Rundreisen

struct Ymd {
    long long j, m, t;
};

// Julianische Tageszahl -> Datum nach den bekannten ganzzahligen Formeln (Richards);
// gueltig fuer Tageszahlen ab 0.
Ymd aus_jdn(long long jdn, bool gregorianisch) {
    long long f = jdn + 1401;
    if (gregorianisch) f += (((4 * jdn + 274277) / 146097) * 3) / 4 - 38;
    const long long e = 4 * f + 3;
    const long long g = (e % 1461) / 4;
    const long long h = 5 * g + 2;
    const long long t = (h % 153) / 5 + 1;
    const long long m = ((h / 153 + 2) % 12) + 1;
    const long long j = e / 1461 - 4716 + (12 + 2 - m) / 12;
    return {j, m, t};
}

// Datum -> julianische Tageszahl (Fliegel und Van Flandern bzw. die julianische Form).
long long jdn(Ymd d, bool gregorianisch) {
    if (gregorianisch)
        return (1461 * (d.j + 4800 + (d.m - 14) / 12)) / 4 +
               (367 * (d.m - 2 - 12 * ((d.m - 14) / 12))) / 12 -
               (3 * ((d.j + 4900 + (d.m - 14) / 12) / 100)) / 4 + d.t - 32075;
    return 367 * d.j - (7 * (d.j + 5001 + (d.m - 9) / 7)) / 4 + (275 * d.m) / 9 + d.t + 1729777;
}

Ymd lies(const std::string& s) {
    Ymd d{};
    EXPECT_EQ(std::sscanf(s.c_str(), "%lld.%lld.%lld", &d.t, &d.m, &d.j), 3) << s;
    return d;
}

// Tagesnummern ueber den ganzen Bereich verteilt, dichter um die Reform und um 0.
std::vector<int64_t> stichprobe() {
    std::vector<int64_t> v;
    for (int64_t n = Kalender::MIN_TAG; n <= Kalender::MAX_TAG; n += 1009) v.push_back(n);
    for (int64_t n = Kalender::REFORM - 800; n <= Kalender::REFORM + 800; ++n) v.push_back(n);
    for (int64_t n = -800; n <= 800; ++n) v.push_back(n);
    v.push_back(Kalender::MIN_TAG);
    v.push_back(Kalender::MAX_TAG);
    return v;
}

TEST(Kalender, stimmtMitDenFormelnFuerJulianischeTageszahlenUeberein) {
    const Kalender k;
    for (int64_t n : stichprobe()) {
        const long long z = n + Kalender::JULDAT;
        if (z < 0) continue;  // die Formeln gelten ab Tageszahl 0
        for (const char* opt : {"", "g", "j"}) {
            const bool greg = *opt ? *opt == 'g' : z > 2299160;
            std::ostringstream fehler;
            std::string s;
            ASSERT_EQ(k.int2kal(n, s, opt, fehler), 0);
            const Ymd d = lies(s), e = aus_jdn(z, greg);
            ASSERT_TRUE(d.j == e.j && d.m == e.m && d.t == e.t)
                << n << " '" << opt << "': " << s << " statt " << e.t << "." << e.m << "." << e.j;
            ASSERT_EQ(jdn(d, greg), z) << s;
        }
    }
}

TEST(Kalender, findetVonJederTagesnummerZurueck) {
    const Kalender k;
    for (int64_t n : stichprobe()) {
        for (const char* opt : {"", "g", "j"}) {
            std::ostringstream fehler;
            std::string s;
            ASSERT_EQ(k.int2kal(n, s, opt, fehler), 0);
            int64_t m = 0;
            ASSERT_EQ(k.kal2int(s.c_str(), &m, "", fehler), 0) << s;
            ASSERT_EQ(m, n) << s;
            // Auch Jahr-Monat-Tag und die julianische Tageszahl fuehren zurueck.
            const Ymd d = lies(s);
            char puf[80];
            std::snprintf(puf, sizeof puf, "%lld-%lld-%lld-%sa", d.j, d.m, d.t, opt);
            ASSERT_EQ(k.kal2int(puf, &m, "", fehler), 0) << puf;
            ASSERT_EQ(m, n + Kalender::JULDAT) << puf;
        }
    }
}

TEST(Kalender, zaehltAufeinanderfolgendeTageOhneLuecke) {
    // Jede Tagesnummer ist der naechste Tag nach der vorigen: Tag + 1 oder Monatsanfang.
    Kalender::Datum alt = Kalender::datum(Kalender::REFORM - 3000, false);
    for (int64_t n = Kalender::REFORM - 2999; n < Kalender::REFORM + 3000; ++n) {
        const Kalender::Datum d = Kalender::datum(n, Kalender::ist_gregorianisch(n));
        if (n == Kalender::REFORM) {
            EXPECT_TRUE(alt.tag == 4 && alt.monat == 10 && d.tag == 15 && d.monat == 10);
        } else if (d.tag != alt.tag + 1) {
            ASSERT_EQ(d.tag, 1) << n;
            ASSERT_EQ(d.monat, alt.monat % 12 + 1) << n;
        }
        alt = d;
    }
}

TEST(Kalender, rechnetRiesigeTagesnummernGenau) {
    // 400 gregorianische Jahre sind 146097 Tage, 4 julianische 1461.
    const Kalender::Datum a = Kalender::datum(730485, true);
    const Kalender::Datum b = Kalender::datum(730485 + 146097LL * 10000000000LL, true);
    EXPECT_EQ(b.jahr - a.jahr, 4000000000000LL);
    EXPECT_EQ(b.monat, a.monat);
    EXPECT_EQ(b.tag, a.tag);
    const Kalender::Datum c = Kalender::datum(730485 - 1461LL * 1000000000000LL, false);
    const Kalender::Datum e = Kalender::datum(730485, false);
    EXPECT_EQ(e.jahr - c.jahr, 4000000000000LL);
    EXPECT_EQ(c.tag, e.tag);
    // Bis an die Grenzen von 64 Bit ohne Ueberlauf.
    for (bool greg : {true, false}) {
        const int64_t zyklus = greg ? 146097 : 1461, jahre = greg ? 400 : 4;
        for (int64_t n : {INT64_MIN, INT64_MAX - zyklus}) {
            const Kalender::Datum x = Kalender::datum(n, greg);
            const Kalender::Datum y = Kalender::datum(n + zyklus, greg);
            EXPECT_EQ(y.jahr - x.jahr, jahre) << n;
            EXPECT_TRUE(x.tag == y.tag && x.monat == y.monat) << n;
            EXPECT_TRUE(x.monat >= 1 && x.monat <= 12 && x.tag >= 1 && x.tag <= 31) << n;
        }
    }
}

TEST(Kalender, gibtDieOrtszeitNachTZ) {
    const char* alt = std::getenv("TZ");
    const std::string gemerkt = alt ? alt : "";
    // 1.3.2024 23:30:00 UTC
    const std::time_t t = 1709335800;
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(Kalender::zeitstempel(t), "2024-03-01 23:30:00");
    setenv("TZ", "XYZ-2", 1);  // zwei Stunden oestlich von UTC
    EXPECT_EQ(Kalender::zeitstempel(t), "2024-03-02 01:30:00");
    std::tm tm{};
    ASSERT_TRUE(Kalender::ortszeit(t, tm));
    EXPECT_EQ(Kalender::tagesnummer(tm), 739312);  // 2.3.2024
    setenv("TZ", "XYZ+5", 1);
    EXPECT_EQ(Kalender::zeitstempel(t), "2024-03-01 18:30:00");
    if (alt) setenv("TZ", gemerkt.c_str(), 1);
    else unsetenv("TZ");
}

}  // namespace

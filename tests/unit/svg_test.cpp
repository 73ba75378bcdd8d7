// SPDX-License-Identifier: MIT
// SVG-Arithmetik und Dokument: Abbildung der Koordinaten, Zahlformate, Bogen-Flag,
// Maskierung, sicheres Ersetzen einer Datei, Builtins ohne offenes Dokument.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "orvu.h"
#include "sandkasten.h"
#include "svg.h"
#include "testhilfe.h"

namespace {

namespace fs = std::filesystem;


Lauf lauf(const std::string& programm) { return lauf_im_prozess(programm); }

std::string lies(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

// Frisches Verzeichnis je Test unter dem temporaeren Verzeichnis.
struct TempVerzeichnis {
    fs::path p;
    TempVerzeichnis() {
        std::string muster = (fs::temp_directory_path() / "orvu_svg_XXXXXX").string();
        p = mkdtemp(muster.data());
    }
    ~TempVerzeichnis() { fs::remove_all(p); }
};

// ---------------------------------------------------------------- Abbildung

struct AbbFall {
    svg::Abbildung a;
    double x, y, v;
    const char *sx, *sy, *sl;
};

void PrintTo(const AbbFall& f, std::ostream* os) { *os << "(" << f.x << ", " << f.y << ")"; }

class Abbildung : public testing::TestWithParam<AbbFall> {};

TEST_P(Abbildung, bildetBenutzerkoordinatenAufSvgAb) {
    const AbbFall& f = GetParam();
    EXPECT_EQ(svg::f(f.a.sx(f.x)), f.sx);
    EXPECT_EQ(svg::f(f.a.sy(f.y)), f.sy);
    EXPECT_EQ(svg::f(f.a.sl(f.v)), f.sl);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Abbildung,
    testing::Values(
        // Voreinstellung: Ursprung in der Mitte, y nach oben
        AbbFall{{}, 0, 0, 100, "185.5", "185.5", "371.0"},
        AbbFall{{}, 10, 10, 10, "222.6", "148.4", "37.1"},
        AbbFall{{}, -50, 50, 0, "0.0", "0.0", "0.0"},
        AbbFall{{}, 50, -50, -1, "371.0", "371.0", "-3.7"},
        // eigener Rahmen und Massstab
        AbbFall{{20, 10, 10, 5, 2, 1}, 1, 1, 3, "22.0", "8.0", "6.0"},
        AbbFall{{200, 100, 0, 0, 1, 1}, 25.5, 0, 1, "25.5", "100.0", "1.0"}));

// ---------------------------------------------------------------- Zahlformate

struct FormatFall {
    double x;
    const char *f, *g;
};

void PrintTo(const FormatFall& f, std::ostream* os) { *os << f.f; }

class Zahlformat : public testing::TestWithParam<FormatFall> {};

TEST_P(Zahlformat, schreibtFestkommaUndSechsStellen) {
    const FormatFall& c = GetParam();
    EXPECT_EQ(svg::f(c.x), c.f);
    std::string g;
    svg::g(g, c.x);
    EXPECT_EQ(g, c.g);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Zahlformat,
    testing::Values(FormatFall{371, "371.0", "371"}, FormatFall{185.5, "185.5", "185.5"},
                    FormatFall{-0.5, "-0.5", "-0.5"}, FormatFall{1.113, "1.1", "1.113"},
                    FormatFall{0.25, "0.2", "0.25"},  // wie printf: zur geraden Ziffer
                    FormatFall{0.35, "0.3", "0.35"},  // 0.35 liegt binaer knapp darunter
                    FormatFall{1234567, "1234567.0", "1.23457e+06"},
                    FormatFall{0, "0.0", "0"}, FormatFall{-1e-9, "-0.0", "-1e-09"}));

// ---------------------------------------------------------------- Bogen-Flag

struct BogenFall {
    double a1, a2;
    int flag;
};

void PrintTo(const BogenFall& f, std::ostream* os) { *os << f.a1 << " bis " << f.a2; }

class GrosserBogen : public testing::TestWithParam<BogenFall> {};

TEST_P(GrosserBogen, folgtDemGezeichnetenBogen) {
    EXPECT_EQ(svg::grosser_bogen(GetParam().a1, GetParam().a2), GetParam().flag);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, GrosserBogen,
    testing::Values(BogenFall{0, svg::PI, 0},   // Halbkreis: genau pi ist nicht groesser
                    BogenFall{0, 4, 1}, BogenFall{0, 3, 0}, BogenFall{1, 5, 1},
                    // Start ueber dem Ende: der Bogen laeuft ueber 2 pi hinweg
                    BogenFall{3, 1, 1},   // 2 pi - 2
                    BogenFall{5, 1, 0},   // 2 pi - 4
                    BogenFall{6, 0.5, 0}, BogenFall{2, 1.5, 1},
                    // mehr als eine Umdrehung zeichnet nur den Rest
                    BogenFall{0, 7, 0}, BogenFall{0, 11, 1}, BogenFall{1, 1, 0}));

struct DrehFall {
    double phi;
    int flag;
};

void PrintTo(const DrehFall& f, std::ostream* os) { *os << f.phi; }

class GrosserBogenDrehung : public testing::TestWithParam<DrehFall> {};

TEST_P(GrosserBogenDrehung, folgtDemBetragDerDrehung) {
    EXPECT_EQ(svg::grosser_bogen_drehung(GetParam().phi), GetParam().flag);
}

INSTANTIATE_TEST_SUITE_P(Faelle, GrosserBogenDrehung,
                         testing::Values(DrehFall{1, 0}, DrehFall{-1, 0}, DrehFall{4, 1},
                                         DrehFall{-4, 1}, DrehFall{svg::PI, 0},
                                         DrehFall{-svg::PI, 0}, DrehFall{7, 0},
                                         DrehFall{-10, 1}));

// ---------------------------------------------------------------- Maskierung

struct XmlFall {
    const char *ein, *aus;
};

void PrintTo(const XmlFall& f, std::ostream* os) { *os << "'" << f.ein << "'"; }

class Maskierung : public testing::TestWithParam<XmlFall> {};

TEST_P(Maskierung, maskiertNurWasXmlVerlangt) {
    std::string s;
    svg::xml(s, GetParam().ein);
    EXPECT_EQ(s, GetParam().aus);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Maskierung,
    testing::Values(XmlFall{"black", "black"}, XmlFall{" rgb(1,2,3)", " rgb(1,2,3)"},
                    XmlFall{"a<b", "a&lt;b"}, XmlFall{"x&y", "x&amp;y"},
                    XmlFall{"'q'", "&apos;q&apos;"}, XmlFall{"\"", "&quot;"},
                    XmlFall{"a>b", "a>b"}, XmlFall{"&amp;", "&amp;amp;"}, XmlFall{"", ""},
                    XmlFall{"a\tb\nc", "a\tb\nc"}, XmlFall{"x\x01y", "x\xEF\xBF\xBDy"},
                    XmlFall{"gr\xC3\xBCn", "gr\xC3\xBCn"}));

// ---------------------------------------------------------------- Datei ersetzen

TEST(DateiErsetzen, ersetztEineVorhandeneDateiGanzUndLaesstKeineTemporaereZurueck) {
    TempVerzeichnis t;
    const fs::path p = t.p / "bild.svg";
    std::ofstream(p) << std::string(5000, 'x');
    chmod(p.c_str(), 0640);
    int nr = -1;
    ASSERT_EQ(svg::datei_ersetzen(p.string(), "neu\n", nr), 0);
    EXPECT_EQ(nr, 0);
    EXPECT_EQ(lies(p), "neu\n");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.p), fs::directory_iterator()), 1);
}

TEST(DateiErsetzen, meldetEinVerzeichnisDasEsNichtGibt) {
    TempVerzeichnis t;
    int nr = 0;
    EXPECT_EQ(svg::datei_ersetzen((t.p / "fehlt" / "bild.svg").string(), "x", nr), 1);
    EXPECT_EQ(nr, ENOENT);
}

// Ein Schreiben, das an der Dateigroessengrenze scheitert, laesst die alte Zeichnung ganz
// und keine halbe temporaere Datei zurueck.
TEST(DateiErsetzen, laesstDieAlteZeichnungBeiEinemSchreibfehlerStehen) {
    TempVerzeichnis t;
    const fs::path p = t.p / "bild.svg";
    const std::string alt = "<svg>alt</svg>\n";
    std::ofstream(p) << alt;
    struct rlimit vorher;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    auto signal_vorher = signal(SIGXFSZ, SIG_IGN);
    struct rlimit grenze = vorher;
    grenze.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &grenze), 0);
    int nr = 0;
    const int rc = svg::datei_ersetzen(p.string(), std::string(100000, 'y'), nr);
    setrlimit(RLIMIT_FSIZE, &vorher);
    signal(SIGXFSZ, signal_vorher);
    EXPECT_EQ(rc, 2);
    EXPECT_EQ(nr, EFBIG);
    EXPECT_EQ(lies(p), alt);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.p), fs::directory_iterator()), 1);
}

TEST(DateiErsetzen, svgCloseMeldetDenSchreibfehlerMitStatusEins) {
    TempVerzeichnis t;
    const fs::path p = t.p / "bild.svg";
    std::ofstream(p) << "alt\n";
    struct rlimit vorher;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    auto signal_vorher = signal(SIGXFSZ, SIG_IGN);
    struct rlimit grenze = vorher;
    grenze.rlim_cur = 2000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &grenze), 0);
    Lauf l = lauf("svg_open; svg_kreuz 1; svg_close \"" + p.string() + "\";");
    setrlimit(RLIMIT_FSIZE, &vorher);
    signal(SIGXFSZ, signal_vorher);
    EXPECT_EQ(l.status, 1);
    EXPECT_NE(l.fehler.find(" svg_close schreibfehler: " + p.string() + ": File too large\n"),
              std::string::npos)
        << l.fehler;
    EXPECT_EQ(lies(p), "alt\n");
}

// ---------------------------------------------------------------- ohne Dokument

class OhneDokument : public testing::TestWithParam<const char*> {};

TEST_P(OhneDokument, meldetUndEndetMitStatusEins) {
    const std::string name = GetParam();
    const std::string programm =
        "function f(t) { return t; } v Fvector (1, 2, 3); " + name +
        (name == "svg_kurve" ? " (f, f, 0, 1);" : name == "svg_fieber" ? " v;" : " (1, 2, 3);");
    Lauf l = lauf(programm);
    EXPECT_EQ(l.status, 1);
    EXPECT_NE(l.fehler.find(" " + name + ": kein SVG-Dokument offen (erst svg_open)\n"),
              std::string::npos)
        << l.fehler;
    EXPECT_EQ(l.aus, "");
}

INSTANTIATE_TEST_SUITE_P(Builtins, OhneDokument,
                         testing::Values("svg_close", "svg_kreuz", "svg_punkt", "svg_strecke",
                                         "svg_gerade", "svg_rechteck", "svg_polygon",
                                         "svg_winkel", "svg_kreis", "svg_bogen", "svg_kurve",
                                         "svg_fieber", "svg_text", "logo_strecke",
                                         "logo_bogen"));

// Die Punkte einer Kurve zaehlen zum Schrittbudget, auch wenn jeder Aufruf scheitert.
TEST(Kurve, zaehltZumSchrittbudget) {
    const std::string programm =
        "function f(t); svg_open; svg_kurve (f, f, 0, 1, \"zp=1e12\");";
    std::ostringstream aus, fehler;
    EXPECT_EQ(sandkasten_lauf(programm, nullptr, aus, fehler, 1000, size_t{1} << 20), 1);
    EXPECT_NE(fehler.str().find(" Schrittbudget erschoepft\n"), std::string::npos);
}

}  // namespace

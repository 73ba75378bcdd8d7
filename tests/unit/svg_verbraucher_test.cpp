// SPDX-License-Identifier: MIT
// Echte Leser der SVG-Dokumente: xmllint prueft jedes Dokument, das ein Fall der
// Falldateien schreibt; rsvg-convert rendert Zeichnungen, und die Pixel zeigen, ob ein
// Kreis dort liegt, wohin die Benutzerkoordinaten ihn setzen.
#include <gtest/gtest.h>
#include <png.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "orvu.h"
#include "testhilfe.h"

namespace {

namespace fs = std::filesystem;

struct TempVerzeichnis {
    fs::path p;
    TempVerzeichnis() {
        std::string muster = (fs::temp_directory_path() / "orvu_verbraucher_XXXXXX").string();
        p = mkdtemp(muster.data());
    }
    ~TempVerzeichnis() { fs::remove_all(p); }
};

// Fuehrt ein Programm mit festen Argumenten aus (ohne Shell); liefert den Exit-Status,
// Ausgabe und Fehlerausgabe in ausgabe.
int ausfuehren(const std::vector<std::string>& argv, std::string& ausgabe) {
    const fs::path log = fs::temp_directory_path() / ("orvu_verbraucher_" + std::to_string(getpid()));
    pid_t pid = fork();
    if (pid == 0) {
        FILE* f = std::freopen(log.c_str(), "w", stdout);
        if (f) dup2(fileno(stdout), 2);
        std::vector<char*> a;
        for (const std::string& s : argv) a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        execvp(a[0], a.data());
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    std::ifstream in(log);
    ausgabe.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove(log);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// ---------------------------------------------------------------- Falldateien lesen

// Dekodiert den Inhalt eines Abschnitts mit dem Flag esc.
std::string esc_dekodieren(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            r += s[i];
            continue;
        }
        const char c = s[++i];
        if (c == 'n') r += '\n';
        else if (c == 'r') r += '\r';
        else if (c == 't') r += '\t';
        else if (c == 'x' && i + 2 < s.size()) {
            r += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else r += c;
    }
    return r;
}

struct Dokument {
    std::string fall, text;
};

// Alle SVG-Dokumente in den Abschnitten stdout und "erwartet NAME" einer Falldatei.
std::vector<Dokument> dokumente(const fs::path& datei) {
    std::ifstream in(datei);
    std::vector<Dokument> docs;
    std::string zeile, fall, art, inhalt;
    bool esc = false, noeol = false;
    auto abschluss = [&] {
        if (art.empty()) return;
        std::string t = esc ? esc_dekodieren(inhalt) : inhalt;
        if (noeol && !t.empty()) t.pop_back();
        for (size_t a = 0;;) {
            size_t x = t.find("<?xml", a), s = t.find("<svg", a);
            size_t anfang = std::min(x, s);
            if (anfang == std::string::npos) break;
            size_t ende = t.find("</svg>", anfang);
            if (ende == std::string::npos) ende = t.size();
            else ende += 6;
            docs.push_back({fall, t.substr(anfang, ende - anfang)});
            a = ende;
        }
        art.clear();
    };
    while (std::getline(in, zeile)) {
        const bool kopf = zeile.rfind("-- ", 0) == 0 &&
                          (zeile.size() > 5 && zeile.compare(zeile.size() - 3, 3, " --") == 0);
        if (zeile.rfind("== ", 0) == 0 || zeile.rfind("-- status:", 0) == 0 || kopf) {
            abschluss();
            if (zeile.rfind("== ", 0) == 0) fall = zeile.substr(3);
            if (kopf) {
                std::istringstream w(zeile.substr(3, zeile.size() - 6));
                std::string wort, name;
                w >> wort;
                if (wort == "erwartet") w >> name;
                esc = noeol = false;
                for (std::string flag; w >> flag;) {
                    esc |= flag == "esc";
                    noeol |= flag == "noeol";
                }
                if (wort == "stdout" || wort == "erwartet") art = wort;
                inhalt.clear();
            }
            continue;
        }
        if (!art.empty()) inhalt += zeile + "\n";
    }
    abschluss();
    return docs;
}

class Xmllint : public testing::TestWithParam<const char*> {};

TEST_P(Xmllint, nimmtJedesDokumentDerFaelleAn) {
    const fs::path datei = fs::path("tests/skripte") / GetParam();
    ASSERT_TRUE(fs::exists(datei)) << datei;
    const std::vector<Dokument> docs = dokumente(datei);
    ASSERT_FALSE(docs.empty()) << "keine SVG-Dokumente in " << datei;
    TempVerzeichnis t;
    for (size_t i = 0; i < docs.size(); ++i) {
        const fs::path p = t.p / ("d" + std::to_string(i) + ".svg");
        std::ofstream(p, std::ios::binary) << docs[i].text;
        std::string aus;
        EXPECT_EQ(ausfuehren({"xmllint", "--noout", p.string()}, aus), 0)
            << docs[i].fall << ":\n" << aus << docs[i].text;
    }
}

INSTANTIATE_TEST_SUITE_P(Falldateien, Xmllint, testing::Values("svg.txt", "logo.txt"),
                         [](const testing::TestParamInfo<const char*>& i) {
                             std::string n = i.param;
                             return n.substr(0, n.find('.'));
                         });

// ---------------------------------------------------------------- Rendern

struct Bild {
    unsigned breite = 0, hoehe = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* px(double x, double y) const {
        return &rgba[(static_cast<size_t>(y) * breite + static_cast<size_t>(x)) * 4];
    }
};

bool png_lesen(const fs::path& p, Bild& b) {
    png_image bild{};
    bild.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&bild, p.c_str())) return false;
    bild.format = PNG_FORMAT_RGBA;
    b.breite = bild.width;
    b.hoehe = bild.height;
    b.rgba.resize(PNG_IMAGE_SIZE(bild));
    return png_image_finish_read(&bild, nullptr, b.rgba.data(), 0, nullptr) != 0;
}

struct Zeichnung {
    const char* name;
    const char* programm;  // zeichnet genau einen gefuellten Kreis, schreibt "bild.svg"
    double cx, cy, r;      // wo er im Bild liegen muss (SVG-Einheiten = Pixel)
    unsigned breite, hoehe;
    uint8_t farbe[3];
};

void PrintTo(const Zeichnung& z, std::ostream* os) { *os << z.programm; }

class Rendern : public testing::TestWithParam<Zeichnung> {};

TEST_P(Rendern, kreisLiegtWoDieBenutzerkoordinatenIhnHinsetzen) {
    const Zeichnung& z = GetParam();
    TempVerzeichnis t;
    const fs::path svg = t.p / "bild.svg", png = t.p / "bild.png";
    const Lauf l =
        lauf_im_prozess(std::string(z.programm) + " svg_close \"" + svg.string() + "\";");
    ASSERT_EQ(l.status, 0) << l.fehler;
    std::string meldung;
    ASSERT_EQ(ausfuehren({"rsvg-convert", "-o", png.string(), svg.string()}, meldung), 0)
        << "rsvg-convert (librsvg2-bin) fehlt oder scheitert: " << meldung;
    Bild b;
    ASSERT_TRUE(png_lesen(png, b));
    EXPECT_EQ(b.breite, z.breite);
    EXPECT_EQ(b.hoehe, z.hoehe);
    // Im Kreis (Mitte und vier Punkte bei halbem Radius): die Fuellfarbe, deckend.
    const double d = z.r / 2;
    for (auto [x, y] : {std::pair{z.cx, z.cy}, {z.cx + d, z.cy}, {z.cx - d, z.cy},
                        {z.cx, z.cy + d}, {z.cx, z.cy - d}}) {
        const uint8_t* p = b.px(x, y);
        EXPECT_NEAR(p[0], z.farbe[0], 8) << "(" << x << ", " << y << ")";
        EXPECT_NEAR(p[1], z.farbe[1], 8) << "(" << x << ", " << y << ")";
        EXPECT_NEAR(p[2], z.farbe[2], 8) << "(" << x << ", " << y << ")";
        EXPECT_GT(p[3], 240) << "(" << x << ", " << y << ")";
    }
    // Gespiegelt an der Bildmitte (falsche y- oder x-Richtung) und knapp ausserhalb: leer.
    const double spiegel_y = b.hoehe - z.cy, spiegel_x = b.breite - z.cx;
    if (std::fabs(spiegel_y - z.cy) > z.r + 2) {
        EXPECT_EQ(b.px(z.cx, spiegel_y)[3], 0);
    }
    if (std::fabs(spiegel_x - z.cx) > z.r + 2) {
        EXPECT_EQ(b.px(spiegel_x, z.cy)[3], 0);
    }
    if (z.cx + z.r + 2 < b.breite) {
        EXPECT_EQ(b.px(z.cx + z.r + 2, z.cy)[3], 0);
    }
    if (z.cy - z.r - 2 > 0) {
        EXPECT_EQ(b.px(z.cx, z.cy - z.r - 2)[3], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Rendern,
    testing::Values(
        // Voreinstellung: 371 x 371, Ursprung in der Mitte, 3.71 Einheiten je Schritt.
        // (20, 30) -> (70 * 3.71, 20 * 3.71) = (259.7, 74.2); r = 8 * 3.71
        Zeichnung{"voreinstellung", "svg_open; svg_kreis (20, 30, 8, \"ff=red\", \"sf=red\");",
                  259.7, 74.2, 29.68, 371, 371, {255, 0, 0}},
        // Rahmen 40 x 30, Ursprung 10 von links, 5 von unten: (15, 3) -> (92.75, 81.62)
        Zeichnung{"eigenerRahmen",
                  "svg_open (40, 30, 10, 5); svg_kreis (15, 3, 4, \"ff=blue\", \"sd=0\");",
                  92.75, 81.62, 14.84, 149, 112, {0, 0, 255}},
        // Massstab 2: (5, 5) -> ((10 + 5) * 7.42, (10 - 5) * 7.42) = (111.3, 37.1)
        Zeichnung{"einheitZwei",
                  "svg_open (20, 20, 10, 10, \"einheit=2\"); svg_kreis (5, 5, 3, \"ff=lime\", "
                  "\"sf=lime\");",
                  111.3, 37.1, 22.26, 149, 149, {0, 255, 0}},
        // Punkt: Radius P * sd; (-20, -10) -> (111.3, 222.6)
        Zeichnung{"punkt", "svg_open; svg_punkt (-20, -10, \"sd=4\");", 111.3, 222.6, 14.84,
                  371, 371, {0, 0, 0}}),
    [](const testing::TestParamInfo<Zeichnung>& i) { return std::string(i.param.name); });

}  // namespace

// SPDX-License-Identifier: MIT
// Melodien bis in die WAV-Datei: Notentexte zu Toenen, Abtastwerte, der Kopf der Datei
// und Frequenz und Laenge jedes Tons, mit einem eigenen kleinen WAV-Leser nachgemessen.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "orvu.h"
#include "plattform.h"
#include "testhilfe.h"

namespace fs = std::filesystem;

namespace {

using Ton = Orvu::Melodieton;
constexpr size_t RAND = 3 * 48;  // Abtastwerte je Ende, die nicht mitgemessen werden

// ---------------------------------------------------------------- WAV lesen

struct Wav {
    uint16_t format = 0, kanaele = 0, bits = 0, blockgroesse = 0;
    uint32_t rate = 0, bytes_je_sekunde = 0;
    uint32_t riff_laenge = 0;
    uint32_t daten_laenge = 0;
    std::vector<int16_t> proben;
};

uint32_t le(const std::string& s, size_t p, int n) {
    uint32_t w = 0;
    for (int i = n - 1; i >= 0; --i) w = (w << 8) | static_cast<unsigned char>(s[p + i]);
    return w;
}

// Liest RIFF/WAVE mit fmt- und data-Block; nullopt mit Grund in fehler, wenn etwas fehlt.
std::optional<Wav> wav_lesen(const fs::path& pfad, std::string& fehler) {
    std::ifstream f(pfad, std::ios::binary);
    const std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) {
        fehler = "kein RIFF/WAVE";
        return std::nullopt;
    }
    Wav w;
    w.riff_laenge = le(s, 4, 4);
    bool fmt = false, daten = false;
    for (size_t p = 12; p + 8 <= s.size();) {
        const std::string id = s.substr(p, 4);
        const uint32_t n = le(s, p + 4, 4);
        if (p + 8 + n > s.size()) {
            fehler = "Block " + id + " laenger als die Datei";
            return std::nullopt;
        }
        if (id == "fmt " && n >= 16) {
            w.format = static_cast<uint16_t>(le(s, p + 8, 2));
            w.kanaele = static_cast<uint16_t>(le(s, p + 10, 2));
            w.rate = le(s, p + 12, 4);
            w.bytes_je_sekunde = le(s, p + 16, 4);
            w.blockgroesse = static_cast<uint16_t>(le(s, p + 20, 2));
            w.bits = static_cast<uint16_t>(le(s, p + 22, 2));
            fmt = true;
        } else if (id == "data") {
            w.daten_laenge = n;
            for (size_t i = 0; i + 1 < n; i += 2)
                w.proben.push_back(static_cast<int16_t>(le(s, p + 8 + i, 2)));
            daten = true;
        }
        p += 8 + n + (n & 1);
    }
    if (!fmt || !daten) {
        fehler = fmt ? "kein data-Block" : "kein fmt-Block";
        return std::nullopt;
    }
    if (w.riff_laenge != s.size() - 8) {
        fehler = "RIFF-Laenge " + std::to_string(w.riff_laenge) + " statt " +
                 std::to_string(s.size() - 8);
        return std::nullopt;
    }
    return w;
}

// ---------------------------------------------------------------- Messen

struct Messung {
    double hz = 0;           // aus steigenden Nulldurchgaengen, linear interpoliert
    double max_abweichung = 0;  // groesste relative Abweichung einer Periode vom Mittel
    int spitze = 0;          // groesster Betrag
};

Messung messen(const int16_t* x, size_t n, int rate) {
    Messung m;
    std::vector<double> t;
    for (size_t i = 1; i < n; ++i) {
        m.spitze = std::max(m.spitze, std::abs(static_cast<int>(x[i])));
        if (x[i - 1] < 0 && x[i] >= 0)
            t.push_back(static_cast<double>(i - 1) +
                        static_cast<double>(-x[i - 1]) / static_cast<double>(x[i] - x[i - 1]));
    }
    if (t.size() < 3) return m;
    const double periode = (t.back() - t.front()) / static_cast<double>(t.size() - 1);
    m.hz = rate / periode;
    for (size_t i = 1; i < t.size(); ++i)
        m.max_abweichung = std::max(m.max_abweichung, std::abs(t[i] - t[i - 1] - periode) / periode);
    return m;
}

// ---------------------------------------------------------------- Umgebung

class TempVerzeichnis {
public:
    TempVerzeichnis() {
        std::string muster = (fs::temp_directory_path() / "ton_testXXXXXX").string();
        if (mkdtemp(muster.data())) pfad_ = muster;
    }
    ~TempVerzeichnis() {
        std::error_code ec;
        if (!pfad_.empty()) fs::remove_all(pfad_, ec);
    }
    const fs::path& pfad() const { return pfad_; }
    // Namen aller Eintraege, sortiert.
    std::vector<std::string> inhalt() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(pfad_)) v.push_back(e.path().filename());
        std::sort(v.begin(), v.end());
        return v;
    }

private:
    fs::path pfad_;
};


// Fuehrt das Steuerprogramm im Prozess aus, mit ORVU_WAV = wav.
Lauf orvu_lauf(const std::string& programm, const fs::path& wav) {
    setenv("ORVU_WAV", wav.c_str(), 1);
    const Lauf l = lauf_im_prozess(programm);
    unsetenv("ORVU_WAV");
    return l;
}

std::string spur(const std::vector<Ton>& toene) {
    std::string s;
    for (size_t j = 0; j < toene.size(); ++j)
        s += std::to_string(j) + ": " + std::to_string(toene[j].hz) + "\n";
    return s;
}

// ---------------------------------------------------------------- Melodie bis zur Datei

struct WavFall {
    const char* name;
    const char* programm;
    std::vector<Ton> toene;
};

class MelodieWav : public testing::TestWithParam<WavFall> {};

TEST_P(MelodieWav, jederTonHatFrequenzUndLaengeDerNote) {
    const WavFall& f = GetParam();
    TempVerzeichnis dir;
    ASSERT_FALSE(dir.pfad().empty());
    const fs::path wav = dir.pfad() / "m.wav";
    const Lauf l = orvu_lauf(f.programm, wav);
    ASSERT_EQ(l.status, 0) << l.fehler;
    EXPECT_EQ(l.fehler, spur(f.toene));
    EXPECT_EQ(dir.inhalt(), std::vector<std::string>{"m.wav"}) << "temporaere Datei blieb";

    std::string grund;
    const std::optional<Wav> w = wav_lesen(wav, grund);
    ASSERT_TRUE(w) << grund;
    EXPECT_EQ(w->format, 1);
    EXPECT_EQ(w->kanaele, 1);
    EXPECT_EQ(w->bits, 16);
    EXPECT_EQ(w->blockgroesse, 2);
    EXPECT_EQ(w->rate, 48000u);
    EXPECT_EQ(w->bytes_je_sekunde, 96000u);
    uint32_t ms_summe = 0;
    for (const Ton& t : f.toene) ms_summe += static_cast<uint32_t>(t.ms);
    ASSERT_EQ(w->daten_laenge, ms_summe * 96) << "Datenlaenge passt nicht zur Summe der Dauern";

    size_t a = 0;
    for (size_t j = 0; j < f.toene.size(); ++j) {
        const Ton& t = f.toene[j];
        const size_t n = static_cast<size_t>(t.ms) * 48;
        SCOPED_TRACE("Ton " + std::to_string(j) + " (" + std::to_string(t.hz) + " Hz, " +
                     std::to_string(t.ms) + " ms)");
        if (n == 0) continue;
        const int16_t* x = w->proben.data() + a;
        // Jeder Ton beginnt mit Phase 0 und endet ausgeblendet: an beiden Grenzen 0.
        EXPECT_EQ(x[0], 0);
        EXPECT_EQ(x[n - 1], 0);
        // Gemessen wird ohne die Rampen an den Enden (je 2 ms, dazu 1 ms Rand).
        ASSERT_GT(n, 2 * RAND);
        const Messung m = messen(x + RAND, n - 2 * RAND, 48000);
        EXPECT_NEAR(m.hz, t.hz, 0.2);
        // Ragte ein Nachbarton hinein, wiche eine Periode ab.
        EXPECT_LT(m.max_abweichung, 0.02);
        EXPECT_GT(m.spitze, 8000);
        EXPECT_LT(m.spitze, 16000);
        a += n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, MelodieWav,
    testing::Values(
        WavFall{"relativ", "melodie \"c c d e\";", {{220, 1500}, {246, 1500}, {276, 1500}}},
        WavFall{"relativOktaveTiefer", "melodie \"c c b\";", {{220, 1500}, {206, 1500}}},
        WavFall{"absolutOktaven", "melodie1 \"a4 a\\q4 a,4\";",
                {{220, 375}, {440, 375}, {110, 375}}},
        WavFall{"punktiertUndGanz", "melodie1 \"a2. a e8. g16\";",
                {{220, 1125}, {220, 1500}, {164, 280}, {194, 93}}},
        // Laenge 0 spielt eine ganze Note, ein Punkt dazu das Anderthalbfache.
        WavFall{"laengeNull", "melodie1 \"c0 a c0.\";", {{130, 1500}, {220, 1500}, {130, 2250}}},
        // Ein Ton von 0 ms steht in der Spur, aber nicht in der Datei.
        WavFall{"tonOhneDauer", "melodie1 \"a8 b2000 d8\";", {{220, 187}, {246, 0}, {146, 187}}},
        WavFall{"hoch", "melodie1 \"a\\q\\q\\q4 a\\q\\q\\q\\q\\q4\";", {{1760, 375}, {7040, 375}}},
        WavFall{"leer", "melodie1 \"r\";", {}}),
    [](const testing::TestParamInfo<WavFall>& i) { return std::string(i.param.name); });

// Jede Melodie schreibt die Datei ganz neu; ein zweiter Aufruf ersetzt den ersten.
TEST(MelodieWavDatei, zweiterAufrufErsetztDenErsten) {
    TempVerzeichnis dir;
    const fs::path wav = dir.pfad() / "m.wav";
    const Lauf l = orvu_lauf("melodie1 \"a a a\"; melodie1 \"b4\";", wav);
    ASSERT_EQ(l.status, 0) << l.fehler;
    std::string grund;
    const std::optional<Wav> w = wav_lesen(wav, grund);
    ASSERT_TRUE(w) << grund;
    ASSERT_EQ(w->daten_laenge, 375u * 96);
    EXPECT_NEAR(messen(w->proben.data() + RAND, w->proben.size() - 2 * RAND, 48000).hz, 246, 0.2);
}

// ---------------------------------------------------------------- Tonausgabe direkt

// Die Abtastwerte eines Tons haengen nicht davon ab, in welchen Stuecken man sie holt.
TEST(Tonproben, stueckweiseWieAmStueck) {
    const int hz = 1234, ms = 321;
    const int64_t n = plattform::tonlaenge(ms);
    ASSERT_EQ(n, 321 * 48);
    std::vector<int16_t> ganz(static_cast<size_t>(n));
    plattform::tonproben(hz, ms, 0, n, ganz.data());
    for (int64_t stueck : {1, 7, 96, 4800, 10000}) {
        std::vector<int16_t> teil(static_cast<size_t>(n));
        for (int64_t i = 0; i < n; i += stueck)
            plattform::tonproben(hz, ms, i, std::min(stueck, n - i), teil.data() + i);
        EXPECT_EQ(teil, ganz) << "Stuecke zu " << stueck;
    }
}

// Ein Besitzer, der ohne ende() stirbt, laesst keine halbe Datei zurueck.
TEST(Tonausgabe, ohneEndeBleibtNichtsZurueck) {
    TempVerzeichnis dir;
    const fs::path wav = dir.pfad() / "m.wav";
    {
        plattform::Tonausgabe t(wav.string());
        ASSERT_EQ(t.fehler(), 0);
        ASSERT_EQ(t.ton(440, 100), 0);
        EXPECT_EQ(dir.inhalt().size(), 1u);  // die temporaere Datei
    }
    EXPECT_TRUE(dir.inhalt().empty());
}

// Schreibt drei Toene unter einer Dateigroessengrenze von 20000 Bytes: 0 oder errno.
int schreiben_mit_grenze(const fs::path& wav) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit grenze{20000, 20000};
    setrlimit(RLIMIT_FSIZE, &grenze);
    plattform::Tonausgabe t(wav.string());
    int rc = t.fehler();
    for (int i = 0; i < 3 && rc == 0; ++i) rc = t.ton(440, 500);
    return rc ? rc : t.ende();
}

// Scheitert das Schreiben (hier an der Dateigroessengrenze), meldet ton() oder ende() den
// Fehler, die alte Datei bleibt unberuehrt und keine temporaere Datei zurueck. Im eigenen
// Prozess, weil die Grenze fuer den ganzen Prozess gilt.
TEST(TonausgabeTod, schreibfehlerLaesstAlteDateiStehen) {
    TempVerzeichnis dir;
    const fs::path wav = dir.pfad() / "m.wav";
    { std::ofstream(wav) << "alt"; }
    EXPECT_EXIT(std::_Exit(schreiben_mit_grenze(wav) == EFBIG ? 0 : 2),
                testing::ExitedWithCode(0), "");
    EXPECT_EQ(dir.inhalt(), std::vector<std::string>{"m.wav"});
    std::ifstream f(wav);
    std::string s;
    std::getline(f, s);
    EXPECT_EQ(s, "alt");
}

// ---------------------------------------------------------------- Notentexte

struct NotenFall {
    const char* name;
    const char* text;
    bool absolut;
    std::vector<Ton> toene;
    const char* falsch;  // nullptr: gueltig
};

class Noten : public testing::TestWithParam<NotenFall> {};

TEST_P(Noten, werdenZuTonenOderAbgelehnt) {
    const NotenFall& f = GetParam();
    std::vector<Ton> toene;
    std::string falsch;
    const bool ok = Orvu::melodie_toene(f.text, f.absolut, toene, falsch);
    if (f.falsch) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(falsch, f.falsch);
        return;
    }
    ASSERT_TRUE(ok) << falsch;
    ASSERT_EQ(toene.size(), f.toene.size());
    for (size_t j = 0; j < toene.size(); ++j) {
        EXPECT_EQ(toene[j].hz, f.toene[j].hz) << "Ton " << j;
        EXPECT_EQ(toene[j].ms, f.toene[j].ms) << "Ton " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Noten,
    testing::Values(
        // Laengen: 1500 / d, ganzzahlig; der Punkt das Anderthalbfache, abgeschnitten.
        NotenFall{"laengen", "a a1 a2 a3 a7 a16 a1500 a1501", true,
                  {{220, 1500}, {220, 1500}, {220, 750}, {220, 500}, {220, 214}, {220, 93},
                   {220, 1}, {220, 0}}, nullptr},
        NotenFall{"punkte", "a. a4. a16. a1500. a7..", true,
                  {{220, 2250}, {220, 562}, {220, 139}, {220, 1}, {220, 321}}, nullptr},
        NotenFall{"laengeNull", "a0 a00 a0. a01", true,
                  {{220, 1500}, {220, 1500}, {220, 2250}, {220, 1500}}, nullptr},
        NotenFall{"riesigeLaenge", "a18446744073709551616999 a000000000000000000004", true,
                  {{220, 0}, {220, 375}}, nullptr},
        // Die Laenge steht hinter Vorzeichen und Oktavzeichen; davor zaehlt sie nicht.
        NotenFall{"laengeAmEnde", "a4is ais4 a,4 a4, a'is4", true,
                  {{220, 375}, {232, 375}, {110, 375}, {220, 375}, {440, 1500}}, nullptr},
        NotenFall{"relativLaengeAmEnde", "c c'is4 cis'4", false, {{466, 375}, {466, 1500}},
                  nullptr},
        NotenFall{"mehrereVorzeichen", "aisis aeses aises", true,
                  {{246, 1500}, {194, 1500}, {220, 1500}}, nullptr},
        NotenFall{"relativVorzeichenNachOktave", "c c'is c", false,
                  {{466, 1500}, {440, 1500}}, nullptr},
        NotenFall{"relativLaenge", "c d'8. e,16", false, {{492, 280}, {276, 93}}, nullptr},
        NotenFall{"leereWoerter", "  a   a ", true, {{220, 1500}, {220, 1500}}, nullptr},
        NotenFall{"nurErstesWort", "c'''", false, {}, nullptr},
        NotenFall{"zuTief", "a a,,,,", true, {}, "a,,,,"},
        NotenFall{"zuHochRelativ", "c c''''''' ", false, {}, "c'''''''"},
        NotenFall{"hochRelativ", "c c'''''' ", false, {{14080, 1500}}, nullptr},
        NotenFall{"grenzeUnten", "a,,,", true, {{26, 1500}}, nullptr},
        NotenFall{"viele", "c c,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,", false, {},
                  "c,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,..."},
        NotenFall{"vieleVorzeichen",
                  "aisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisis"
                  "isisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisis"
                  "isisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisisis",
                  true, {}, "aisisisisisisisisisisisisisisisisisisisi..."}),
    [](const testing::TestParamInfo<NotenFall>& i) { return std::string(i.param.name); });

}  // namespace

// SPDX-License-Identifier: MIT
// Fuzz-Ziel: jede Eingabe (Steuerprogramm, NUL, Eingabetext wie bei orvu_fuzz) laeuft
// zweimal auf frischen Orvu-Objekten, mit und ohne Schnellwege, im Sandkasten mit
// demselben Schrittbudget. Weichen stdout, stderr oder Status ab, bricht das Ziel mit
// einem kurzen Bericht auf stderr ab.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "besitz.h"
#include "orvu.h"

namespace {

constexpr uint64_t SCHRITTE = 20000;
constexpr size_t MAX_LAENGE = size_t{1} << 20;

struct Lauf {
    int status;
    std::string aus, fehler;
    bool operator==(const Lauf&) const = default;
};

// Wie sandkasten_lauf, aber mit gewaehltem schnellwege (der Konstruktor liest sonst
// ORVU_LANGSAM).
Lauf laufen(const std::string& programm, const std::string* eingabe, bool schnell) {
    std::string puffer = eingabe ? *eingabe : std::string();
    Datei ein(eingabe ? fmemopen(puffer.data(), puffer.size(), "rb") : nullptr);
    if (eingabe && !ein) std::abort();
    std::ostringstream aus, fehler;
    int status;
    {
        Orvu o;
        o.schnellwege = schnell;
        o.sandkasten = true;
        o.schritte = SCHRITTE;
        o.max_laenge = MAX_LAENGE;
        Argumente arg;
        arg.ein = ein.get();
        arg.aus_stream = &aus;
        arg.fehler = &fehler;
        arg.steuerung = programm.c_str();
        status = o.berechne(&arg);
    }
    return {status, aus.str(), fehler.str()};
}

// Namen, deren Wert von Uhr oder Zufallssaat abhaengt: nur Programme, die einen davon
// enthalten, duerfen als nicht wiederholbar uebergangen werden.
bool nennt_zeit(const std::string& programm) {
    for (std::string_view n : {"TAG", "UHR", "CPUZEIT", "datum", "tag", "uhr", "clock", "srand"})
        if (programm.find(n) != std::string::npos) return true;
    return false;
}

// Ein Stueck um die erste Abweichung, nicht druckbare Bytes als \xHH.
std::string ausschnitt(const std::string& s, size_t ab) {
    const size_t von = ab > 40 ? ab - 40 : 0;
    std::string t;
    for (size_t i = von; i < s.size() && i < von + 160; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\n') {
            t += "\\n";
        } else if (c < 0x20 || c >= 0x7f) {
            char p[5];
            std::snprintf(p, sizeof p, "\\x%02x", c);
            t += p;
        } else {
            t += static_cast<char>(c);
        }
    }
    return t;
}

void teil_melden(const char* name, const std::string& s, const std::string& l) {
    if (s == l) return;
    size_t i = 0;
    while (i < s.size() && i < l.size() && s[i] == l[i]) ++i;
    std::fprintf(stderr, "  %s weicht ab bei Byte %zu (Laenge schnell %zu, langsam %zu)\n", name, i,
                 s.size(), l.size());
    std::fprintf(stderr, "    schnell: %s\n    langsam: %s\n", ausschnitt(s, i).c_str(),
                 ausschnitt(l, i).c_str());
}

[[noreturn]] void melden(const Lauf& s, const Lauf& l) {
    constexpr std::string_view budget = "Schrittbudget erschoepft";
    std::fprintf(stderr, "vergleich_fuzz: schneller und langsamer Weg verschieden\n");
    if (s.status != l.status)
        std::fprintf(stderr, "  Status schnell %d, langsam %d\n", s.status, l.status);
    teil_melden("stdout", s.aus, l.aus);
    teil_melden("stderr", s.fehler, l.fehler);
    const bool bs = s.fehler.find(budget) != std::string::npos;
    const bool bl = l.fehler.find(budget) != std::string::npos;
    if (bs || bl)
        std::fprintf(stderr, "  \"%s\": schnell %s, langsam %s\n", budget.data(),
                     bs ? "ja" : "nein", bl ? "ja" : "nein");
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
    const std::string alles(reinterpret_cast<const char*>(daten), n);
    const size_t trenn = alles.find('\0');
    const std::string programm = alles.substr(0, trenn);
    const std::string eingabe = trenn == std::string::npos ? "" : alles.substr(trenn + 1);
    const std::string* ein = trenn == std::string::npos ? nullptr : &eingabe;
    const Lauf schnell = laufen(programm, ein, true);
    const Lauf langsam = laufen(programm, ein, false);
    if (schnell == langsam) return 0;
    // Haengt die Ausgabe von der Uhr ab, kann eine Sekundengrenze zwischen den Laeufen
    // liegen: dann wiederholen; ist einer der Wege selbst nicht wiederholbar, oder
    // stimmen die Wiederholungen ueberein, laesst sich nichts vergleichen.
    if (nennt_zeit(programm)) {
        const Lauf schnell2 = laufen(programm, ein, true);
        const Lauf langsam2 = laufen(programm, ein, false);
        if (schnell2 == langsam2 || !(schnell2 == schnell) || !(langsam2 == langsam)) return 0;
    }
    melden(schnell, langsam);
}

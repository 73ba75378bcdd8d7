// SPDX-License-Identifier: MIT
// Zins: Zahlungsliste lesen, Barwertsumme, Nullstelle durch Bisektion.
#include "zins.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string_view>

#include "kalender.h"

namespace {

// Genau einer der Werte liegt unter 0 und der andere ueber 0 (0 wechselt mit nichts).
bool wechsel(double a, double b) { return (a < 0 && b > 0) || (a > 0 && b < 0); }

// Wie atoi, aber ohne Ueberlauf: begrenzt auf den Bereich von int32; ende zeigt hinter
// die Ziffern.
int32_t ganzzahl(const char* s, const char** ende) {
    char* e = nullptr;
    long long v = std::strtoll(s, &e, 10);
    *ende = e;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Zahlen in der Grundeinstellung eines Stroms (6 gueltige Stellen), unabhaengig davon,
// wie der Fehlerstrom gerade eingestellt ist.
void ausserhalb(std::ostream& fehler, double f, double g, double lo, double hi) {
    std::ostringstream s;
    s << f << "\n" << g << "\nzins ausserhalb " << lo << " - " << hi << "\n";
    fehler << s.str();
}

}  // namespace

int Zins::get_zeit(const char* text, double* zeit, std::ostream& fehler) const {
    const char* p1 = std::strchr(text, '.');
    if (p1 && std::strchr(p1 + 1, '.')) {
        int64_t tag = 0;
        if (Kalender().kal2int(text, &tag, "", fehler)) {
            fehler << "fehler src/zins" << 101 << "\n";
            return 1;
        }
        *zeit = static_cast<double>(tag) / tage_pro_jahr;
        return 0;
    }
    double z = std::atof(text);
    if (std::strchr(text, 'm')) z /= 12;
    else if (std::strchr(text, 't')) z /= tage_pro_jahr;
    *zeit = z;
    return 0;
}

int Zins::init(const char* liste, std::ostream& fehler) {
    zahlungen.clear();
    const std::string_view text(liste);
    const char trenner = text.find('\n') != std::string_view::npos ? '\n' : ';';
    size_t anfang = 0;
    while (anfang <= text.size()) {
        size_t ende = text.find(trenner, anfang);
        if (ende == std::string_view::npos) ende = text.size();
        const std::string eintrag(text.substr(anfang, ende - anfang));
        anfang = ende + 1;
        const size_t vz = eintrag.find_first_of("+-");
        if (vz == std::string::npos) continue;  // auch leere Eintraege
        Zahlung z;
        if (get_zeit(eintrag.substr(0, vz).c_str(), &z.zeit, fehler)) {
            fehler << "fehler src/zins" << 102 << "\n";
            return 1;
        }
        const char* betrag = eintrag.c_str() + vz + 1;
        z.betrag = std::atof(betrag);
        if (eintrag[vz] == '-') z.betrag = -z.betrag;
        if (const char* stern = std::strchr(betrag, '*')) {
            const char* nach = nullptr;
            z.wiederholungen = ganzzahl(stern + 1, &nach);
            z.periode = (*nach == 'j' || *nach == 'm' || *nach == 't') ? *nach : 'j';
        }
        zahlungen.push_back(z);
    }
    // Die frueheste Zahlung liegt bei 0 (auch wenn alle Zeiten sehr gross sind).
    if (!zahlungen.empty()) {
        double min = zahlungen[0].zeit;
        for (const Zahlung& z : zahlungen) min = std::fmin(min, z.zeit);
        for (Zahlung& z : zahlungen) z.zeit -= min;
    }
    return 0;
}

double Zins::bw(double q, int n) {
    // Bei q == 1 ist jede Zahlung 1 wert; sonst die geometrische Summe 1 + 1/q + ...
    // + 1/q^(n-1), fuer Faktoren unter 1 ebenso wie darueber.
    if (q == 1.0) return n;
    return (std::pow(q, n) - 1) / std::pow(q, n - 1) / (q - 1);
}

double Zins::berechne_up(double q) const {
    double summe = 0;
    for (const Zahlung& z : zahlungen) {
        double a = z.betrag;
        if (z.wiederholungen > 1) {
            double qp = q;
            if (z.periode == 'm') qp = std::pow(q, 0.08333333333333333);
            else if (z.periode == 't') qp = std::pow(q, 1 / tage_pro_jahr);
            a *= bw(qp, z.wiederholungen);
        }
        summe += a * std::pow(q, -z.zeit);
    }
    return summe;
}

int Zins::berechne(const char* liste, double* q, std::ostream& fehler) {
    *q = 1.0;
    if (init(liste, fehler)) return 1;
    const double f1 = berechne_up(0.0001), f2 = berechne_up(0.9999);
    const double f3 = berechne_up(1.0001), f4 = berechne_up(2.0);
    double lo, hi, f, g;
    if (wechsel(f1, f2)) {
        lo = 0.0001, hi = 0.9999, f = f1, g = f2;
    } else if (wechsel(f3, f4)) {
        lo = 1.0001, hi = 2.0, f = f3, g = f4;
    } else {
        ausserhalb(fehler, f1, f4, 1.001, 2);
        return 1;
    }
    while (hi - lo >= 1e-10) {
        const double mid = (lo + hi) / 2;
        const double h = berechne_up(mid);
        if (h == 0) {  // genau die Nullstelle getroffen
            *q = mid;
            return 0;
        }
        if (wechsel(f, h)) {
            hi = mid, g = h;
        } else if (wechsel(g, h)) {
            lo = mid, f = h;
        } else {
            ausserhalb(fehler, f, g, lo, hi);
            return 1;
        }
    }
    *q = lo;
    return 0;
}

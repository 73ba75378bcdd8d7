// SPDX-License-Identifier: MIT
// Kalender: Umrechnung Datumstext <-> Tagesnummer, Wochentag und Ortszeit.
// Meldungen mit eigenem Praefix "src/kalender" und eigenen Nummern.
#include "kalender.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Ganzzahlige Division und Rest mit Abrunden (auch fuer negative Zaehler).
int64_t fdiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
int64_t fmod_(int64_t a, int64_t b) {
    int64_t r = a % b;
    if (r != 0 && ((r < 0) != (b < 0))) r += b;
    return r;
}

// Tage vor jedem Monat, Gemeinjahr und Schaltjahr.
constexpr int vor_monat[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

constexpr const char* wochentage[7] = {"Samstag",  "Sonntag",    "Montag", "Dienstag",
                                       "Mittwoch", "Donnerstag", "Freitag"};

// Eine Zahl wie scanf "%d": Leerraum, Vorzeichen, mindestens eine Ziffer; der Wert muss
// in 32 Bit passen (sonst kein Datum statt eines zufaelligen Werts).
bool lies_zahl(const char*& p, int64_t& wert) {
    const char* s = p;
    while (std::isspace(static_cast<unsigned char>(*s))) ++s;
    bool minus = false;
    if (*s == '+' || *s == '-') minus = *s++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*s))) return false;
    int64_t v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*s)); ++s) {
        v = v * 10 + (*s - '0');
        if (v > int64_t{INT_MAX} + 1) return false;
    }
    v = minus ? -v : v;
    if (v > INT_MAX || v < INT_MIN) return false;
    wert = v;
    p = s;
    return true;
}

struct Felder {
    int64_t tag = 0, monat = 0, jahr = 0;
    std::string suffix;  // hoechstens 8 Zeichen ohne Leerraum
};

// Wie scanf mit "%d.%d.%d.%8s" (trenner '.', Tag zuerst) bzw. "%d-%d-%d-%8s" (Jahr
// zuerst): drei oder vier gelesene Felder gelten als Datum.
bool lies_felder(const char* text, char trenner, Felder& f) {
    const char* p = text;
    int64_t z[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (*p != trenner) return false;
            ++p;
        }
        if (!lies_zahl(p, z[i])) return false;
    }
    if (trenner == '.') {
        f.tag = z[0], f.monat = z[1], f.jahr = z[2];
    } else {
        f.jahr = z[0], f.monat = z[1], f.tag = z[2];
    }
    f.suffix.clear();
    if (*p == trenner) {
        ++p;
        while (std::isspace(static_cast<unsigned char>(*p))) ++p;
        while (*p && !std::isspace(static_cast<unsigned char>(*p)) && f.suffix.size() < 8)
            f.suffix += *p++;
    }
    return true;
}

}  // namespace

int64_t Kalender::gregorianisch(int64_t jahr, int64_t monat, int64_t tag) {
    // x = jahr + (monat - 2.85)/12 genau als Bruch x = n/1200; das Jahr beginnt so im
    // Maerz, Januar und Februar zaehlen zum Vorjahr. Tage = 367x - 1.75 J - 0.75 J/100.
    const int64_t n = 1200 * jahr + 100 * monat - 285;
    const int64_t j = fdiv(n, 1200);
    return fdiv(367 * n, 1200) - 2 * j + fdiv(j, 4) - fdiv(j, 100) + fdiv(j, 400) + tag + 55;
}

int64_t Kalender::julianisch(int64_t jahr, int64_t monat, int64_t tag) {
    // Monate ausserhalb 1..12 zaehlen in die Nachbarjahre weiter.
    jahr += fdiv(monat - 1, 12);
    monat = fmod_(monat - 1, 12) + 1;
    const bool schalt = fmod_(jahr, 4) == 0;
    return jahr * 365 + fdiv(jahr + 3, 4) + tag + vor_monat[schalt][monat - 1] - 3;
}

Kalender::Datum Kalender::datum(int64_t n, bool greg) {
    // Verfahren der astronomischen Tafeln ueber die julianische Tageszahl. Erst ganze
    // Zyklen (400 Jahre gregorianisch, 4 Jahre julianisch) abziehen: der Rest ist klein
    // und positiv, so bleibt alles genau und ohne Ueberlauf.
    const int64_t zyklus_tage = greg ? 146097 : 1461;
    const int64_t zyklus_jahre = greg ? 400 : 4;
    const int64_t k = fdiv(n, zyklus_tage);
    const int64_t z = fmod_(n, zyklus_tage) + JULDAT;
    int64_t a = z;
    if (greg) {
        const int64_t alpha = fdiv(4 * z - 7468865, 146097);   // (Z - 1867216.25) / 36524.25
        a = z + 1 + alpha - fdiv(alpha, 4);
    }
    const int64_t b = a + 1524;
    const int64_t c = fdiv(20 * b - 2442, 7305);             // (B - 122.1) / 365.25
    const int64_t d = fdiv(1461 * c, 4);                     // C * 365.25
    const int64_t e = fdiv((b - d) * 10000, 306001);         // (B - D) / 30.6001
    Datum erg;
    erg.tag = static_cast<int>(b - d - fdiv(306001 * e, 10000));
    erg.monat = static_cast<int>(e <= 13 ? e - 1 : e - 13);
    erg.jahr = (erg.monat > 2 ? c - 4716 : c - 4715) + k * zyklus_jahre;
    return erg;
}

const char* Kalender::wochentag(int64_t tagesnummer) {
    return wochentage[fmod_(tagesnummer, 7)];
}

int Kalender::kal2int(const char* text, int64_t* tag, const char* optionen, std::ostream& fehler,
                      bool* jd) const {
    if (!optionen) optionen = "";
    if (jd) *jd = false;
    Felder f;
    if (!text || (!lies_felder(text, '.', f) && !lies_felder(text, '-', f))) {
        fehler << "kein datumsformat gefunden";
        *tag = 0;
        return 1;
    }
    auto hat = [&](char c) {
        return f.suffix.find(c) != std::string::npos || std::strchr(optionen, c) != nullptr;
    };
    int64_t jahr = f.jahr;
    if (hat('v')) jahr = 1 - jahr;
    bool greg = jahr > 1582 || (jahr == 1582 && (f.monat > 10 || (f.monat == 10 && f.tag > 14)));
    if (hat('g')) greg = true;
    if (hat('j')) greg = false;
    int64_t n = greg ? gregorianisch(jahr, f.monat, f.tag) : julianisch(jahr, f.monat, f.tag);
    if (f.suffix.find('a') != std::string::npos) {
        n += JULDAT;
        if (jd) *jd = true;
    }
    *tag = n;
    return 0;
}

int Kalender::int2kal(int64_t tag, std::string& text, const char* optionen,
                      std::ostream& fehler) const {
    if (!optionen) optionen = "";
    text.clear();
    if (tag > MAX_TAG) {
        fehler << "src/kalender" << 101 << "int2kal ein > 10000*365\n";
        return 1;
    }
    if (tag < MIN_TAG) {
        fehler << "src/kalender" << 102 << "int2kal ein < -10000*365\n";
        return 1;
    }
    bool greg = ist_gregorianisch(tag);
    if (std::strchr(optionen, 'g')) greg = true;
    if (std::strchr(optionen, 'j')) greg = false;
    const Datum d = datum(tag, greg);
    char puf[64];
    int n = std::snprintf(puf, sizeof puf, "%02d.%02d.%04lld", d.tag, d.monat,
                          static_cast<long long>(d.jahr));
    text.assign(puf, static_cast<size_t>(n));
    if (*optionen) {
        text += '.';
        text += optionen;
    }
    return 0;
}

bool Kalender::ortszeit(std::time_t t, std::tm& tm) {
    tzset();  // TZ neu lesen, auch wenn das Programm es waehrend des Laufs aendert
    return localtime_r(&t, &tm) != nullptr;
}

int64_t Kalender::tagesnummer(const std::tm& tm) {
    return gregorianisch(int64_t{tm.tm_year} + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::string Kalender::zeitstempel(std::time_t t) {
    std::tm tm{};
    if (!ortszeit(t, tm)) return {};
    char puf[80];
    int n = std::snprintf(puf, sizeof puf, "%04lld-%02d-%02d %02d:%02d:%02d",
                          static_cast<long long>(tm.tm_year) + 1900, tm.tm_mon + 1, tm.tm_mday,
                          tm.tm_hour, tm.tm_min, tm.tm_sec);
    return std::string(puf, static_cast<size_t>(n));
}

// SPDX-License-Identifier: MIT
// Textwerkzeuge: Zeilen lesen, Backslash-Folgen, Codepunkte, Leerraum und Kommentare.
#include "up.h"

#include <cstdint>
#include <sys/types.h>

// Dateipositionen muessen ueber 2 GiB reichen (ftello/fseeko beim Aufrufer).
static_assert(sizeof(off_t) >= 8, "off_t muss 64 Bit breit sein");

namespace {

// Wert einer Hexziffer oder -1.
int hexwert(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Liest genau n Hexziffern ab p; false, sobald eine fehlt (haelt am NUL an).
bool hex_genau(const char* p, int n, std::uint32_t& wert) {
    std::uint32_t w = 0;
    for (int i = 0; i < n; ++i) {
        int h = hexwert(p[i]);
        if (h < 0) return false;
        w = (w << 4) | static_cast<std::uint32_t>(h);
    }
    wert = w;
    return true;
}

constexpr std::uint32_t max_codepunkt = 0x10FFFF;

// Ein Byte nach puffer, NUL dahinter (puffer hat mindestens 5 Bytes).
int ein_byte(unsigned wert, char* puffer) {
    puffer[0] = static_cast<char>(static_cast<unsigned char>(wert));
    puffer[1] = '\0';
    return 1;
}

// Codepunkt als UTF-8 mit NUL dahinter, oder Fehlermeldung.
int codepunkt(std::uint32_t cp, char* puffer, std::ostream& fehler, int stelle) {
    if (cp > max_codepunkt) {
        fehler << "src/up" << stelle << "utf8 fehler\n";
        return -1;
    }
    int n = utf8_schreiben(cp, puffer);
    puffer[n] = '\0';
    return n;
}

} // namespace

// UTF-8 von cp (<= 0x10FFFF) nach puffer; bei 1 bis 3 Bytes folgt ein NUL.
int utf8_schreiben(std::uint32_t cp, char* puffer) {
    auto b = [](std::uint32_t v) { return static_cast<char>(static_cast<unsigned char>(v)); };
    if (cp < 0x80) {
        puffer[0] = b(cp);
        puffer[1] = '\0';
        return 1;
    }
    if (cp < 0x800) {
        puffer[0] = b(0xC0 | (cp >> 6));
        puffer[1] = b(0x80 | (cp & 0x3F));
        puffer[2] = '\0';
        return 2;
    }
    if (cp <= 0xFFFF) {
        puffer[0] = b(0xE0 | (cp >> 12));
        puffer[1] = b(0x80 | ((cp >> 6) & 0x3F));
        puffer[2] = b(0x80 | (cp & 0x3F));
        puffer[3] = '\0';
        return 3;
    }
    puffer[0] = b(0xF0 | (cp >> 18));
    puffer[1] = b(0x80 | ((cp >> 12) & 0x3F));
    puffer[2] = b(0x80 | ((cp >> 6) & 0x3F));
    puffer[3] = b(0x80 | (cp & 0x3F));
    return 4;
}

int Getline(FILE* f, std::string& zeile) {
    zeile.clear();
    bool gelesen = false;  // mindestens ein Byte dieser Zeile
    int c;
    flockfile(f);
    while ((c = getc_unlocked(f)) != EOF) {
        gelesen = true;
        if (c == '\n') break;
        zeile.push_back(static_cast<char>(c));
    }
    const bool lesefehler = c == EOF && ferror_unlocked(f);
    funlockfile(f);
    if (lesefehler) {
        std::fputs("NANU Getline\n", stdout);
        std::fflush(stdout);
        zeile.clear();
        return 1;
    }
    if (!gelesen) return 1;  // Dateiende
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    zeile.push_back('\n');
    return 0;
}

int get_backslash(const char** cursor, char* puffer, std::ostream& fehler) {
    const char* p = *cursor;  // p[0] ist der Backslash
    const char c = p[1];
    std::uint32_t wert = 0;
    int n = -1;        // geschriebene Bytes
    int laenge = 2;    // Laenge der Folge samt Backslash

    switch (c) {
    case '\0':
        fehler << "src/up20backslash am ende\n";
        return -1;
    case 'k': n = ein_byte('\\', puffer); break;
    case 'n': n = ein_byte('\n', puffer); break;
    case 'r': n = ein_byte('\r', puffer); break;
    case 't': n = ein_byte('\t', puffer); break;
    case 's': n = ein_byte(' ', puffer); break;
    case 'q': n = ein_byte('\'', puffer); break;
    case 'Q': n = ein_byte('"', puffer); break;
    case 'i':
        for (int i = 2; i < 10; ++i) {
            if (p[i] != '0' && p[i] != '1') {
                fehler << "src/up21kein binaerzahlenstring der laenge 8\n";
                return -1;
            }
            wert = (wert << 1) | static_cast<std::uint32_t>(p[i] - '0');
        }
        n = ein_byte(wert, puffer);
        laenge = 10;
        break;
    case 'o':
        for (int i = 2; i < 5; ++i) {
            if (p[i] < '0' || p[i] > '7') {
                fehler << "src/up22kein oktalstring\n";
                return -1;
            }
            wert = wert * 8 + static_cast<std::uint32_t>(p[i] - '0');
        }
        if (wert > 255) {
            fehler << "src/up23fehler bei oktalstring\n";
            return -1;
        }
        n = ein_byte(wert, puffer);
        laenge = 5;
        break;
    case 'z':
        for (int i = 2; i < 5; ++i) {
            if (p[i] < '0' || p[i] > '9') {
                fehler << "src/up24kein dezstring\n";
                return -1;
            }
            wert = wert * 10 + static_cast<std::uint32_t>(p[i] - '0');
        }
        if (wert > 255) {
            fehler << "src/up25fehler bei dezstring\n";
            return -1;
        }
        n = ein_byte(wert, puffer);
        laenge = 5;
        break;
    case 'x':
        if (!hex_genau(p + 2, 2, wert)) {
            fehler << "src/up26kein quotzeichen q1, q2\n";
            return -1;
        }
        n = ein_byte(wert, puffer);
        laenge = 4;
        break;
    default:
        if (hex_genau(p + 1, 2, wert)) {
            n = ein_byte(wert, puffer);
            laenge = 3;
        } else if (c == '[') {
            // 1 bis 7 Hexziffern und "]"; sonst (auch "\[]") gilt "[" woertlich.
            int i = 2;
            while (i < 9 && hexwert(p[i]) >= 0) wert = (wert << 4) | static_cast<std::uint32_t>(hexwert(p[i++]));
            if (i > 2 && p[i] == ']') {
                n = codepunkt(wert, puffer, fehler, 27);
                laenge = i + 1;
            } else {
                n = ein_byte('[', puffer);
            }
        } else if (c == 'u' && hex_genau(p + 2, 4, wert)) {
            n = codepunkt(wert, puffer, fehler, 28);
            laenge = 6;
        } else if (c == 'U' && hex_genau(p + 2, 8, wert)) {
            n = codepunkt(wert, puffer, fehler, 29);
            laenge = 10;
        } else {
            n = ein_byte(static_cast<unsigned char>(c), puffer);
        }
        break;
    }
    if (n < 0) return -1;
    *cursor = p + laenge;
    return n;
}

int codepos2char(const char* hex, char* puffer) {
    std::uint32_t wert = 0;
    for (int h; (h = hexwert(*hex)) >= 0; ++hex) {
        wert = (wert << 4) | static_cast<std::uint32_t>(h);
        // Lange Ziffernfolgen: sobald zu gross, nicht weiter schieben (kein Ueberlauf).
        if (wert > max_codepunkt) return -1;
    }
    return utf8_schreiben(wert, puffer);
}

int weisse_zeichen(const char** cursor) {
    const char* p = *cursor;
    for (;;) {
        const char c = *p;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++p;
        } else if (c == '/' && p[1] == '/') {
            p += 2;
            while (*p != '\0' && *p != '\n') ++p;
        } else if (c == '/' && p[1] == '*') {
            const char* q = p + 2;
            while (*q != '\0' && !(q[0] == '*' && q[1] == '/')) ++q;
            if (*q == '\0') return 1;  // offener Blockkommentar
            p = q + 2;
        } else {
            break;
        }
    }
    *cursor = p;
    return 0;
}

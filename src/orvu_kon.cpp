// SPDX-License-Identifier: MIT
// Kommandozeile: Optionen und Positionsargumente, Ein- und Ausgabe, Lauf, Fehlerstrom, Status.
#include "orvu_kon.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "besitz.h"
#include "meldungen.h"
#include "orvu.h"

namespace {

const char* const hilfe[8] = {
    "  ---------------------------------------------------------------------------- ",
    " | Prog ORVULIS                                                               |",
    " |      C-aehnliche Progammiersprache                                         |",
    " | Aufruf:                                                                    |",
    " |      orvulis eingabe ausgabe Steuerung                                     |",
    " | Beispiel:                                                                  |",
    " |      orvu ein aus \"$=ZNR,&;\" // Zeilen nummerieren                         |",
    "  ---------------------------------------------------------------------------- ",
};

void hilfe_zeigen(bool mit_datum) {
    for (const char* z : hilfe) std::printf("%s\n", z);
    if (!mit_datum) return;
    static const char monate[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const char* d = __DATE__;  // "Mmm dd yyyy"
    int monat = static_cast<int>((std::strstr(monate, std::string(d, 3).c_str()) - monate) / 3) + 1;
    std::printf("   Kompiliert: %.4s-%02d-%02d %s\n", d + 7, monat, std::atoi(d + 4), __TIME__);
}

// Meldung der Kommandozeile mit Modulpfad und Ortsnummer.
std::string ort(int n) { return "src/orvu_kon" + std::to_string(n); }

bool beginnt(const char* s, const char* p) { return std::strncmp(s, p, std::strlen(p)) == 0; }

// Die Ziele der Optionen; nullptr = nicht gesetzt.
struct Kommandozeile {
    const char* ein = nullptr;
    const char* aus = nullptr;
    const char* io = nullptr;
    const char* zwei = nullptr;
    const char* steuer = nullptr;  // zeigt in argv oder in steuer_puffer
    std::string steuer_puffer;
    const char* pos[3] = {};
    int npos = 0;
    bool anhaengen = false;
    bool steuer_getrennt = false;  // Steuerung kam als "-s TEXT" oder "-f DATEI"
    std::string argtext[10];
};

// Zweite Option fuer ein gesetztes Ziel: Meldung auf der Standardausgabe.
int doppelt(const char* alt, const char* arg, const char* trenner, int n) {
    std::printf("%s:%s%sarg doppelt%s", alt, arg, trenner, ort(n).c_str());
    std::fflush(stdout);
    return 1;
}

int setze(const char*& ziel, const char* wert, const char* arg) {
    if (ziel) return doppelt(ziel, arg, ":", 1);
    ziel = wert;
    return 0;
}

int steuerdatei(Kommandozeile& k, const char* name, const char* arg) {
    if (k.steuer) return doppelt(k.steuer, arg, "", 2);
    std::string inhalt;
    if (datei_lesen(name, inhalt) != 0) {
        std::cerr << ort(3) << " open fehler steuerdatei " << name << " \n";
        return 1;
    }
    // Eine erste Zeile "#!..." gehoert dem Programmlader (ausfuehrbares Skript); ihr
    // Zeilenende bleibt, damit die Zeilen danach ihre Nummern behalten.
    if (inhalt.starts_with("#!")) inhalt.erase(0, std::min(inhalt.find('\n'), inhalt.size()));
    k.steuer_puffer.assign(inhalt.c_str());  // endet am ersten NUL wie ein C-Text
    k.steuer = k.steuer_puffer.c_str();
    return 0;
}

// Ein Argument: Option nach Praefix (erste passende gewinnt) oder Positionsargument.
// "-s" und "-f" ohne angehaengten Wert nehmen das naechste Argument (wert_danach).
int argument(Kommandozeile& k, const char* a, const char* wert_danach) {
    static const char* const ein[] = {"-i", "i=", "if=", "in=", "ein="};
    static const char* const aus[] = {"-o", "o=", "of=", "out=", "aus="};
    static const char* const anh[] = {"aus+=", "out+=", "o+=", "of+="};
    for (const char* p : ein)
        if (beginnt(a, p)) return setze(k.ein, a + std::strlen(p), a);
    for (const char* p : aus)
        if (beginnt(a, p)) return setze(k.aus, a + std::strlen(p), a);
    if (beginnt(a, "zwei=")) return setze(k.zwei, a + 5, a);
    for (const char* p : anh) {
        if (beginnt(a, p)) {
            k.anhaengen = true;
            return setze(k.aus, a + std::strlen(p), a);
        }
    }
    if (beginnt(a, "io=")) return setze(k.io, a + 3, a);
    if (a[0] == '&' && a[1] >= '0' && a[1] <= '9' && a[2] == '=') {
        k.argtext[a[1] - '0'] = a + 3;
        return 0;
    }
    if ((std::strcmp(a, "-s") == 0 || std::strcmp(a, "-f") == 0) && wert_danach) {
        int r = a[1] == 's' ? setze(k.steuer, wert_danach, wert_danach)
                            : steuerdatei(k, wert_danach, wert_danach);
        k.steuer_getrennt = r == 0;
        return r;
    }
    if (beginnt(a, "-s") || beginnt(a, "ss=")) return setze(k.steuer, a + (a[0] == '-' ? 2 : 3), a);
    if (beginnt(a, "-f") || beginnt(a, "sf=")) return steuerdatei(k, a + (a[0] == '-' ? 2 : 3), a);
    if (k.npos == 3) {
        std::cerr << ort(4) << "Eingabefehler: Ueberzaehliges Dateinamenargument " << a << "\n";
        return 1;
    }
    k.pos[k.npos++] = a;
    return 0;
}

// Positionsargument fuer ein schon gesetztes Ziel: Meldung auf der Standardfehlerausgabe.
int konflikt(const char* wert, const char* pos, const char* trenner) {
    std::cerr << ort(5) << wert << trenner << pos << ":arg doppelt" << ort(5);
    return 1;
}

int positionen(Kommandozeile& k) {
    if (k.npos == 3) {
        if (k.ein) return konflikt(k.ein, k.pos[0], " ");
        if (k.aus) return konflikt(k.aus, k.pos[1], " ");
        if (k.steuer) return konflikt(k.steuer, k.pos[2], " ");
        k.ein = k.pos[0];
        k.aus = k.pos[1];
        k.steuer = k.pos[2];
    } else if (k.npos == 2) {
        if (k.ein) return konflikt(k.ein, k.pos[0], ":");
        if (k.aus) return konflikt(k.aus, k.pos[1], ":");
        k.ein = k.pos[0];
        k.aus = k.pos[1];
    } else if (k.npos == 1) {
        // Nach "-f DATEI" oder "-s TEXT" (ausfuehrbares Skript "#!.../orvu -f") ist das
        // eine Positionsargument die Eingabe.
        if (k.steuer && (!k.steuer_getrennt || k.ein)) return konflikt(k.steuer, k.pos[0], " ");
        if (k.steuer) k.ein = k.pos[0];
        else k.steuer = k.pos[0];
    }
    return 0;
}

bool einer_von(const char* s, std::initializer_list<const char*> namen) {
    for (const char* n : namen)
        if (std::strcmp(s, n) == 0) return true;
    return false;
}

// Ausgabe in eine Zwischendatei im Verzeichnis der Eingabe; sie ersetzt die Eingabe erst
// nach einem fehlerfreien Lauf, so geht die Eingabe nie verloren.
struct Umschreiben {
    std::string ziel, tmp;
    Datei oeffnen(const char* name, bool anhaengen) {
        ziel = name;
        size_t sl = ziel.rfind('/');
        tmp = (sl == std::string::npos ? std::string(".") : ziel.substr(0, sl)) + "/~TMPXXXXXX";
        int fd = mkstemp(tmp.data());
        if (fd < 0) return Datei();
        struct stat st;
        if (stat(name, &st) == 0) fchmod(fd, st.st_mode & 07777);
        Datei f(fdopen(fd, "wb"));
        if (!f) ::close(fd);
        else if (anhaengen && !kopiere(name, f.get())) f = Datei();
        if (!f) std::remove(tmp.c_str());
        return f;
    }
    static bool kopiere(const char* name, FILE* nach) {
        Datei von(name, "rb");
        if (!von) return false;
        char puf[65536];
        size_t n;
        bool ok = true;
        while (ok && (n = std::fread(puf, 1, sizeof puf, von.get())) > 0)
            ok = std::fwrite(puf, 1, n, nach) == n;
        return ok && !std::ferror(von.get());
    }
};

struct Lauf {
    Orvu* o;
    Argumente* arg;
    int status;
};

void* lauf_faden(void* p) {
    Lauf* l = static_cast<Lauf*>(p);
    l->status = l->o->berechne(l->arg);
    return nullptr;
}

// Der Lauf bekommt einen grossen Stapel (nur reserviert, belegt wird, was er braucht),
// damit tiefe Rekursion an der eigenen Grenze endet und nicht am Stapelende.
int berechne_mit_stapel(Orvu& o, Argumente& arg) {
    constexpr size_t STAPEL = size_t{1} << 30;
    Lauf l{&o, &arg, 1};
    pthread_attr_t attr;
    pthread_t faden;
    const size_t grenze = o.stapel_grenze;
    o.stapel_grenze = STAPEL - (size_t{64} << 20);  // vor dem Start setzen: der Faden liest es
    if (pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, STAPEL) == 0 &&
        pthread_create(&faden, &attr, lauf_faden, &l) == 0) {
        pthread_join(faden, nullptr);
    } else {
        o.stapel_grenze = grenze;
        l.status = o.berechne(&arg);
    }
    pthread_attr_destroy(&attr);
    return l.status;
}

}  // namespace

int orvu_kon(int argc, char** argv) {
    if (argc == 1) {
        hilfe_zeigen(false);
        return 0;
    }
    if (argc == 2 && (einer_von(argv[1], {"-h", "-H", "--help"}))) {
        hilfe_zeigen(true);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("orvu %s\n", ORVU_VERSION);
        return 0;
    }
    Kommandozeile k;
    for (int i = 1; i < argc; ++i) {
        if (beginnt(argv[i], "//")) break;
        const char* danach = i + 1 < argc ? argv[i + 1] : nullptr;
        if (argument(k, argv[i], danach)) return 1;
        if (danach && (std::strcmp(argv[i], "-s") == 0 || std::strcmp(argv[i], "-f") == 0)) ++i;
    }
    if (positionen(k)) return 1;
    if (k.io) {
        if (k.ein || k.aus) {
            std::cerr << ort(6) << " zu viele argumente " << k.io << " \n";
            return 1;
        }
        bool std_io = einer_von(k.io, {"", "con", "std", "stdio"});
        k.ein = std_io ? "" : k.io;
        k.aus = std_io ? "" : k.io;
    }
    const bool ein_std = k.ein && einer_von(k.ein, {"", "con", "std", "stdin"});
    const bool aus_std = !k.aus || einer_von(k.aus, {"", "con", "std", "stdout"});
    const bool an_ort = k.ein && k.aus && !ein_std && !aus_std && std::strcmp(k.ein, k.aus) == 0;

    Datei ein;
    if (ein_std) {
        ein = Datei(stdin);
    } else if (k.ein) {
        ein = Datei(k.ein, "rb");
        if (!ein) {
            std::cerr << ort(7) << " open fehler eingabedatei " << k.ein << " \n";
            return 1;
        }
    }
    Umschreiben um;
    Datei aus;
    if (aus_std) aus = Datei(stdout);
    else if (an_ort) aus = um.oeffnen(k.aus, k.anhaengen);
    else aus = Datei(k.aus, k.anhaengen ? "ab" : "wb");
    if (!aus) {
        std::cerr << ort(8) << " open fehler ausgabedatei " << k.aus << " \n";
        return 1;
    }
    static char aus_puffer[1 << 16];
    std::setvbuf(aus.get(), aus_puffer, _IOFBF, sizeof aus_puffer);

    std::ostringstream fehler;
    int status;
    bool lauf_fehler;
    {
        Orvu o;
        for (int i = 0; i < 10; ++i) o.argtext[i] = k.argtext[i];
        Argumente arg;
        arg.ein = ein.get();
        arg.aus = aus.get();
        arg.fehler = &fehler;
        arg.steuerung = k.steuer ? k.steuer : "";
        arg.zwei = k.zwei;
        status = berechne_mit_stapel(o, arg);
        lauf_fehler = o.lauf_fehler;
    }  // der Lauf hat geschlossen und geprueft, was er selbst geoeffnet hat (EIN, AUS)
    ein.schliessen();
    // Auch ein frueheres gescheitertes Schreiben zaehlt, nicht nur das letzte Leeren.
    if (aus.schliessen() != 0) {
        fehler << ort(9) << " schreibfehler ausgabedatei " << (k.aus ? k.aus : "stdout") << "\n";
        lauf_fehler = true;
        status = 1;
    }
    if (an_ort) {
        if (lauf_fehler) {
            std::remove(um.tmp.c_str());
        } else if (std::rename(um.tmp.c_str(), um.ziel.c_str()) != 0) {
            std::fprintf(stderr, "fehler beim rename von '~TMP' nach %s\n", um.ziel.c_str());
            std::remove(um.tmp.c_str());
            return 1;
        }
    }
    std::string f = ketten_kuerzen(fehler.str());
    std::fwrite(f.data(), 1, f.size(), stderr);
    std::fputc('\n', stderr);
    return status;
}

// SPDX-License-Identifier: MIT
// Duenne Schicht fuer Aufrufe, die es so nur unter Windows gibt: geschrieben nach dem, was
// die Aufrufer erwarten, mit POSIX darunter. Sonst nichts.
#pragma once
#include <cstdint>
#include <string>

namespace plattform {

// ---- Umgebung, Dateizeiten, Sockets (plattform.cpp)
// Setzt eine Umgebungsvariable aus "NAME=WERT"; "NAME=" entfernt sie. 0 ok; -1 bei einem
// Text ohne "=", mit leerem Namen oder mit NUL-Byte (die Umgebung bleibt dann, wie sie war).
int putenv_(const std::string& zuweisung);
// Setzt Zugriffs- und Aenderungszeit der Datei (Sekunden seit 1970, UTC), wie _utime;
// 0 oder errno.
int dateizeit_setzen(const char* pfad, int64_t sekunden);
// Fuehrt eine Befehlszeile mit der Shell aus und liefert, was system() auf der
// urspruenglichen Plattform lieferte: den Exit-Status des Befehls (0..255); 128 + Nummer,
// wenn ein Signal ihn beendete; -1, wenn kein Prozess entstand.
int befehl(const char* zeile);
// Start und Ende der Socket-Schicht fuer eine Verbindung: waehrend sie laeuft, beendet ein
// Schreiben auf eine geschlossene Verbindung den Prozess nicht (SIGPIPE wird ignoriert),
// danach gilt wieder die vorige Einstellung.
class Sockets {
public:
    Sockets();
    ~Sockets();
    Sockets(const Sockets&) = delete;
    Sockets& operator=(const Sockets&) = delete;
    // 0, wenn die Schicht bereit ist.
    int status() const { return status_; }

private:
    int status_ = 0;
    void (*vorher_)(int) = nullptr;  // vorige Behandlung von SIGPIPE (auch SIG_DFL)
};
int utime_(const char* pfad, int64_t zugriff, int64_t aenderung, long zugriff_ns = 0, long aenderung_ns = 0);  // Dateizeiten (Sekunden seit 1970, Nanosekunden), ohne Links zu folgen: 0 oder errno
// ---- Ende Umgebung, Dateizeiten, Sockets

// ---- Ton (plattform_ton.cpp)
// Abtastrate der erzeugten Toene: 48 Abtastwerte je Millisekunde.
constexpr int TON_RATE = 48000;

// Zahl der Abtastwerte eines Tons von ms Millisekunden.
constexpr int64_t tonlaenge(int64_t ms) { return ms * (TON_RATE / 1000); }
// Schreibt die Abtastwerte ab bis ab + n - 1 eines Tons von tonlaenge(ms) Werten nach aus:
// Sinus der Frequenz hz, Phase 0 am Anfang, kurze Rampen an beiden Enden gegen Knacken.
void tonproben(int hz, int ms, int64_t ab, int64_t n, int16_t* aus);

// Spielt Toene nacheinander (Frequenz in Hz, Dauer in ms), je nach Umgebung:
//  - wav nicht leer: sammelt die Toene ohne Warten als WAV-Datei (PCM, 16 Bit, mono) in
//    einer temporaeren Datei neben wav; ende() benennt sie erst dann in wav um;
//  - sonst auf dem ALSA-Geraet "default"; gibt es keins, wartet ton() die Dauer ab.
// Alle Handles gehoeren dem Objekt und werden auf jedem Weg freigegeben; ohne ende()
// bleibt eine begonnene WAV-Datei unvollendet und wird entfernt.
class Tonausgabe {
public:
    explicit Tonausgabe(const std::string& wav);
    ~Tonausgabe();
    Tonausgabe(const Tonausgabe&) = delete;
    Tonausgabe& operator=(const Tonausgabe&) = delete;

    // 0 oder errno, wenn die WAV-Datei nicht angelegt werden konnte.
    int fehler() const;
    // Spielt einen Ton und kehrt nach ihm zurueck; 0 oder errno (nur beim Schreiben der
    // WAV-Datei; EFBIG, wenn sie die 4 GiB des Formats ueberschritte).
    int ton(int hz, int ms);
    // Laesst das Geraet ausspielen bzw. schreibt die WAV-Datei fertig: 0 oder errno.
    int ende();

private:
    struct Innen;
    Innen* p_ = nullptr;
};
// ---- Ende Ton

}  // namespace plattform

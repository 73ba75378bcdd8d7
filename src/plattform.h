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
// ---- Ende Umgebung, Dateizeiten, Sockets

// ---- Ton (plattform_ton.cpp)
// ---- Ende Ton

}  // namespace plattform

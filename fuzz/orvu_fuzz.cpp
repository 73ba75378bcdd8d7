// SPDX-License-Identifier: MIT
// Fuzz-Ziel: beliebige Bytes werden zu Steuerprogramm und Eingabetext (getrennt am ersten
// NUL-Byte) und laufen durch denselben Weg wie auf der Kommandozeile: Parser, Prolog,
// Datensaetze, Epilog. Im Sandkasten; ein Schrittbudget beendet Endlosschleifen.
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "orvu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
    const std::string alles(reinterpret_cast<const char*>(daten), n);
    const size_t trenn = alles.find('\0');
    const std::string programm = alles.substr(0, trenn);
    std::string eingabe = trenn == std::string::npos ? "" : alles.substr(trenn + 1);
    FILE* ein = nullptr;
    if (trenn != std::string::npos) {
        eingabe.push_back('\n');  // fmemopen braucht mindestens ein Byte
        ein = fmemopen(eingabe.data(), eingabe.size(), "rb");
    }
    std::ostringstream aus, fehler;
    {
        Orvu o;
        o.sandkasten = true;
        o.schritte = 20000;
        o.max_laenge = size_t{1} << 20;
        Argumente arg;
        arg.ein = ein;
        arg.aus_stream = &aus;
        arg.fehler = &fehler;
        arg.steuerung = programm.c_str();
        o.berechne(&arg);
    }
    if (ein) fclose(ein);
    return 0;
}

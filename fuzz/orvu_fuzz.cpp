// SPDX-License-Identifier: MIT
// Fuzz-Ziel: beliebige Bytes werden zu Steuerprogramm und Eingabetext (getrennt am ersten
// NUL-Byte) und laufen durch denselben Weg wie auf der Kommandozeile: Parser, Prolog,
// Datensaetze, Epilog. Im Sandkasten; ein Schrittbudget beendet Endlosschleifen.
#include <cstdint>
#include <sstream>
#include <string>

#include "sandkasten.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
    const std::string alles(reinterpret_cast<const char*>(daten), n);
    const size_t trenn = alles.find('\0');
    const std::string programm = alles.substr(0, trenn);
    const std::string eingabe = trenn == std::string::npos ? "" : alles.substr(trenn + 1);
    std::ostringstream aus, fehler;
    sandkasten_lauf(programm, trenn == std::string::npos ? nullptr : &eingabe, aus, fehler, 20000,
                    size_t{1} << 20);
    return 0;
}

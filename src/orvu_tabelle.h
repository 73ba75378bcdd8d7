// SPDX-License-Identifier: MIT
// Die Tabelle der Operatorzeichen und Builtin-Namen: Handler, Operatorcode, Prioritaet,
// Faehigkeit.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "orvu.h"

// Bindungsprioritaeten der Token: kleiner bindet loser. Der Termzerleger fragt nur diese.
namespace prio {
constexpr int ZUWEISUNG = 0;   // = += -= und alle Token ohne eigene Prioritaet
constexpr int LISTE = 1;       // das Komma, zugleich Marke des Listentrenners
constexpr int LOGIK = 2;       // && || !
constexpr int VERGLEICH = 5;   // == != < <= > >=
constexpr int STRICH = 7;      // + -
constexpr int PUNKT = 8;       // * /
constexpr int BUILTIN = 9;     // ** ^, jeder Builtin-Name, Aufrufe von Funktionen
constexpr int INKREMENT = 11;  // ++ --
constexpr int REFERENZ = 13;   // & vor einem Namen
constexpr int WERT = 16;       // Literale, Konstanten, Variablen
constexpr int KLAMMER = 17;    // ( )
}  // namespace prio

// Was ein Builtin ausserhalb des Interpreters erreicht. Im Sandkasten bindet der
// Tokenizer jeden Namen, der nicht rein ist, an Orvu::verweigert (eine Stelle fuer alle).
enum class Faehig : uint8_t {
    rein,             // rechnet nur mit Werten
    datei_lesen,
    datei_schreiben,
    umgebung,         // Umgebungsvariablen, Konsolentitel
    prozess,          // startet Prozesse
    netz,
    ton,
    verzeichnis,
};

struct OpZeichen {
    std::string_view zeichen;
    Orvu::Handler handler;
    int code;
    int prio;
};

struct BuiltinName {
    std::string_view name;
    Orvu::Handler handler;
    int code;
    Faehig faehig;
};

// Operatorzeichen in Suchreihenfolge: zweistellige vor ihrem einstelligen Praefix.
extern const OpZeichen op_zeichen[];
extern const int anz_op_zeichen;

// Builtin mit diesem Namen oder nullptr.
const BuiltinName* builtin_suchen(std::string_view name);
// Alle Zeilen der Builtin-Tabelle (fuer Woerterbuch, Dokumentation, Tests).
std::span<const BuiltinName> builtin_tabelle();

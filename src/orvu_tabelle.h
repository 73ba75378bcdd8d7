// SPDX-License-Identifier: MIT
// Die Tabelle der Operatorzeichen und Builtin-Namen: Handler, Operatorcode, Prioritaet.
#pragma once
#include <string_view>

#include "orvu.h"

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
};

// Operatorzeichen in Suchreihenfolge: zweistellige vor ihrem einstelligen Praefix.
extern const OpZeichen op_zeichen[];
extern const int anz_op_zeichen;

// Builtin mit diesem Namen oder nullptr.
const BuiltinName* builtin_suchen(std::string_view name);

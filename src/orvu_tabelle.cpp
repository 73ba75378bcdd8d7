// SPDX-License-Identifier: MIT
// DIE Tabelle der Operatoren und Builtins: eine Zeile je Name, sonst nichts.
#include "orvu_tabelle.h"

using O = Orvu;

const OpZeichen op_zeichen[] = {
    {"==", &O::gleich, 0, 5},
    {"=", &O::zuweisung, 0, 0},
    {"+=", &O::zuweisung, 2, 0},
    {"++", &O::incr, 0, 11},
    {"-=", &O::zuweisung, 3, 0},
    {"--", &O::incr, 1, 11},
    {"+", &O::plus, 0, 7},
    {"-", &O::plus, 1, 7},
    {"!=", &O::ungleich, 0, 5},
    {"!", &O::nicht, 0, 2},
    {"<=", &O::kl_gl, 0, 5},
    {"<", &O::kleiner, 0, 5},
    {">=", &O::gr_gl, 0, 5},
    {">", &O::groesser, 0, 5},
    {"*", &O::mal, 0, 8},
    {"/", &O::mal, 1, 8},
    {"&&", &O::und, 0, 2},
    {"||", &O::oder, 0, 2},
};
const int anz_op_zeichen = sizeof op_zeichen / sizeof op_zeichen[0];

namespace {
const BuiltinName builtins[] = {
    {"add", &O::add, 0},
    {"summe", &O::summe, 0},
    {"len", &O::len, 0},
    {"printf", &O::printf_, 0},
    {"scanf", &O::scanf_, 0},
    {"split", &O::split, 0},
    {"next", &O::next, 0},
};
}  // namespace

const BuiltinName* builtin_suchen(std::string_view name) {
    for (const BuiltinName& b : builtins)
        if (b.name == name) return &b;
    return nullptr;
}

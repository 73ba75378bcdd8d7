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
    {"typeofall", &O::typeofall, 0},
    {"typeof", &O::typeof_, 0},
    {"hex", &O::hex_, 0},
    {"oct", &O::oct_, 0},
    {"bin", &O::bin_, 0},
    {"dec", &O::dec_, 0},
    {"roem", &O::roem, 0},
    {"utf8", &O::utf8, 0},
    {"int", &O::int_, 0},
    {"float", &O::float_, 0},
    {"zaehler", &O::zaehler, 0},
    {"nenner", &O::nenner, 0},
    {"float32", &O::float32, 0},
    {"int8", &O::int8, 0},
    {"int16", &O::int16, 0},
    {"int32", &O::int32, 0},
    {"swap16", &O::swap16_, 0},
    {"swap32", &O::swap32_, 0},
    {"Bvector", &O::Vector, 0},
    {"Ivector", &O::Vector, 1},
    {"Fvector", &O::Vector, 2},
    {"Rvector", &O::Vector, 3},
    {"Svector", &O::Vector, 4},
    {"Izahlptr", &O::Izahlptr, 0},
    {"Intptr", &O::Izahlptr, 0},
    {"Textptr", &O::Textptr, 0},
    {"push_back", &O::push_back_, 0},
    {"clear", &O::clear_, 0},
    {"substr", &O::substr_, 0},
    {"find", &O::find_, 0},
    {"erase", &O::erase_, 0},
    {"append", &O::append_, 0},
    {"resize", &O::resize_, 0},
    {"String", &O::String, 0},
    {"delete", &O::delete_, 0},
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

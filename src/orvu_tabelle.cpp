// SPDX-License-Identifier: MIT
// DIE Tabelle der Operatoren und Builtins: eine Zeile je Name, sonst nichts.
#include "orvu_tabelle.h"

using O = Orvu;
using F = Faehig;
using namespace prio;

const OpZeichen op_zeichen[] = {
    {"==", &O::gleich, 0, VERGLEICH},
    {"=", &O::zuweisung, 0, ZUWEISUNG},
    {"+=", &O::zuweisung, 2, ZUWEISUNG},
    {"++", &O::incr, 0, INKREMENT},
    {"-=", &O::zuweisung, 3, ZUWEISUNG},
    {"--", &O::incr, 1, INKREMENT},
    {"+", &O::plus, 0, STRICH},
    {"-", &O::plus, 1, STRICH},
    {"!=", &O::ungleich, 0, VERGLEICH},
    {"!", &O::nicht, 0, LOGIK},
    {"<=", &O::kl_gl, 0, VERGLEICH},
    {"<", &O::kleiner, 0, VERGLEICH},
    {">=", &O::gr_gl, 0, VERGLEICH},
    {">", &O::groesser, 0, VERGLEICH},
    {"**", &O::hoch, 0, BUILTIN},
    {"*", &O::mal, 0, PUNKT},
    {"/", &O::mal, 1, PUNKT},
    {"^", &O::hoch, 0, BUILTIN},
    {"&&", &O::und, 0, LOGIK},
    {"||", &O::oder, 0, LOGIK},
};
const int anz_op_zeichen = sizeof op_zeichen / sizeof op_zeichen[0];

namespace {
const BuiltinName builtins[] = {
    {"add", &O::add, 0, F::rein},
    {"summe", &O::summe, 0, F::rein},
    {"len", &O::len, 0, F::rein},
    {"typeofall", &O::typeofall, 0, F::rein},
    {"typeof", &O::typeof_, 0, F::rein},
    {"hex", &O::hex_, 0, F::rein},
    {"oct", &O::oct_, 0, F::rein},
    {"bin", &O::bin_, 0, F::rein},
    {"dec", &O::dec_, 0, F::rein},
    {"roem", &O::roem, 0, F::rein},
    {"utf8", &O::utf8, 0, F::rein},
    {"int", &O::int_, 0, F::rein},
    {"float", &O::float_, 0, F::rein},
    {"zaehler", &O::zaehler, 0, F::rein},
    {"nenner", &O::nenner, 0, F::rein},
    {"float32", &O::float32, 0, F::rein},
    {"int8", &O::int8, 0, F::rein},
    {"int16", &O::int16, 0, F::rein},
    {"int32", &O::int32, 0, F::rein},
    {"swap16", &O::swap16_, 0, F::rein},
    {"swap32", &O::swap32_, 0, F::rein},
    {"Bvector", &O::Vector, 0, F::rein},
    {"Ivector", &O::Vector, 1, F::rein},
    {"Fvector", &O::Vector, 2, F::rein},
    {"Rvector", &O::Vector, 3, F::rein},
    {"Svector", &O::Vector, 4, F::rein},
    {"Izahlptr", &O::Izahlptr, 0, F::rein},
    {"Intptr", &O::Izahlptr, 0, F::rein},
    {"Textptr", &O::Textptr, 0, F::rein},
    {"push_back", &O::push_back_, 0, F::rein},
    {"clear", &O::clear_, 0, F::rein},
    {"substr", &O::substr_, 0, F::rein},
    {"find", &O::find_, 0, F::rein},
    {"erase", &O::erase_, 0, F::rein},
    {"append", &O::append_, 0, F::rein},
    {"resize", &O::resize_, 0, F::rein},
    {"String", &O::String, 0, F::rein},
    {"delete", &O::delete_, 0, F::rein},
    {"printf", &O::printf_, 0, F::rein},
    {"scanf", &O::scanf_, 0, F::rein},
    {"split", &O::split, 0, F::rein},
    {"next", &O::next, 0, F::rein},
    // ---- Mathematik (orvu_mathe.cpp)
    {"sin", &O::trigon, 0, F::rein},
    {"cos", &O::trigon, 1, F::rein},
    {"tan", &O::trigon, 2, F::rein},
    {"asin", &O::trigon, 3, F::rein},
    {"acos", &O::trigon, 4, F::rein},
    {"atan", &O::trigon, 5, F::rein},
    {"ld", &O::trigon, 6, F::rein},
    {"lg", &O::trigon, 7, F::rein},
    {"ln", &O::trigon, 8, F::rein},
    {"exp", &O::trigon, 9, F::rein},
    {"sqrt", &O::trigon, 10, F::rein},
    {"hoch", &O::hoch, 0, F::rein},
    {"tief", &O::hoch, 1, F::rein},
    {"potenz", &O::potenz, 0, F::rein},
    {"wurzel", &O::wurzel, 0, F::rein},
    {"pow", &O::pow_, 0, F::rein},
    {"log", &O::log_, 0, F::rein},
    {"mod", &O::mod_, 0, F::rein},
    {"abs", &O::abs_, 0, F::rein},
    {"sign", &O::sign, 0, F::rein},
    {"ggt", &O::ggt, 0, F::rein},
    {"bino", &O::bino, 0, F::rein},
    {"biko", &O::biko, 0, F::rein},
    {"korrel", &O::korrel, 0, F::rein},
    {"bl_0", &O::bl, 0, F::rein},
    {"bl_1", &O::bl, 1, F::rein},
    {"bl_2", &O::bl, 2, F::rein},
    {"bl_3", &O::bl, 3, F::rein},
    {"bl_4", &O::bl, 4, F::rein},
    {"bl_5", &O::bl, 5, F::rein},
    {"bl_6", &O::bl, 6, F::rein},
    {"bl_7", &O::bl, 7, F::rein},
    {"bl_8", &O::bl, 8, F::rein},
    {"bl_9", &O::bl, 9, F::rein},
    {"bl_a", &O::bl, 10, F::rein},
    {"bl_10", &O::bl, 10, F::rein},
    {"bl_b", &O::bl, 11, F::rein},
    {"bl_11", &O::bl, 11, F::rein},
    {"bl_c", &O::bl, 12, F::rein},
    {"bl_12", &O::bl, 12, F::rein},
    {"bl_d", &O::bl, 13, F::rein},
    {"bl_13", &O::bl, 13, F::rein},
    {"bl_e", &O::bl, 14, F::rein},
    {"bl_14", &O::bl, 14, F::rein},
    {"bl_f", &O::bl, 15, F::rein},
    {"bl_15", &O::bl, 15, F::rein},
    {"and", &O::bl, 1, F::rein},
    {"nand", &O::bl, 14, F::rein},
    {"or", &O::bl, 7, F::rein},
    {"nor", &O::bl, 8, F::rein},
    {"xor", &O::bl, 6, F::rein},
    {"nxor", &O::bl, 9, F::rein},
    {"not", &O::not_, 0, F::rein},
    {"srand", &O::srand_, 0, F::rein},
    {"rand", &O::rand_, 0, F::rein},
    // ---- Ende Mathematik
    // ---- Datum und Zeit (orvu_datum.cpp)
    {"datum", &O::datum, 0, F::rein},
    {"wochentag", &O::wochentag, 0, F::rein},
    {"tag", &O::tag, 0, F::rein},
    {"uhr", &O::uhr, 0, F::rein},
    {"clock", &O::clock_, 0, F::rein},
    // ---- Ende Datum und Zeit
    // ---- Dateien, URLs, Umgebung, Prozesse (orvu_extern.cpp)
    {"putfile", &O::putfile, 0, F::datei_schreiben},
    {"getfile", &O::getfile, 0, F::datei_lesen},
    {"geturl", &O::geturl_, 0, F::netz},
    {"agetfile", &O::agetfile, 0, F::datei_lesen},
    {"ageturl", &O::ageturl, 0, F::netz},
    {"getenv", &O::getenv_, 0, F::umgebung},
    {"putenv", &O::putenv_, 0, F::umgebung},
    {"titel", &O::titel, 0, F::datei_lesen},
    {"getta", &O::getta, 0, F::datei_lesen},
    {"system", &O::system_, 0, F::prozess},
    // ---- Ende Dateien, URLs, Umgebung, Prozesse
    // ---- Zins und Geld (orvu_geld.cpp)
    {"zins", &O::zins, 0, F::rein},
    {"cent", &O::cent, 0, F::rein},
    // ---- Ende Zins und Geld
    // ---- Verwandtschaft und Nachladetabellen (orvu_tabellen.cpp)
    {"Veko", &O::VEko, 0, F::datei_lesen},
    {"veko", &O::veko, 0, F::rein},
    {"vkname", &O::vkname, 0, F::rein},
    {"vkinit", &O::vkinit, 0, F::datei_lesen},
    {"Nl", &O::Nl_, 0, F::datei_lesen},
    {"nldat", &O::nldat_init, 0, F::datei_lesen},
    {"nl", &O::nachladen, 0, F::datei_lesen},
    // ---- Ende Verwandtschaft und Nachladetabellen
    // ---- Verzeichnisse (orvu_verzeichnis.cpp)
    {"Rdir", &O::rdir, 0, F::verzeichnis},
    {"read", &O::read_, 0, F::verzeichnis},
    {"sommer", &O::sommer, 0, F::verzeichnis},
    // ---- Ende Verzeichnisse
    // ---- SVG (orvu_svg.cpp)
    {"svg_open", &O::svg_open, 0, F::rein},
    {"svg_kreuz", &O::svg_kreuz, 0, F::rein},
    {"svg_punkt", &O::svg_punkt, 0, F::rein},
    {"svg_strecke", &O::svg_strecke, 0, F::rein},
    {"svg_gerade", &O::svg_gerade, 0, F::rein},
    {"svg_rechteck", &O::svg_rechteck, 0, F::rein},
    {"svg_polygon", &O::svg_polygon, 0, F::rein},
    {"svg_winkel", &O::svg_winkel, 0, F::rein},
    {"svg_kreis", &O::svg_kreis, 0, F::rein},
    {"svg_bogen", &O::svg_bogen, 0, F::rein},
    {"svg_kurve", &O::svg_kurve, 0, F::rein},
    {"svg_fieber", &O::svg_fieber, 0, F::rein},
    {"svg_text", &O::svg_text, 0, F::rein},
    {"svg_close", &O::svg_close, 0, F::datei_schreiben},
    // ---- Ende SVG
    // ---- Logo und Gleisbau (orvu_logo.cpp)
    {"logo_start", &O::logo_start, 0, F::rein},
    {"logo_strecke", &O::logo_strecke, 0, F::rein},
    {"logo_bogen", &O::logo_bogen, 0, F::rein},
    {"gleisbau", &O::gleisbau, 0, F::rein},
    // ---- Ende Logo und Gleisbau
    // ---- Melodien (orvu_melodie.cpp)
    {"melodie", &O::melodie, 0, F::ton},
    {"melodie1", &O::melodie1, 0, F::ton},
    // ---- Ende Melodien
};
}  // namespace

std::span<const BuiltinName> builtin_tabelle() { return builtins; }

const BuiltinName* builtin_suchen(std::string_view name) {
    for (const BuiltinName& b : builtins)
        if (b.name == name) return &b;
    return nullptr;
}

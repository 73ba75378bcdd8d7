// SPDX-License-Identifier: MIT
// Der Interpreter: gemeinsame Records (Term, Var, Anw, Fun, Tok), Typcodes und Klasse Orvu.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "besitz.h"
#include "bruch.h"
#include "grenzen.h"
#include "lager.h"
#include "leser.h"
#include "vektorregister.h"

struct Argumente;

class Orvu {
public:
    struct Term;
    struct Mus;
    // Jeder Operator und jedes Builtin: (linker Operand, rechter Operand, Ergebnis).
    // Operanden kommen unausgewertet; 0 = Erfolg, 1 = Fehler (schon gemeldet).
    using Handler = int (Orvu::*)(Term*, Term*, Term*);

    // Werttypen und Knotenarten eines Term. ORDER TYPCODES: feste Nummern,
    // Meldungen geben sie aus; typeof nennt die Namen.
    enum TermTyp : uint32_t {
        NONE = 0, IZAHL = 2, RZAHL = 3, FZAHL = 4, BOOL = 5, BYTE = 6, TEXT = 7,
        IZAHLPTR = 8, TEXTPTR = 9, OPER = 10, FUNCALL = 11, FUNREF = 12, VARREF = 13,
        NLOBJ = 18, VEKOOBJ = 19, RDIROBJ = 20,
        BVECTOR = 21, IVECTOR = 22, RVECTOR = 23, FVECTOR = 24, SVECTOR = 25,
        MUSTER = 27, TERMLIST = 29
    };
    // Typcodes einer Variablen (eigene Nummern, ORDER TYPCODES).
    enum VarTyp : uint32_t {
        V_NONE = 0, V_IZAHL = 1, V_RZAHL = 2, V_FZAHL = 3, V_TEXT = 4, V_BYTE = 5,
        V_BOOL = 6, V_IZAHLPTR = 7, V_TEXTPTR = 8, V_TERMLIST = 10, V_NL = 11,
        V_VEKO = 12, V_RDIR = 13, V_BVECTOR = 14, V_IVECTOR = 15, V_RVECTOR = 16,
        V_FVECTOR = 17, V_SVECTOR = 18
    };
    enum AnwArt : int32_t {
        AUSDRUCK = 0, BLOCK = 1, FOR = 2, IF = 3, CONTINUE = 4, BREAK = 5,
        RETURN = 6, FUNKTION = 7, LEER = 9
    };
    enum TOK_TYP : uint32_t {
        TOK_ENDE = 0, TOK_IZAHL = 1, TOK_FZAHL = 2, TOK_TEXT = 3, TOK_MUSTER = 5,
        TOK_OPERATOR = 7, TOK_FUNKTION = 8, TOK_VAR = 10, TOK_SCHWEIF_AUF = 14,
        TOK_SCHWEIF_ZU = 15, TOK_RUND_AUF = 16, TOK_RUND_ZU = 17, TOK_ECKIG_AUF = 18,
        TOK_ECKIG_ZU = 19, TOK_SEMIKOLON = 21, TOK_WORT = 22, TOK_REFERENZ = 23,
        TOK_PUNKT = 25
    };
    // Feste Indizes der vordefinierten Variablen in var.
    enum Vordef : int {
        V_REC = 10, V_DOLLAR = 11, V_DOLLAR2 = 12, V_TA = 13, V_ZNR = 14, V_POS = 15,
        V_TAG = 16, V_UHR = 17, V_CPUZEIT = 18, V_RECSIZE = 19, ANZ_VORDEF = 30
    };

    struct Anw;

    // Wert und Knoten des Syntaxbaums; typ sagt, was von beidem.
    struct Term {
        uint32_t typ = NONE;
        uint32_t lokal = 0;     // VARREF: 0 global, sonst Slot des obersten Rahmens
        uint8_t byte = 0;
        uint8_t schnell = 0;    // Art des Schnellwegs (Schnell), beim ersten Gebrauch bestimmt
        int64_t izahl = 0;
        Bruch rzahl;
        double fzahl = 0;
        std::string text;
        Anw** fun_anw = nullptr;  // FUNCALL: Verweis auf rumpf des Funktionseintrags
        // Von den Zeigerwerten ist je nach typ hoechstens einer in Gebrauch; sie teilen
        // sich den Platz, damit ein Term klein und billig bleibt.
        union {
            int64_t* izahlptr = nullptr;
            std::string* textptr;
            std::vector<uint8_t>* bvector;
            std::vector<int64_t>* ivector;
            std::vector<Bruch>* rvector;
            std::vector<double>* fvector;
            std::vector<std::string>* svector;
            std::vector<Term>* termlist;
            std::vector<Mus>* muster;
            void* objekt;
        };
        Term* larg = nullptr;
        Term* rarg = nullptr;
        Handler handler = nullptr;
    };

    struct Var {
        uint32_t typ = V_NONE;
        std::string name;
        std::string text;
        uint8_t byte = 0;
        int64_t izahl = 0;
        Bruch rzahl;
        double fzahl = 0;
        void* objekt = nullptr;
        int64_t* izahlptr = nullptr;
        std::string* textptr = nullptr;
        std::vector<uint8_t>* bvector = nullptr;
        std::vector<int64_t>* ivector = nullptr;
        std::vector<Bruch>* rvector = nullptr;
        std::vector<double>* fvector = nullptr;
        std::vector<std::string>* svector = nullptr;
        std::vector<Term>* termlist = nullptr;
        void* veko = nullptr;
        bool hat_vektor() const { return bvector || ivector || rvector || fvector || svector; }
    };

    struct Anw {
        int32_t kind = LEER;
        std::vector<Anw>* block = nullptr;
        Anw* dann = nullptr;
        Anw* sonst = nullptr;
        Term* init = nullptr;
        Term* ausdruck = nullptr;
        Term* schritt = nullptr;
    };

    struct Fun {
        std::string name;
        uint32_t anzahl = 0;
        std::vector<std::string> namen;  // Slot 0: Ergebnis (leerer Name), dann Parameter, Lokale
        Anw* rumpf = nullptr;
    };

    struct Tok {
        TOK_TYP typ = TOK_ENDE;
        int64_t izahl = 0;
        double fzahl = 0;
        std::string text;
        int32_t lokal = 0;
        int32_t prio = 0;
        std::vector<Mus>* muster = nullptr;
        Handler handler = nullptr;
    };

    // Element eines uebersetzten scanf-Musters (init_scan).
    struct Mus {
        int art = 0;          // 0 Literal, 1 Feld
        std::string text;     // Literal
        int global = -1;      // Zielvariable: Index in var, oder -1
        int lokal = -1;       // Zielvariable: Slot der Funktion, oder -1
        int breite = -1;      // Zeichenzahl des Feldes, -1: keine
        // Zeichenklasse (Flag je Bytewert) oder leer; Kopien teilen die Tabelle.
        std::shared_ptr<const std::array<uint8_t, 256>> klasse;
    };

    // Kleiner Wert der Schnellwege: IZAHL, BOOL (z) oder RZAHL (z/n, wie Bruch).
    struct Klein {
        uint32_t typ = NONE;
        int64_t z = 0;
        int64_t n = 1;
    };
    // Schnellweg eines Knotens, nach seiner Form. Ein Schnellweg tut genau, was der
    // Handler taete, oder lehnt ab, bevor etwas geschehen ist; dann geht der allgemeine
    // Weg (der auch meldet). S_NEU: noch nicht bestimmt, S_NEIN: kein Schnellweg.
    enum Schnell : uint8_t {
        S_NEU = 0, S_NEIN, S_ZAHL, S_VAR, S_PLUS, S_MAL, S_ORDNE, S_GLEICH, S_UNGLEICH,
        S_LOGIK, S_NICHT, S_INDEX, S_ZUW, S_ZUW_ELEM, S_INCR
    };

    // break, continue, return einer Anweisungsausfuehrung.
    struct Marken {
        int brk = 0, cont = 0, ret = 0;
        bool irgendeine() const { return brk || cont || ret; }
    };

    // Tabelle mit Zugriff ueber den Index wie bei einem Vektor, deren Eintraege ihre
    // Adresse behalten, auch wenn sie waechst (fuer Variablen und Aufrufrahmen).
    template <class T>
    class Tabelle {
    public:
        T& operator[](size_t i) { return *v_[i]; }
        const T& operator[](size_t i) const { return *v_[i]; }
        size_t size() const { return v_.size(); }
        bool empty() const { return v_.empty(); }
        void clear() { v_.clear(); }
        T& emplace_back() { return *v_.emplace_back(std::make_unique<T>()); }
        struct iterator {
            typename std::vector<std::unique_ptr<T>>::iterator i;
            T& operator*() const { return **i; }
            iterator& operator++() { ++i; return *this; }
            bool operator!=(const iterator& o) const { return i != o.i; }
        };
        iterator begin() { return {v_.begin()}; }
        iterator end() { return {v_.end()}; }
        struct const_iterator {
            typename std::vector<std::unique_ptr<T>>::const_iterator i;
            const T& operator*() const { return **i; }
            const_iterator& operator++() { ++i; return *this; }
            bool operator!=(const const_iterator& o) const { return i != o.i; }
        };
        const_iterator begin() const { return {v_.begin()}; }
        const_iterator end() const { return {v_.end()}; }
    private:
        std::vector<std::unique_ptr<T>> v_;
    };
    using VarTabelle = Tabelle<Var>;

    // Grenzen gegen Stapelueberlauf und Endlosschleifen des Interpreters selbst (grenzen.h).
    static constexpr int MAX_AUFRUFTIEFE = Grenzen::AUFRUFTIEFE;
    static constexpr int MAX_SCHACHTELUNG = Grenzen::SCHACHTELUNG;
    static constexpr int MAX_INCLUDETIEFE = Grenzen::INCLUDETIEFE;

    Orvu();
    ~Orvu();
    Orvu(const Orvu&) = delete;
    Orvu& operator=(const Orvu&) = delete;

    // --- Mitglieder in der vereinbarten Reihenfolge ---
    std::vector<std::string> opnamen;
    // Ein Aufrufrahmen: Slot 0 Ergebnis, dann Parameter und Lokale. Rahmen werden
    // wiederverwendet; n ist die Zahl der Slots des laufenden Aufrufs.
    struct Rahmen {
        std::vector<Var> slots;
        size_t n = 0;
    };
    Tabelle<Rahmen> lokale;  // Rahmen der Aufrufe (wiederverwendet), Adressen stabil
    std::deque<Fun> funktionen;            // deque: Eintraege behalten ihre Adresse
    int32_t akt_fun = -1;
    int32_t status = 0;
    int32_t recsize = 0;
    std::string argtext[10];
    FILE* ein = nullptr;
    FILE* aus = nullptr;
    std::ostream* aus_stream = nullptr;
    std::ostream* fehler = nullptr;
    Anw* prolog = nullptr;
    Anw* epilog = nullptr;

    VarTabelle var;             // globale Variablen
    std::vector<Anw> anw_seq;   // Anweisungen des Hauptprogramms

    // True, wenn der letzte Lauf an einem Fehler endete (nicht bei "return 1").
    bool lauf_fehler = false;

    // Schnellwege an (uebersetzte Knoten, Formatcache, Textketten). Die Umgebungsvariable
    // ORVU_LANGSAM (nicht leer, nicht "0") schaltet sie ab: beide Wege muessen dasselbe
    // liefern, die Tests laufen in beiden Arten.
    bool schnellwege = true;

    // Sandkasten, Schrittbudget, Laengen- und Stapelgrenze (grenzen.h); die Namen darunter
    // sind dieselben Felder.
    Grenzen grenzen;
    // Sandkasten (fuer den Fuzzer): Builtins und Anweisungen, die Dateien, Umgebung, Netz
    // oder Prozesse erreichen, verweigern den Dienst. Meldet und liefert true, wenn aktiv.
    bool& sandkasten = grenzen.sandkasten;
    bool im_sandkasten(const char* was);
    // Schrittbudget: 0 = unbegrenzt; sonst zaehlen Schleifendurchlaeufe und Aufrufe
    // herunter, und bei 0 endet der Lauf mit einer Meldung.
    uint64_t& schritte = grenzen.schritte;
    bool schritt_erschoepft() { return grenzen.schritte != 0 && budget_ende(); }
    bool budget_ende();
    // Groesste erlaubte Laenge eines Texts oder Vektors, den ein Operator erzeugt.
    size_t& max_laenge = grenzen.max_laenge;
    bool zu_lang(size_t n);

    // --- Laeufer, Anweisungen, Auswertung ---
    int berechne(Argumente* arg);
    int berechne_lauf(Argumente* arg);
    int work_anw(Anw* anw, Marken& m);
    // Term -> Wert. Die haeufigsten Faelle (ganze Zahl, Variable mit ganzer Zahl) inline,
    // alles andere in wert_allgemein.
    int wert(Term* knoten, Term* erg);
    int wert_allgemein(Term* knoten, Term* erg);
    // True mit z, wenn der Knoten ohne Auswertung eine ganze Zahl ist: ein ganzzahliges
    // Literal oder eine Variable, die sich als IZAHL liest. Kurzer Weg der Operatoren
    // fuer ihren haeufigsten Fall; alles andere geht den allgemeinen Weg.
    bool ganz(const Term* k, int64_t& z);
    static void wert_kopieren(const Term& k, Term& w);

    // --- Schnellwege (orvu_schnell.cpp), nur wenn schnellwege gilt ---
    // Wert eines Ausdrucks ohne Wirkung als Klein; false: abgelehnt, nichts geschehen.
    bool rein(Term* k, Klein& w);
    // Ausdrucksanweisung mit hoechstens einer Wirkung am Ende (Zuweisung, ++, --);
    // true: ausgefuehrt, false: abgelehnt, nichts geschehen.
    bool wirkung(Term* k);
    // Wahrheitswert einer Bedingung (IZAHL oder BOOL); false: abgelehnt.
    bool bedingung(Term* k, bool& b) {
        Klein w;
        if (!k || !rein(k, w) || w.typ == RZAHL) return false;
        b = w.z != 0;
        return true;
    }
    // Kleiner Wert in eine Variable, wie var_aus_wert.
    static void klein_in_var(const Klein& w, Var& v);

    // --- Parser ---
    int get_tok(const char** cursor, Tok& tok);
    int get_zahl(const char** cursor, Tok& tok);
    int get_text(const char** cursor, std::string& text);
    int get_term(Term& term, std::vector<Tok>& toks, int b, int e);
    int oper_suchen(std::vector<Tok>& toks, int b, int e, int& pos);
    int get_arglist(Term& term, std::vector<Tok>& toks, int a, int b);
    int get_anw(const char** cursor, Anw& anw);
    int get_einf_anw(const char** cursor, Term& term, TOK_TYP& ende);

    // --- Operatoren und Builtins (Handler) ---
    int zuweisung(Term* l, Term* r, Term* erg);
    int indizierung(Term* l, Term* r, Term* erg);
    int plus(Term* l, Term* r, Term* erg);
    int mal(Term* l, Term* r, Term* erg);
    int add(Term* l, Term* r, Term* erg);
    int gleich(Term* l, Term* r, Term* erg);
    int ungleich(Term* l, Term* r, Term* erg);
    int kleiner(Term* l, Term* r, Term* erg);
    int kl_gl(Term* l, Term* r, Term* erg);
    int groesser(Term* l, Term* r, Term* erg);
    int gr_gl(Term* l, Term* r, Term* erg);
    int und(Term* l, Term* r, Term* erg);
    int oder(Term* l, Term* r, Term* erg);
    int nicht(Term* l, Term* r, Term* erg);
    int incr(Term* l, Term* r, Term* erg);
    int len(Term* l, Term* r, Term* erg);
    int summe(Term* l, Term* r, Term* erg);
    int summe_a(Term* l, Term* r, Term* erg);
    int summe_b(Term* l, Term* r, Term* erg);
    int summe_c(Term* l, Term* r, Term* erg);
    int summe_d(Term* l, Term* r, Term* erg);
    int tag(Term* l, Term* r, Term* erg);
    int uhr(Term* l, Term* r, Term* erg);
    int cpuzeit(Term* l, Term* r, Term* erg);
    // Umwandlungen und Typen
    int typeofall(Term* l, Term* r, Term* erg);
    int typeof_(Term* l, Term* r, Term* erg);
    int bin_(Term* l, Term* r, Term* erg);
    int oct_(Term* l, Term* r, Term* erg);
    int hex_(Term* l, Term* r, Term* erg);
    int dec_(Term* l, Term* r, Term* erg);
    int int_(Term* l, Term* r, Term* erg);
    int float_(Term* l, Term* r, Term* erg);
    int float32(Term* l, Term* r, Term* erg);
    int zaehler(Term* l, Term* r, Term* erg);
    int nenner(Term* l, Term* r, Term* erg);
    int utf8(Term* l, Term* r, Term* erg);
    int int8(Term* l, Term* r, Term* erg);
    int int16(Term* l, Term* r, Term* erg);
    int int32(Term* l, Term* r, Term* erg);
    int swap16_(Term* l, Term* r, Term* erg);
    int swap32_(Term* l, Term* r, Term* erg);
    int roem(Term* l, Term* r, Term* erg);
    // Roemische Zahlen: Text -> Wert (0 ok, 1 gemeldet), Auswerter, Wert -> Text.
    int roem2int(std::string& text, int64_t* erg);
    int64_t roem2int_up(char* text, size_t laenge);
    int int2roem(int64_t z, std::string* aus);
    // Vektoren, Texte, Zeiger (orvu_vektor.cpp)
    int Vector(Term* l, Term* r, Term* erg);
    int Izahlptr(Term* l, Term* r, Term* erg);
    int Textptr(Term* l, Term* r, Term* erg);
    int push_back_(Term* l, Term* r, Term* erg);
    int clear_(Term* l, Term* r, Term* erg);
    int substr_(Term* l, Term* r, Term* erg);
    int find_(Term* l, Term* r, Term* erg);
    int erase_(Term* l, Term* r, Term* erg);
    int append_(Term* l, Term* r, Term* erg);
    int resize_(Term* l, Term* r, Term* erg);
    int String(Term* l, Term* r, Term* erg);
    int delete_(Term* l, Term* r, Term* erg);
    // Formatierter Text (orvu_format.cpp)
    int printf_(Term* l, Term* r, Term* erg);
    int split(Term* l, Term* r, Term* erg);
    int scanf_(Term* l, Term* r, Term* erg);
    int next(Term* l, Term* r, Term* erg);
    // Im Sandkasten an jeden Builtin gebunden, der nach aussen reicht; der Operatorcode
    // ist die Zeile der Builtin-Tabelle.
    int verweigert(Term* l, Term* r, Term* erg);
    // ---- Mathematik (orvu_mathe.cpp)
    int trigon(Term* l, Term* r, Term* erg);
    int hoch(Term* l, Term* r, Term* erg);
    int pow_(Term* l, Term* r, Term* erg);
    int potenz(Term* l, Term* r, Term* erg);
    int wurzel(Term* l, Term* r, Term* erg);
    int log_(Term* l, Term* r, Term* erg);
    int mod_(Term* l, Term* r, Term* erg);
    int abs_(Term* l, Term* r, Term* erg);
    int sign(Term* l, Term* r, Term* erg);
    int ggt(Term* l, Term* r, Term* erg);
    int bino(Term* l, Term* r, Term* erg);
    int biko(Term* l, Term* r, Term* erg);
    int korrel(Term* l, Term* r, Term* erg);
    int bl(Term* l, Term* r, Term* erg);
    int not_(Term* l, Term* r, Term* erg);
    int srand_(Term* l, Term* r, Term* erg);
    int rand_(Term* l, Term* r, Term* erg);
    // n/d hoch e exakt in 64 Bit (ganz_basis: d = 1, Ergebnis IZAHL fuer e > 0); meldet
    // Ueberlauf und Division durch NULL und liefert dann LLONG_MAX mit Status 0.
    int hoch_bruch(int64_t n, int64_t d, int64_t e, bool ganz_basis, Term* erg);
    // Beide Operanden wie geschrieben als IZAHL; sonst meld(ort) << meldung, bei
    // gescheiterter Auswertung meld(ort + 1) << "\n".
    int zwei_ganze(Term* l, Term* r, int64_t& a, int64_t& b, int ort, const char* meldung);
    // ---- Ende Mathematik
    // ---- Datum und Zeit (orvu_datum.cpp)
    int datum(Term* l, Term* r, Term* erg);
    int wochentag(Term* l, Term* r, Term* erg);
    int jetzt(Term* l, Term* r, Term* erg);
    int clock_(Term* l, Term* r, Term* erg);
    // ---- Ende Datum und Zeit
    // ---- Dateien, URLs, Umgebung, Prozesse (orvu_extern.cpp)
    int putfile(Term* l, Term* r, Term* erg);
    int getfile(Term* l, Term* r, Term* erg);
    int getta(Term* l, Term* r, Term* erg);
    int agetfile(Term* l, Term* r, Term* erg);
    int geturl_(Term* l, Term* r, Term* erg);
    int ageturl(Term* l, Term* r, Term* erg);
    int getenv_(Term* l, Term* r, Term* erg);
    int putenv_(Term* l, Term* r, Term* erg);
    int system_(Term* l, Term* r, Term* erg);
    int titel(Term* l, Term* r, Term* erg);
    int text_rechts(Term* r, Term& w, int ort, const char* meldung);
    std::vector<std::string>& leerer_textvektor(Var& v);
    int datei_text(const std::string& name, std::string& inhalt, int ort);
    int herunterladen(const std::string& url, std::string& antwort);
    static void zeilen_teilen(const std::string& s, std::vector<std::string>& zeilen);
    // ---- Ende Dateien, URLs, Umgebung, Prozesse
    // ---- Zins und Geld (orvu_geld.cpp)
    int zins(Term* l, Term* r, Term* erg);
    int cent(Term* l, Term* r, Term* erg);
    // ---- Ende Zins und Geld
    // ---- Verwandtschaft und Nachladetabellen (orvu_tabellen.cpp)
    int VEko(Term* l, Term* r, Term* erg);
    int veko(Term* l, Term* r, Term* erg);
    int vkname(Term* l, Term* r, Term* erg);
    int vkinit(Term* l, Term* r, Term* erg);
    int Nl_(Term* l, Term* r, Term* erg);
    int nldat_init(Term* l, Term* r, Term* erg);
    int nachladen(Term* l, Term* r, Term* erg);
    // Oeffnet eine Nachladetabelle als Ergebnis (NLOBJ); 0 ok, 1 gemeldet.
    int nl_oeffnen(const std::string& daten, const std::string& index, Term* erg);
    // Zeilenzahl des Stammbaums einer V_VEKO-Variablen (fuer len).
    static int64_t veko_zeilen(const Var& v);
    // ---- Ende Verwandtschaft und Nachladetabellen
    // ---- Verzeichnisse (orvu_verzeichnis.cpp)
    int rdir(Term* l, Term* r, Term* erg);
    int read_(Term* l, Term* r, Term* erg);
    int sommer(Term* l, Term* r, Term* erg);
    // Verschiebt die Aenderungszeit jeder Datei unter pfad um sekunden; anzahl zaehlt die
    // geaenderten. 0, oder 1 wenn pfad sich nicht oeffnen laesst.
    int sommer_up(const std::string& pfad, int64_t sekunden, int64_t& anzahl);
    // delete einer V_RDIR-Variablen: schliesst den Leser, gibt ihn frei und loest ihn von
    // allen Variablen, die ihn halten.
    void rdir_loeschen(Var& v);
    // ---- Ende Verzeichnisse
    // ---- SVG (orvu_svg.cpp)
    int svg_open(Term* l, Term* r, Term* erg);
    int svg_close(Term* l, Term* r, Term* erg);
    int svg_kreuz(Term* l, Term* r, Term* erg);
    int svg_punkt(Term* l, Term* r, Term* erg);
    int svg_strecke(Term* l, Term* r, Term* erg);
    int svg_gerade(Term* l, Term* r, Term* erg);
    int svg_rechteck(Term* l, Term* r, Term* erg);
    int svg_polygon(Term* l, Term* r, Term* erg);
    int svg_winkel(Term* l, Term* r, Term* erg);
    int svg_kreis(Term* l, Term* r, Term* erg);
    int svg_bogen(Term* l, Term* r, Term* erg);
    int svg_kurve(Term* l, Term* r, Term* erg);
    int svg_fieber(Term* l, Term* r, Term* erg);
    int svg_text(Term* l, Term* r, Term* erg);
    // Offenes Dokument fuer den Builtin name oder nullptr (gemeldet unter ort).
    struct Svg* svg_dokument(int ort, const char* name);
    // Der Vektor einer V_FVECTOR-Variablen, die der VARREF k nennt, sonst nullptr.
    std::vector<double>* svg_fvektor_var(Term* k);
    // Ruft die Benutzerfunktion fun mit dem Argument t; true mit y, wenn sie eine Zahl liefert.
    bool svg_funktionswert(int64_t fun, double t, double& y);
    // ---- Ende SVG
    // ---- Logo und Gleisbau (orvu_logo.cpp)
    int logo_start(Term* l, Term* r, Term* erg);
    int logo_strecke(Term* l, Term* r, Term* erg);
    int logo_bogen(Term* l, Term* r, Term* erg);
    int gleisbau(Term* l, Term* r, Term* erg);
    // Haken der Zuweisung fuer "+=" (op 2) und "-=" (op 3) mit dem schon ausgewerteten
    // Wert w: -1, wenn l keine Gleislage (V_FVECTOR mit 3 Elementen) mit passendem Wert
    // ist; sonst legt es das Gleisstueck und liefert 0 oder 1 (gemeldet).
    int gleis_haken(Term* l, Term& w, int op);
    // Ein Gleisstueck mit dem ausgewerteten Wert w auf die Lage v; 0 oder 1 (gemeldet).
    int gleis_stueck(Var& v, Term& w, bool rueckwaerts);
    // ---- Ende Logo und Gleisbau
    // ---- Melodien (orvu_melodie.cpp)
    int melodie(Term* l, Term* r, Term* erg);
    int melodie1(Term* l, Term* r, Term* erg);
    int melodie_spielen(Term* l, Term* r, Term* erg, bool absolut);
    // Ein Ton einer Melodie: gerade Frequenz in Hz, Dauer in ms.
    struct Melodieton {
        int hz = 0;
        int ms = 0;
    };
    // Hoerbereich: ein Ton ausserhalb wird abgelehnt.
    static constexpr int TON_MIN_HZ = 20, TON_MAX_HZ = 20000;
    // Zerlegt einen Melodietext relativ (melodie) oder absolut (melodie1) in Toene; liegt
    // einer ausserhalb des Hoerbereichs: false, sein Wort (gekuerzt) in falsch.
    static bool melodie_toene(std::string_view text, bool absolut,
                              std::vector<Melodieton>& toene, std::string& falsch);
    // ---- Ende Melodien
    // Uebersetzt das scanf-Muster ab *cursor bis zum Zeichen ende; 0 ok (*cursor auf ende).
    int init_scan(const char** cursor, std::vector<Mus>& muster, char ende);

    // --- Zahlen ---
    int plus_mitpruef(long long a, long long b, long long* aus);
    int mal_mitpruef(long long a, long long b, long long* aus);
    void kuerze(Bruch* b);
    long long Ggt(long long a, long long b);
    void to_izahl(Term* t);
    void to_rzahl(Term* t);
    void to_fzahl(Term* t);

    // --- Operanden lesen und Ergebnisse setzen (orvu_operanden.cpp) ---
    // Jede Pruefung meldet bei Misserfolg meld(ort) << meldung (Text genau wie gegeben,
    // meist mit "\n" am Ende) und liefert 1; sonst 0.
    // Form der Operanden: nur ein rechter / beide / keiner.
    int nur_rechts(const Term* l, const Term* r, int ort, const char* meldung) {
        return !l && r ? 0 : melde(ort, meldung);
    }
    int beide(const Term* l, const Term* r, int ort, const char* meldung) {
        return l && r ? 0 : melde(ort, meldung);
    }
    int keiner(const Term* l, const Term* r, int ort, const char* meldung) {
        return !l && !r ? 0 : melde(ort, meldung);
    }
    // meld(ort) << meldung; liefert 1. Ausser der Reihe: der Fehlerweg ist selten.
    [[gnu::noinline, gnu::cold]] int melde(int ort, const char* meldung);
    // Wertet k mit wert aus; scheitert das, folgt meld(ort) << meldung.
    int auswerten(Term* k, Term& w, int ort, const char* meldung) {
        return wert(k, &w) ? melde(ort, meldung) : 0;
    }
    // Wie geschrieben: OPER, FUNCALL und VARREF werden ausgewertet, jedes andere Blatt
    // ist selbst der Wert.
    int wie_geschrieben(Term* k, Term& w, int ort, const char* meldung);
    // Rechter Operand als TERMLIST mit genau n Elementen; liefert die Elemente.
    Term* liste_n(Term* r, size_t n, int ort, const char* meldung);
    // Zielvariable eines VARREF-Knotens (global oder Slot des innersten Rahmens).
    Var* ziel_var(Term* k, int ort, const char* meldung);
    // Zahlen: IZAHL, RZAHL (z/n in double) oder FZAHL als double; false bei anderem Typ.
    static bool als_double(const Term& w, double& x);
    // IZAHL als ganze Zahl; false bei anderem Typ.
    static bool als_ganz(const Term& w, int64_t& z);
    // TEXT oder TEXTPTR; text_von liefert dann den Text.
    static bool ist_text(const Term& t) { return t.typ == TEXT || t.typ == TEXTPTR; }
    static const std::string& text_von(const Term& t) {
        return t.typ == TEXT ? t.text : *t.textptr;
    }
    // Wertet k aus und verlangt eine Zahl (double) / eine IZAHL; sonst meld(ort) << meldung.
    int zahl_operand(Term* k, double& x, int ort, const char* meldung);
    int ganz_operand(Term* k, int64_t& z, int ort, const char* meldung);
    // Operatorcode, den die Auswertung vor dem Aufruf in erg->izahl legt.
    static int opcode(const Term* erg) { return static_cast<int>(erg->izahl); }
    // Ergebnisse.
    static int setze_izahl(Term* erg, int64_t z) { erg->typ = IZAHL; erg->izahl = z; return 0; }
    static int setze_fzahl(Term* erg, double x) { erg->typ = FZAHL; erg->fzahl = x; return 0; }
    static int setze_rzahl(Term* erg, Bruch b) { erg->typ = RZAHL; erg->rzahl = b; return 0; }
    static int setze_bool(Term* erg, bool b) { erg->typ = BOOL; erg->izahl = b; return 0; }
    // Ein gelesener Text wird kopiert (erg->text behaelt seinen Platz), ein fertiger
    // uebernommen.
    static int setze_text(Term* erg, const std::string& s) {
        erg->typ = TEXT;
        erg->text = s;
        return 0;
    }
    static int setze_text(Term* erg, std::string&& s) {
        erg->typ = TEXT;
        erg->text = std::move(s);
        return 0;
    }
    static int setze_text(Term* erg, const char* s) {
        erg->typ = TEXT;
        erg->text = s;
        return 0;
    }

    // Zustand eines Teilsystems (SVG-Dokument, Igel, Melodie, Tabellen, Verzeichnisleser,
    // Zufall): eigene Klassen, hier nur je ein Platz, angelegt beim ersten Gebrauch.
    // Eine Klasse T erbt von Teilsystem und nennt ihren Platz: static constexpr Teil platz.
    struct Teilsystem {
        virtual ~Teilsystem() = default;
    };
    enum class Teil : size_t { mathe, datum, extern_, geld, tabellen, verzeichnis, svg, logo,
                               melodie, anzahl };
    template <class T>
    T& teil() {
        std::unique_ptr<Teilsystem>& p = teile[static_cast<size_t>(T::platz)];
        if (!p) p = std::make_unique<T>();
        return static_cast<T&>(*p);
    }
    template <class T>
    T* teil_wenn_da() { return static_cast<T*>(teile[static_cast<size_t>(T::platz)].get()); }

    // --- Hilfen ---
    // Beginnt eine Meldung: "src/orvu" und Ortsnummer; der Text folgt mit <<.
    std::ostream& meld(int ort);
    // Haengt den Wert als Text an (Zahlen dezimal, FZAHL mit 6 Stellen, Bruch z/n).
    static void zahl_text(std::string& s, int64_t z);
    static void fzahl_text(std::string& s, double x);

    // Vektoren gehoeren dem Interpreter: jeder angelegte Vektor ist im Vektorregister
    // verzeichnet, bis delete oder das Ende des Laufs ihn freigibt.
    template <class V>
    V* vektor_anlegen() { return vreg.anlegen<V>(); }
    template <class V>
    void vektor_freigeben(V*& v) { vreg.freigeben(v); }
    // Gibt den Vektor der Variablen frei (den ersten gesetzten in der Reihenfolge
    // bvector, ivector, fvector, rvector, svector); true, wenn sie einen hatte.
    bool var_vektor_freigeben(Var& v);
    // True, wenn n Objekte der Groesse g in den physischen Speicher passen und die
    // Grenze max_laenge (in Bytes) nicht ueberschreiten.
    bool speicher_reicht(uint64_t n, size_t g) const { return grenzen.speicher_reicht(n, g); }

    // Parse-Ergebnisse (lager.h): leben bis zum Ende des Objekts, Adressen stabil.
    Term* neuer_term() { return lager.term(); }
    Anw* neue_anw() { return lager.anw(); }
    std::vector<Term>* neue_termliste() { return lager.termliste(); }
    std::vector<Anw>* neuer_block() { return lager.block(); }
    std::vector<Mus>* neues_muster() { return lager.muster(); }

    // Stapelwaechter: true, wenn der Maschinenstapel fast erschoepft ist.
    bool stapel_knapp() const {
        return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < grenzen.stapel_ende;
    }
    size_t& stapel_grenze = grenzen.stapel_grenze;   // erlaubter Verbrauch in Bytes
    uintptr_t& stapel_ende = grenzen.stapel_ende;    // tiefste erlaubte Stapeladresse

private:
    struct Tiefe;
    int operand(std::vector<Tok>& toks, int a, int e, Term*& ziel, bool behalte_leer);
    int oper_knoten(Term& term, const Tok& op, std::vector<Tok>& toks, int lb, int le, int rb,
                    int re);
    int blatt(Term& term, const Tok& t);
    int index_knoten(Term& term, std::vector<Tok>& toks, int b, int e);
    int aufruf_knoten(Term& term, std::vector<Tok>& toks, int b, int e);
    int lies_prolog(const char** cursor, const std::string& wort);
    int parameter_und_rumpf(const char** cursor, Fun& f);
    Var* lokal_slot(int64_t index);
    // Die Variable, die ein VARREF nennt: lokaler Slot oder globale Variable; nullptr
    // (ohne Meldung) fuer einen lokalen Slot ausserhalb seiner Funktion.
    Var* var_still(const Term* ref);
    // Wie var_still, meldet aber den fehlenden Slot.
    Var* variable(const Term* ref) {
        return ref->lokal ? lokal_slot(ref->izahl) : &var[static_cast<size_t>(ref->izahl)];
    }
    int ausgabe_text(Term& wert, std::string& s, bool fehlerkanal);
    int vergleichswert(Term* k, Term& w);
    int ordne(Term* l, Term* r, Term* erg, int art);
    int logik(Term* l, Term* r, Term* erg, bool und_);
    int len_setzen(Term* liste, Term* erg);
    int summe_addieren(Term& summe, Term& w);
    int listen_element(Term& e, std::string& s, bool fehlerkanal);
    int element_zuweisung(Term* indi, Term& wert, int op);
    int pos_zuweisung(Term& wert);
    int besondere_zuweisung(int64_t index, Term& w);
    int compound(Var& v, Term& w, bool minus);
    bool ganze_summe(Term* l, Term* r, int op);
    int var_aus_wert(Term& w, Var& v, bool mit_zeigern);
    // Vektoren, Texte, Zeiger (orvu_vektor.cpp)
    int text_laenge(std::string& s, int64_t n, char fuell, int ort, const char* builtin);
    int quelltext(Term* l, Term& L, const std::string*& s);
    bool zwei_werte(Term& liste, Term& a, Term& b);
    Var* textvariable(Term* l, int ort, const char* meldung);
    void vektor_loesen(void* p);
    bool bruch_plus(const Bruch& a, const Term& r, Bruch& ergebnis);
    int plus_zahlen(Term* l, Term& L, Term& R, bool minus, Term* erg);
    bool kehrwert(Term& R);
    int funktion_aufrufen(Term* knoten, Term* erg);
    uint8_t einordnen(const Term* k);
    bool rein_var(const Term* k, Klein& w);
    bool rein_plus(Term* k, Klein& w);
    bool rein_mal(Term* k, Klein& w);
    bool rein_ordne(Term* k, Klein& w);
    bool rein_gleich(Term* k, Klein& w, bool ungleich);
    bool rein_logik(Term* k, Klein& w);
    bool rein_index(Term* k, Klein& w);
    bool wirk_zuweisung(Term* k);
    bool wirk_element(Term* k);
    bool wirk_incr(Term* k);
    int64_t* ivektor_platz(Term* indi);
    Rahmen& rahmen_belegen(size_t slots);
    int return_anw(Anw* anw, Marken& m, bool im_block);
    int zeit_var(int index, Term* erg);
    int var_lesen(const Var& v, Term* erg);
    int lies_var(Term* knoten, Term* erg);
    int get_name(const char** cursor, Tok& tok);
    int lies_funktion(const char** cursor, Anw& anw);
    int lies_include(const char** cursor);
    int lies_block(const char** cursor, Anw& anw, const char* anfang);
    int lies_if(const char** cursor, Anw& anw);
    int lies_for(const char** cursor, Anw& anw);
    int anw_pflicht(const char** cursor, Anw*& ziel);
    void globale_anlegen();
    void vektoren_freigeben();
    int datensaetze(Marken& m);
    int schreibe_aus(const std::string& s);
    void nimm_eingabe(FILE* f);
    int datei_aus_var(const char* name, const char* modus, const char* meldung, FILE*& f);
    int eigene_schliessen();
    // scanf und split (orvu_format.cpp)
    Var* scan_ziel(const Mus& e, bool& fehlschlag);
    int scan_lauf(const std::vector<Mus>& m, std::string_view s, bool& passt);
    bool vektor_geteilt(const Var& v) const;

    std::array<std::unique_ptr<Teilsystem>, static_cast<size_t>(Teil::anzahl)> teile;
    Vektorregister vreg;
    Lager<Term, Anw, Mus> lager;  // Parse-Ergebnisse und Zeigerzellen
    std::vector<std::string> include_kette;  // Dateien, die gerade gelesen werden
    // Von EIN/AUS geoeffnet; berechne schliesst sie am Ende und prueft die geschriebenen.
    struct EigeneDatei {
        Datei datei;
        std::string name;
        bool geschrieben = false;
    };
    std::vector<EigeneDatei> eigene_dateien;
    std::unique_ptr<Leser> leser;            // gepufferter Leser ueber ein
    std::string ausgabe;                     // wiederverwendeter Puffer fuer "$"
    int aufruftiefe = 0;
    size_t belegt = 0;            // Rahmen in Gebrauch (auch der gerade entstehende)
    Rahmen* oben = nullptr;       // Rahmen des innersten laufenden Aufrufs
    int parsetiefe = 0;

public:
    Leser* eingabe() { return leser.get(); }
};

// Laufargumente, von der Kommandozeile gefuellt.
struct Argumente {
    FILE* ein = nullptr;
    FILE* aus = nullptr;
    std::istream* ein_stream = nullptr;
    std::ostream* aus_stream = nullptr;
    std::ostream* fehler = nullptr;
    const char* steuerung = "";
    const char* zwei = nullptr;
};

inline Orvu::Var* Orvu::var_still(const Term* ref) {
    if (!ref->lokal) return &var[static_cast<size_t>(ref->izahl)];
    if (!oben || static_cast<uint64_t>(ref->izahl) >= oben->n) return nullptr;
    return &oben->slots[static_cast<size_t>(ref->izahl)];
}

inline bool Orvu::ganz(const Term* k, int64_t& z) {
    if (k->typ == IZAHL) {
        z = k->izahl;
        return true;
    }
    // TAG, UHR und CPUZEIT werden bei jedem Lesen berechnet, nie gespeichert gelesen.
    if (k->typ != VARREF || (!k->lokal && k->izahl >= V_TAG && k->izahl <= V_CPUZEIT))
        return false;
    const Var* v = var_still(k);
    if (!v || (v->typ != V_IZAHL && v->typ != V_BOOL)) return false;
    z = v->izahl;
    return true;
}

inline int Orvu::wert(Term* k, Term* erg) {
    int64_t z;
    if (k && ganz(k, z)) {
        erg->typ = IZAHL;
        erg->izahl = z;
        return 0;
    }
    return wert_allgemein(k, erg);
}

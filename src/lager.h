// SPDX-License-Identifier: MIT
// Lager der Parse-Ergebnisse und Zeigerzellen: was hier entsteht, lebt bis zum Ende des
// Interpreters, und seine Adresse bleibt fest (deque verschiebt beim Wachsen nichts).
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

template <class Term, class Anw, class Mus>
class Lager {
public:
    Term* term() { return &terme_.emplace_back(); }
    Anw* anw() { return &anws_.emplace_back(); }
    std::vector<Term>* termliste() { return &listen_.emplace_back(); }
    std::vector<Anw>* block() { return &bloecke_.emplace_back(); }
    std::vector<Mus>* muster() { return &muster_.emplace_back(); }
    // Zellen von Izahlptr und Textptr.
    int64_t* zahl_zelle() { return &zahlen_.emplace_back(0); }
    std::string* text_zelle() { return &texte_.emplace_back(); }

private:
    std::deque<Term> terme_;
    std::deque<Anw> anws_;
    std::deque<std::vector<Term>> listen_;
    std::deque<std::vector<Anw>> bloecke_;
    std::deque<std::vector<Mus>> muster_;
    std::deque<int64_t> zahlen_;
    std::deque<std::string> texte_;
};

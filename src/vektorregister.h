// SPDX-License-Identifier: MIT
// Vektorregister: jeder Vektor, den der Interpreter anlegt, ist hier verzeichnet, bis
// delete oder das Ende des Laufs ihn freigibt; der Destruktor gibt den Rest frei.
// Geteilte Vektoren werden so genau einmal freigegeben.
#pragma once
#include <unordered_map>
#include <vector>

class Vektorregister {
public:
    Vektorregister() = default;
    Vektorregister(const Vektorregister&) = delete;
    Vektorregister& operator=(const Vektorregister&) = delete;
    ~Vektorregister() {
        for (auto& [p, frei] : alle_) frei(p);
    }

    template <class V>
    V* anlegen() {
        V* v = new V();
        alle_.emplace(v, [](void* p) { delete static_cast<V*>(p); });
        return v;
    }
    // Gibt v frei, wenn es verzeichnet ist (sonst nichts), und setzt es auf null.
    template <class V>
    void freigeben(V*& v) {
        if (v && alle_.erase(v)) delete v;
        v = nullptr;
    }

    // Von delete geloeste Vektoren: ein laufender Handler kann sie noch halten, also
    // frei erst, wenn der aeusserste Handler zurueckkehrt.
    void vormerken(void* p) { spaeter_.push_back(p); }
    void handler_beginnt() { ++handler_tiefe_; }
    void handler_endet() {
        if (--handler_tiefe_ == 0 && !spaeter_.empty()) nachfreigeben();
    }

private:
    // Gibt die vorgemerkten Vektoren frei; nur verzeichnete, so nie doppelt. Selten und
    // ausser der Reihe, damit handler_endet auf dem heissen Weg klein bleibt.
    [[gnu::noinline]] void nachfreigeben() {
        for (void* p : spaeter_) {
            auto it = alle_.find(p);
            if (it == alle_.end()) continue;
            it->second(p);
            alle_.erase(it);
        }
        spaeter_.clear();
    }

    std::unordered_map<void*, void (*)(void*)> alle_;
    std::vector<void*> spaeter_;
    int handler_tiefe_ = 0;
};

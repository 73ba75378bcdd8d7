// SPDX-License-Identifier: MIT
// Gemeinsames der Unit-Tests: ein Lauf im Prozess, ein eigenes Verzeichnis je Test.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "orvu.h"

struct Lauf {
    int status;
    std::string aus, fehler;
};

// Ein Lauf im Prozess wie von der Kommandozeile, ohne Eingabe und ohne Sandkasten.
inline Lauf lauf_im_prozess(const std::string& programm) {
    std::ostringstream aus, fehler;
    int status;
    {
        Orvu o;
        Argumente arg;
        arg.aus_stream = &aus;
        arg.fehler = &fehler;
        arg.steuerung = programm.c_str();
        status = o.berechne(&arg);
    }
    return {status, aus.str(), fehler.str()};
}

// Ein eigenes Verzeichnis je Test (nach Test und Prozess benannt), danach entfernt.
struct Ordner {
    std::filesystem::path pfad;
    Ordner() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("orvu_") + info->test_suite_name() + "_" + info->name() +
                           "_" + std::to_string(getpid());
        for (char& c : name)
            if (c == '/') c = '_';  // Namen parametrisierter Tests
        pfad = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(pfad);
    }
    ~Ordner() {
        std::error_code ec;
        std::filesystem::remove_all(pfad, ec);
    }
    // Legt die Datei (mit Unterverzeichnissen) an; ihr Pfad.
    std::filesystem::path datei(const std::string& name, const std::string& inhalt = "x") const {
        const std::filesystem::path p = pfad / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << inhalt;
        return p;
    }
};

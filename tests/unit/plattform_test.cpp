// SPDX-License-Identifier: MIT
// Die Zwillinge der Windows-Aufrufe: Umgebung setzen und entfernen, Dateizeiten, Status von
// Befehlen.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plattform.h"

namespace {

TEST(Plattform, putenvSetztUndEntferntUndWeistUngueltigesAb) {
    ASSERT_EQ(plattform::putenv_("ORVU_PT=a=b"), 0);
    ASSERT_NE(std::getenv("ORVU_PT"), nullptr);
    EXPECT_EQ(std::string(std::getenv("ORVU_PT")), "a=b");
    EXPECT_EQ(plattform::putenv_("ORVU_PT="), 0);
    EXPECT_EQ(std::getenv("ORVU_PT"), nullptr);
    for (const std::string& falsch : {std::string("ORVU_PT"), std::string("=x"), std::string(),
                                      std::string("ORVU_PT=a\0b", 11)}) {
        EXPECT_EQ(plattform::putenv_(falsch), -1) << falsch;
        EXPECT_EQ(std::getenv("ORVU_PT"), nullptr) << falsch;
    }
}

TEST(Plattform, dateizeitSetztDieAenderungszeit) {
    const std::string pfad = testing::TempDir() + "orvu_zeit_" + std::to_string(getpid());
    std::FILE* f = std::fopen(pfad.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    for (int64_t t : {int64_t{0}, int64_t{86400 * 365}, int64_t{4102444800}}) {
        ASSERT_EQ(plattform::dateizeit_setzen(pfad.c_str(), t), 0);
        struct stat st;
        ASSERT_EQ(stat(pfad.c_str(), &st), 0);
        EXPECT_EQ(static_cast<int64_t>(st.st_mtime), t);
    }
    std::remove(pfad.c_str());
    EXPECT_EQ(plattform::dateizeit_setzen(pfad.c_str(), 0), ENOENT);
}

TEST(Plattform, befehlLiefertDenExitStatus) {
    struct {
        const char* zeile;
        int status;
    } faelle[] = {{"true", 0}, {"exit 7", 7}, {"exit 255", 255}, {"kill -TERM $$", 128 + 15}};
    for (const auto& f : faelle) EXPECT_EQ(plattform::befehl(f.zeile), f.status) << f.zeile;
}

}  // namespace

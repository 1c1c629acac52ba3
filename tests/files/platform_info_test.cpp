// PlatformInfo's keys and the helpers behind ID, BATTERY, COMPILED, LOCALE
// and DOCUMENTS.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <regex>
#include <string>

#include "files/platform_info_internal.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Info(const char* key) { return PlatformInfo(RtString(key)).c_str(); }

// Sets or removes environment variables for one test and puts them back after.
class SavedEnvironment {
public:
    explicit SavedEnvironment(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(name);
        }
    }
    ~SavedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(PlatformInfo, FixedKeysInAnyLetterCase) {
    EXPECT_EQ(Info(""), "LINUX");
    EXPECT_EQ(Info("DEVICE"), "DESKTOP");
    EXPECT_EQ(Info("device"), "DESKTOP");
    EXPECT_EQ(Info("DeViCe"), "DESKTOP");
    EXPECT_EQ(Info("HOSTID"), "4E7A1C93");
    EXPECT_EQ(Info("hostId"), "4E7A1C93");
    EXPECT_EQ(Info("XYZ"), "NO_DATA");
    EXPECT_EQ(Info("DEVICE "), "NO_DATA");
    EXPECT_EQ(Info(std::string(100000, 'K').c_str()), "NO_DATA");
}

TEST(PlatformInfo, TimeInEitherCaseHasTheFixedForm) {
    auto now = [] {
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        return std::string(text);
    };
    const std::string before = now();
    const std::string upper = Info("TIME");
    const std::string lower = Info("time");
    const std::string after = now();
    const std::regex form(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
    EXPECT_TRUE(std::regex_match(upper, form)) << upper;
    EXPECT_TRUE(std::regex_match(lower, form)) << lower;
    // The fixed form orders like the time it shows.
    EXPECT_LE(before, upper);
    EXPECT_LE(upper, lower);
    EXPECT_LE(lower, after);
}

TEST(MachineId, SerialXorMaskLowestByteFirst) {
    EXPECT_EQ(vtx::MachineIdFor(0x12345678u), "3FCC1979");
    EXPECT_EQ(vtx::MachineIdFor(vtx::kMachineIdMask), "00000000");
    EXPECT_EQ(vtx::MachineIdFor(0), "479A2D6B");
}

TEST(MachineId, IdentityTextFoldsToThirtyTwoBits) {
    uint32_t serial = 0;
    EXPECT_TRUE(vtx::MachineSerialFrom("11111111222222224444444488888888", serial));
    EXPECT_EQ(serial, 0xFFFFFFFFu);
    EXPECT_TRUE(vtx::MachineSerialFrom("0000000000000000000000000000abCD", serial));
    EXPECT_EQ(serial, 0xABCDu);
    serial = 7;
    for (const char* bad : {"", "1234", "0000000000000000000000000000000g", "000000000000000000000000000000000",
                            " 0000000000000000000000000000000"}) {
        EXPECT_FALSE(vtx::MachineSerialFrom(bad, serial)) << bad;
        EXPECT_EQ(serial, 7u);
    }
    EXPECT_FALSE(vtx::MachineSerialFrom(nullptr, serial));
}

TEST(MachineId, TheKeyUsesTheMachineIdentity) {
    std::string identity;
    std::ifstream("/etc/machine-id") >> identity;
    if (identity.empty()) std::ifstream("/var/lib/dbus/machine-id") >> identity;
    uint32_t serial = vtx::kFallbackMachineSerial;
    if (!vtx::MachineSerialFrom(identity.c_str(), serial)) serial = vtx::kFallbackMachineSerial;
    EXPECT_EQ(Info("ID"), std::string(vtx::MachineIdFor(serial).c_str()));
    EXPECT_EQ(Info("id"), Info("ID"));
    EXPECT_TRUE(std::regex_match(Info("ID"), std::regex("[0-9A-F]{8}")));
}

class Battery : public ::testing::Test {
protected:
    // One power supply with the given files.
    void Supply(const std::string& name, std::map<std::string, std::string> files) {
        fs::create_directories(root() / name);
        for (const auto& [file, text] : files) std::ofstream(root() / name / file) << text;
    }
    fs::path root() const { return scratch_.path() / "power_supply"; }
    std::string Level() const { return vtx::BatteryLevelText(root().c_str()).c_str(); }
    ScratchFolder scratch_{"vtx-battery"};
};

TEST_F(Battery, UnknownWithoutABattery) {
    EXPECT_EQ(Level(), "255");  // no folder at all
    Supply("AC", {{"type", "Mains\n"}, {"online", "1\n"}});
    EXPECT_EQ(Level(), "255");
    EXPECT_EQ(vtx::BatteryLevelText(nullptr), "255");
}

TEST_F(Battery, CapacityOfTheSystemBatteries) {
    Supply("AC", {{"type", "Mains\n"}});
    Supply("BAT0", {{"type", "Battery\n"}, {"capacity", "57\n"}, {"scope", "System\n"}});
    EXPECT_EQ(Level(), "57");
    // A mouse's battery is not the system's; nor is an absent one.
    Supply("hidpp_battery_0", {{"type", "Battery\n"}, {"capacity", "5\n"}, {"scope", "Device\n"}});
    Supply("BAT9", {{"type", "Battery\n"}, {"capacity", "1\n"}, {"present", "0\n"}});
    EXPECT_EQ(Level(), "57");
    Supply("BAT1", {{"type", "Battery\n"}, {"capacity", "44\n"}});
    EXPECT_EQ(Level(), "51");  // 50.5 rounded
}

TEST_F(Battery, OddFilesAreSkippedOrMended) {
    Supply("BAT0", {{"type", "Battery\n"}, {"capacity", "many\n"}, {"energy_now", "30000\n"},
                    {"energy_full", "60000\n"}});
    EXPECT_EQ(Level(), "50");
    Supply("BAT1", {{"type", "Battery\n"}, {"capacity", "150\n"}});
    EXPECT_EQ(Level(), "75");  // 50 and 100 (a capacity above 100 is full)
    Supply("BAT2", {{"type", "Battery\n"}, {"charge_now", "-5\n"}, {"charge_full", "0\n"}});
    fs::create_directories(root() / "BAT3" / "capacity");  // unreadable as a file
    std::ofstream(root() / "BAT3" / "type") << "Battery\n";
    Supply("BAT4", {{"type", std::string(5000, 'B')}});
    EXPECT_EQ(Level(), "75");
}

TEST(BatteryKey, AnswersFromTheSystemFolder) {
    const std::string level = Info("BATTERY");
    EXPECT_EQ(level, std::string(vtx::BatteryLevelText("/sys/class/power_supply").c_str()));
    const int percent = std::atoi(level.c_str());
    EXPECT_TRUE(percent == 255 || (percent >= 0 && percent <= 100)) << level;
}

TEST(BuildStamp, MonthDayYearDashTime) {
    std::tm time{};
    time.tm_year = 2021 - 1900;
    time.tm_mon = 6;
    time.tm_mday = 5;
    time.tm_hour = 14;
    time.tm_min = 3;
    time.tm_sec = 59;
    EXPECT_EQ(vtx::BuildStampText(time), "Jul 5 2021-14:03:59");
    time = {};
    time.tm_year = 1999 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 25;
    time.tm_sec = 7;
    EXPECT_EQ(vtx::BuildStampText(time), "Dec 25 1999-00:00:07");
}

TEST(BuildStamp, TheKeyGivesWhenTheProgramWasBuilt) {
    struct stat info {};
    ASSERT_EQ(stat("/proc/self/exe", &info), 0);
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    EXPECT_EQ(Info("COMPILED"), std::string(vtx::BuildStampText(local).c_str()));
    EXPECT_TRUE(std::regex_match(Info("compiled"), std::regex(R"([A-Z][a-z]{2} \d{1,2} \d{4}-\d\d:\d\d:\d\d)")));
}

TEST(LanguageTable, CodesForLanguageIdentifiers) {
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0407), "de");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0809), "us");  // en, turned into us
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0409), "uk");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0422), "uk");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0408), "gr");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0404), "ch");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0C04), "zh");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0411), "jp");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x044E), "ma");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0465), "di");
    EXPECT_STREQ(vtx::LanguageCodeForId(0x540A), "us");  // not in the table
    EXPECT_STREQ(vtx::LanguageCodeForId(0x0000), "us");
    EXPECT_STREQ(vtx::LanguageCodeForId(0xFFFF), "us");
}

TEST(LanguageTable, IdentifiersForPosixLocales) {
    EXPECT_EQ(vtx::LanguageIdForLocale("de_DE.UTF-8"), 0x0407);
    EXPECT_EQ(vtx::LanguageIdForLocale("de_AT"), 0x0C07);
    EXPECT_EQ(vtx::LanguageIdForLocale("de_BE.UTF-8"), 0x0407);  // territory not listed: the default
    EXPECT_EQ(vtx::LanguageIdForLocale("DE_de"), 0x0407);
    EXPECT_EQ(vtx::LanguageIdForLocale("en_GB.UTF-8"), 0x0809);
    EXPECT_EQ(vtx::LanguageIdForLocale("en_US"), 0x0409);
    EXPECT_EQ(vtx::LanguageIdForLocale("en"), 0x0409);
    EXPECT_EQ(vtx::LanguageIdForLocale("el_GR.ISO-8859-7"), 0x0408);
    EXPECT_EQ(vtx::LanguageIdForLocale("zh_HK.UTF-8"), 0x0C04);
    EXPECT_EQ(vtx::LanguageIdForLocale("sr_RS@latin"), 0x081A);
    EXPECT_EQ(vtx::LanguageIdForLocale("sr_RS.UTF-8"), 0x0C1A);
    EXPECT_EQ(vtx::LanguageIdForLocale("uz_UZ.UTF-8@cyrillic"), 0x0843);
    EXPECT_EQ(vtx::LanguageIdForLocale("kok_IN"), 0x0457);
    for (const char* none : {"C", "POSIX", "C.UTF-8", "", "xx_YY", "de-DE", "_DE", "@latin"})
        EXPECT_EQ(vtx::LanguageIdForLocale(none), 0) << none;
    EXPECT_EQ(vtx::LanguageIdForLocale(nullptr), 0);
    EXPECT_EQ(vtx::LanguageIdForLocale(std::string(100000, 'd').c_str()), 0);
}

class LocaleKey : public ::testing::Test {
protected:
    std::string Locale() const { return Info("LOCALE"); }
    SavedEnvironment saved_{"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
};

TEST_F(LocaleKey, LanguagesThroughTheTable) {
    const std::map<std::string, std::string> expected = {
        {"de_DE.UTF-8", "de"}, {"en_GB.UTF-8", "us"}, {"en_US.UTF-8", "uk"}, {"el_GR.UTF-8", "gr"},
        {"xx_YY.UTF-8", "us"}, {"C", "us"},           {"fr_CA", "fr"},       {"zh_TW.UTF-8", "ch"},
        {"kn_IN", "ka"},       {"es_US.UTF-8", "us"}, {"es_MX.UTF-8", "es"}, {"nb_NO.UTF-8", "no"}};
    for (const auto& [locale, code] : expected) {
        setenv("LANG", locale.c_str(), 1);
        EXPECT_EQ(Locale(), code) << locale;
    }
    unsetenv("LANG");
    EXPECT_EQ(Locale(), "us");
}

TEST_F(LocaleKey, TheFirstSetVariableDecides) {
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_MESSAGES", "it_IT.UTF-8", 1);
    EXPECT_EQ(Locale(), "it");
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(Locale(), "jp");
    setenv("LANGUAGE", "fr_FR:de_DE", 1);
    EXPECT_EQ(Locale(), "fr");
    setenv("LANGUAGE", "::pl", 1);
    EXPECT_EQ(Locale(), "pl");
    setenv("LANGUAGE", "", 1);
    EXPECT_EQ(Locale(), "jp");
    setenv("LC_ALL", "", 1);
    EXPECT_EQ(Locale(), "it");
}

class DocumentsKey : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", home().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (scratch_.path() / "config").c_str(), 1);
        fs::create_directories(home());
        fs::create_directories(scratch_.path() / "config");
    }
    void Settings(const std::string& text) const {
        std::ofstream(scratch_.path() / "config" / "user-dirs.dirs") << text;
    }
    fs::path home() const { return scratch_.path() / "home"; }
    SavedEnvironment saved_{"HOME", "XDG_CONFIG_HOME"};
    ScratchFolder scratch_{"vtx-documents"};
};

TEST_F(DocumentsKey, FolderFromTheUserDirectories) {
    Settings("# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/My Papers\"\n");
    EXPECT_EQ(Info("DOCUMENTS"), home().string() + "/My Papers");
    EXPECT_EQ(Info("documents"), home().string() + "/My Papers");
    Settings("XDG_DOCUMENTS_DIR=\"/srv/shared/docs/\"\n  XDG_DOCUMENTS_DIR=\"/srv/other \\\"quoted\\\"\"\n");
    EXPECT_EQ(Info("DOCUMENTS"), "/srv/other \"quoted\"");  // the last setting wins
}

TEST_F(DocumentsKey, NoDataWhenNoneIsNamed) {
    EXPECT_EQ(Info("DOCUMENTS"), "NO_DATA");  // no settings, no Documents folder
    fs::create_directory(home() / "Documents");
    EXPECT_EQ(Info("DOCUMENTS"), home().string() + "/Documents");  // the usual default
    Settings("XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
    EXPECT_EQ(Info("DOCUMENTS"), "NO_DATA");  // set to the home folder: switched off
}

TEST_F(DocumentsKey, MalformedSettingsAreIgnored) {
    fs::create_directory(home() / "Documents");
    Settings("XDG_DOCUMENTS_DIR=$HOME/Unquoted\nXDG_DOCUMENTS_DIR=\"relative/path\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOMEX/odd\"\nXDG_DOCUMENTS_DIR=\"$HOME/unclosed\n" +
             std::string(100000, '#') + "\n");
    EXPECT_EQ(Info("DOCUMENTS"), home().string() + "/Documents");
}

}  // namespace

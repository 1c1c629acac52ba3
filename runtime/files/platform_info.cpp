// PlatformInfo: the keyed questions about the machine and their Linux answers.
#include "files/platform_info_internal.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/system.h"

namespace vtx {

namespace {

constexpr const char* kNoData = "NO_DATA";
constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The key with its small letters "a" to "z" turned into capitals.
std::string Capitals(const RtString& key) {
    std::string text = key.c_str();
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The value of one hexadecimal digit; -1 for any other character.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ID: the machine identity folded to 32 bits, or the fallback serial.
RtString MachineId() {
    uint32_t serial = kFallbackMachineSerial;
    const std::string identity = platform::MachineIdText();
    if (!MachineSerialFrom(identity.c_str(), serial)) serial = kFallbackMachineSerial;
    return MachineIdFor(serial);
}

// TIME: the local date and time as "yyyy-mm-dd hh:mm:ss".
RtString LocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return RtString(kNoData);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return RtString(text);
}

// COMPILED: when the program file was last written, which is when the
// program was linked (or had its pack appended). Without it, the runtime's
// own build date and time stand in.
RtString BuildStamp() {
    int64_t seconds = 0;
    if (platform::ProgramFileTime(seconds)) {
        const std::time_t when = static_cast<std::time_t>(seconds);
        std::tm local{};
        if (localtime_r(&when, &local) != nullptr) return BuildStampText(local);
    }
    // __DATE__ pads a one-digit day with a blank: "Jul  5 2021".
    char month[4] = {0};
    int day = 0, year = 0;
    if (std::sscanf(__DATE__, "%3s %d %d", month, &day, &year) != 3) return RtString(kNoData);
    char text[64];
    std::snprintf(text, sizeof text, "%s %d %d-%s", month, day, year, __TIME__);
    return RtString(text);
}

// DOCUMENTS: the XDG documents folder, "NO_DATA" when there is none.
RtString DocumentsFolder() {
    std::string folder = platform::DocumentsFolder();
    if (folder.empty()) return RtString(kNoData);
    for (char& c : folder)
        if (c == '\\') c = '/';
    return RtString(folder.c_str());
}

// LOCALE: the user's language through the Windows language table.
RtString LanguageCode() {
    const std::string locale = platform::MessagesLocale();
    return RtString(LanguageCodeForId(LanguageIdForLocale(locale.c_str())));
}

}  // namespace

// The serial mixed with the mask, lowest byte first.
RtString MachineIdFor(uint32_t serial) {
    const uint32_t id = serial ^ kMachineIdMask;
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", id & 0xFFu, (id >> 8) & 0xFFu, (id >> 16) & 0xFFu,
                  (id >> 24) & 0xFFu);
    return RtString(text);
}

// The four 32-bit words of a 32-digit identity, combined by exclusive or.
bool MachineSerialFrom(const char* identity, uint32_t& serial) {
    if (identity == nullptr || std::strlen(identity) != 32) return false;
    uint32_t folded = 0;
    for (int word = 0; word < 4; ++word) {
        uint32_t value = 0;
        for (int i = 0; i < 8; ++i) {
            const int digit = HexDigit(identity[word * 8 + i]);
            if (digit < 0) return false;
            value = (value << 4) | static_cast<uint32_t>(digit);
        }
        folded ^= value;
    }
    serial = folded;
    return true;
}

// English month, unpadded day, year, "-", then the time.
RtString BuildStampText(const std::tm& time) {
    const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%s %d %d-%02d:%02d:%02d", kMonthNames[month], time.tm_mday,
                  time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
    return RtString(text);
}

// The charge as number text, 255 when unknown.
RtString BatteryLevelText(const char* powerSupplyFolder) {
    const int32_t percent = platform::BatteryPercent(powerSupplyFolder != nullptr ? powerSupplyFolder : "");
    return RtString(percent < 0 ? int32_t{255} : percent);
}

}  // namespace vtx

// Answers one key; unknown keys give NO_DATA.
RtString PlatformInfo(const RtString& key) {
    using namespace vtx;
    const std::string upper = Capitals(key);
    if (upper.empty()) return RtString("LINUX");
    if (upper.rfind("GLEXT:", 0) == 0) return RtString(GlFunctionAvailable(key.c_str() + 6) ? "1" : "0");
    if (upper == "ID") return MachineId();
    if (upper == "DEVICE") return RtString("DESKTOP");
    if (upper == "TIME") return LocalTime();
    if (upper == "BATTERY") return BatteryLevelText("/sys/class/power_supply");
    if (upper == "COMPILED") return BuildStamp();
    if (upper == "HOSTID") return RtString(kHostIdentifier);
    if (upper == "LOCALE") return LanguageCode();
    if (upper == "DOCUMENTS") return DocumentsFolder();
    return RtString(kNoData);
}

// The LOCALE key: a POSIX locale becomes the Windows language identifier it
// corresponds to, and that identifier goes through the language table to a
// two-letter code.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

#include "files/platform_info_internal.h"

namespace vtx {

namespace {

// One POSIX language (with territory and modifier where they matter) and
// the Windows language identifier it corresponds to. An empty territory is
// the language's default.
struct LocaleLanguage {
    const char* language;
    const char* territory;
    const char* modifier;
    uint16_t id;
};

constexpr LocaleLanguage kLocaleLanguages[] = {
    {"ar", "", "", 0x0401}, {"ar", "SA", "", 0x0401}, {"ar", "IQ", "", 0x0801}, {"ar", "EG", "", 0x0C01},
    {"ar", "LY", "", 0x1001}, {"ar", "DZ", "", 0x1401}, {"ar", "MA", "", 0x1801}, {"ar", "TN", "", 0x1C01},
    {"ar", "OM", "", 0x2001}, {"ar", "YE", "", 0x2401}, {"ar", "SY", "", 0x2801}, {"ar", "JO", "", 0x2C01},
    {"ar", "LB", "", 0x3001}, {"ar", "KW", "", 0x3401}, {"ar", "AE", "", 0x3801}, {"ar", "BH", "", 0x3C01},
    {"ar", "QA", "", 0x4001}, {"bg", "", "", 0x0402}, {"ca", "", "", 0x0403}, {"zh", "", "", 0x0404},
    {"zh", "TW", "", 0x0404}, {"zh", "CN", "", 0x0804}, {"zh", "HK", "", 0x0C04}, {"zh", "SG", "", 0x1004},
    {"zh", "MO", "", 0x1404}, {"cs", "", "", 0x0405}, {"da", "", "", 0x0406}, {"de", "", "", 0x0407},
    {"de", "CH", "", 0x0807}, {"de", "AT", "", 0x0C07}, {"de", "LU", "", 0x1007}, {"de", "LI", "", 0x1407},
    {"el", "", "", 0x0408}, {"en", "", "", 0x0409}, {"en", "US", "", 0x0409}, {"en", "GB", "", 0x0809},
    {"en", "AU", "", 0x0C09}, {"en", "CA", "", 0x1009}, {"en", "NZ", "", 0x1409}, {"en", "IE", "", 0x1809},
    {"en", "ZA", "", 0x1C09}, {"en", "JM", "", 0x2009}, {"en", "AG", "", 0x2409}, {"en", "BZ", "", 0x2809},
    {"en", "TT", "", 0x2C09}, {"en", "ZW", "", 0x3009}, {"en", "PH", "", 0x3409}, {"en", "IN", "", 0x4009},
    {"en", "MY", "", 0x4409}, {"en", "SG", "", 0x4809}, {"es", "", "", 0x0C0A}, {"es", "ES", "", 0x0C0A},
    {"es", "MX", "", 0x080A}, {"es", "GT", "", 0x100A}, {"es", "CR", "", 0x140A}, {"es", "PA", "", 0x180A},
    {"es", "DO", "", 0x1C0A}, {"es", "VE", "", 0x200A}, {"es", "CO", "", 0x240A}, {"es", "PE", "", 0x280A},
    {"es", "AR", "", 0x2C0A}, {"es", "EC", "", 0x300A}, {"es", "CL", "", 0x340A}, {"es", "UY", "", 0x380A},
    {"es", "PY", "", 0x3C0A}, {"es", "BO", "", 0x400A}, {"es", "SV", "", 0x440A}, {"es", "HN", "", 0x480A},
    {"es", "NI", "", 0x4C0A}, {"es", "PR", "", 0x500A}, {"es", "US", "", 0x540A}, {"fi", "", "", 0x040B},
    {"fr", "", "", 0x040C}, {"fr", "BE", "", 0x080C}, {"fr", "CA", "", 0x0C0C}, {"fr", "CH", "", 0x100C},
    {"fr", "LU", "", 0x140C}, {"fr", "MC", "", 0x180C}, {"he", "", "", 0x040D}, {"iw", "", "", 0x040D},
    {"hu", "", "", 0x040E}, {"is", "", "", 0x040F}, {"it", "", "", 0x0410}, {"it", "CH", "", 0x0810},
    {"ja", "", "", 0x0411}, {"ko", "", "", 0x0412}, {"nl", "", "", 0x0413}, {"nl", "BE", "", 0x0813},
    {"nb", "", "", 0x0414}, {"no", "", "", 0x0414}, {"nn", "", "", 0x0814}, {"pl", "", "", 0x0415},
    {"pt", "", "", 0x0416}, {"pt", "BR", "", 0x0416}, {"pt", "PT", "", 0x0816}, {"ro", "", "", 0x0418},
    {"ru", "", "", 0x0419}, {"hr", "", "", 0x041A}, {"sr", "", "", 0x0C1A}, {"sr", "", "latin", 0x081A},
    {"sk", "", "", 0x041B}, {"sq", "", "", 0x041C}, {"sv", "", "", 0x041D}, {"sv", "FI", "", 0x081D},
    {"th", "", "", 0x041E}, {"tr", "", "", 0x041F}, {"ur", "", "", 0x0420}, {"ur", "IN", "", 0x0820},
    {"id", "", "", 0x0421}, {"in", "", "", 0x0421}, {"uk", "", "", 0x0422}, {"be", "", "", 0x0423},
    {"sl", "", "", 0x0424}, {"et", "", "", 0x0425}, {"lv", "", "", 0x0426}, {"lt", "", "", 0x0427},
    {"fa", "", "", 0x0429}, {"vi", "", "", 0x042A}, {"hy", "", "", 0x042B}, {"az", "", "", 0x042C},
    {"az", "", "cyrillic", 0x082C}, {"eu", "", "", 0x042D}, {"mk", "", "", 0x042F}, {"af", "", "", 0x0436},
    {"ka", "", "", 0x0437}, {"fo", "", "", 0x0438}, {"hi", "", "", 0x0439}, {"ms", "", "", 0x043E},
    {"ms", "BN", "", 0x083E}, {"kk", "", "", 0x043F}, {"ky", "", "", 0x0440}, {"sw", "", "", 0x0441},
    {"uz", "", "", 0x0443}, {"uz", "", "cyrillic", 0x0843}, {"tt", "", "", 0x0444}, {"bn", "", "", 0x0445},
    {"pa", "", "", 0x0446}, {"gu", "", "", 0x0447}, {"or", "", "", 0x0448}, {"ta", "", "", 0x0449},
    {"te", "", "", 0x044A}, {"kn", "", "", 0x044B}, {"ml", "", "", 0x044C}, {"as", "", "", 0x044D},
    {"mr", "", "", 0x044E}, {"sa", "", "", 0x044F}, {"mn", "", "", 0x0450}, {"gl", "", "", 0x0456},
    {"kok", "", "", 0x0457}, {"syr", "", "", 0x045A}, {"dv", "", "", 0x0465},
};

// One row of the language table: a code and a language identifier that
// gives it.
struct LanguageCodeEntry {
    uint16_t id;
    const char* code;
};

constexpr LanguageCodeEntry kLanguageCodes[] = {
    {0x0401, "ar"}, {0x0801, "ar"}, {0x0C01, "ar"}, {0x1001, "ar"}, {0x1401, "ar"}, {0x1801, "ar"},
    {0x1C01, "ar"}, {0x2001, "ar"}, {0x2401, "ar"}, {0x2801, "ar"}, {0x2C01, "ar"}, {0x3001, "ar"},
    {0x3401, "ar"}, {0x3801, "ar"}, {0x3C01, "ar"}, {0x4001, "ar"}, {0x0402, "bg"}, {0x0403, "ca"},
    {0x0404, "ch"}, {0x0804, "ch"}, {0x0405, "cs"}, {0x0406, "da"}, {0x0407, "de"}, {0x0807, "de"},
    {0x0C07, "de"}, {0x1007, "de"}, {0x1407, "de"}, {0x0408, "el"}, {0x0409, "uk"}, {0x0422, "uk"},
    {0x040A, "es"}, {0x080A, "es"}, {0x0C0A, "es"}, {0x100A, "es"}, {0x140A, "es"}, {0x180A, "es"},
    {0x1C0A, "es"}, {0x200A, "es"}, {0x240A, "es"}, {0x280A, "es"}, {0x2C0A, "es"}, {0x300A, "es"},
    {0x340A, "es"}, {0x380A, "es"}, {0x3C0A, "es"}, {0x400A, "es"}, {0x440A, "es"}, {0x480A, "es"},
    {0x4C0A, "es"}, {0x500A, "es"}, {0x040B, "fi"}, {0x040C, "fr"}, {0x080C, "fr"}, {0x0C0C, "fr"},
    {0x100C, "fr"}, {0x140C, "fr"}, {0x180C, "fr"}, {0x040D, "he"}, {0x040E, "hu"}, {0x040F, "is"},
    {0x0410, "it"}, {0x0810, "it"}, {0x0411, "jp"}, {0x0412, "ko"}, {0x0413, "nl"}, {0x0813, "nl"},
    {0x0414, "no"}, {0x0814, "no"}, {0x0415, "pl"}, {0x0416, "pt"}, {0x0816, "pt"}, {0x0418, "ro"},
    {0x0419, "ru"}, {0x041A, "hr"}, {0x041B, "sk"}, {0x041C, "sq"}, {0x041D, "sv"}, {0x081D, "sv"},
    {0x041E, "th"}, {0x041F, "tr"}, {0x0420, "ur"}, {0x0820, "ur"}, {0x0421, "in"}, {0x0423, "be"},
    {0x0445, "be"}, {0x0424, "sl"}, {0x0425, "et"}, {0x0426, "lv"}, {0x0427, "lt"}, {0x0827, "lt"},
    {0x0429, "fa"}, {0x042A, "vi"}, {0x042B, "hy"}, {0x042C, "az"}, {0x082C, "az"}, {0x042D, "eu"},
    {0x042F, "mk"}, {0x0436, "af"}, {0x0437, "ka"}, {0x044B, "ka"}, {0x0438, "fo"}, {0x0439, "hi"},
    {0x043E, "ms"}, {0x083E, "ms"}, {0x043F, "kk"}, {0x0440, "ky"}, {0x0441, "sw"}, {0x0443, "uz"},
    {0x0843, "uz"}, {0x0444, "tt"}, {0x0446, "pa"}, {0x0447, "gu"}, {0x0448, "or"}, {0x0449, "ta"},
    {0x044A, "te"}, {0x044C, "ma"}, {0x044E, "ma"}, {0x044D, "as"}, {0x044F, "sa"}, {0x0450, "mo"},
    {0x0456, "gl"}, {0x0457, "kn"}, {0x045A, "sy"}, {0x0465, "di"}, {0x0809, "en"}, {0x0C09, "en"},
    {0x1009, "en"}, {0x1409, "en"}, {0x1809, "en"}, {0x1C09, "en"}, {0x2009, "en"}, {0x2409, "en"},
    {0x2809, "en"}, {0x2C09, "en"}, {0x3009, "en"}, {0x3409, "en"}, {0x081A, "sr"}, {0x0C1A, "sr"},
    {0x0C04, "zh"}, {0x1004, "zh"}, {0x1404, "zh"},
};

// The parts of a locale name language[_territory][.codeset][@modifier];
// language in small letters, territory in capitals.
struct LocaleParts {
    std::string language, territory, modifier;
};

// Splits a locale name; an empty language when the text is no such name.
LocaleParts SplitLocale(const char* locale) {
    LocaleParts parts;
    const std::string text = locale != nullptr ? locale : "";
    const size_t at = text.find('@');
    if (at != std::string::npos) parts.modifier = text.substr(at + 1);
    const std::string name = text.substr(0, std::min(text.find('.'), at));
    const size_t underscore = name.find('_');
    parts.language = name.substr(0, underscore);
    if (underscore != std::string::npos) parts.territory = name.substr(underscore + 1);
    for (char& c : parts.language) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c < 'a' || c > 'z') return {};
    }
    for (char& c : parts.territory)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (char& c : parts.modifier)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return parts;
}

// The identifier of an entry of the language with this territory and
// modifier (both may be the empty default); 0 if there is none.
uint16_t FindLanguage(const LocaleParts& parts, const std::string& territory, const std::string& modifier) {
    for (const LocaleLanguage& entry : kLocaleLanguages)
        if (parts.language == entry.language && territory == entry.territory && modifier == entry.modifier)
            return entry.id;
    return 0;
}

}  // namespace

// The language identifier of the most specific matching entry.
uint16_t LanguageIdForLocale(const char* locale) {
    const LocaleParts parts = SplitLocale(locale);
    if (parts.language.empty()) return 0;
    // The most specific entry wins: territory and modifier, modifier alone,
    // territory alone, then the language's default.
    for (const auto& [territory, modifier] : {std::pair{parts.territory, parts.modifier},
                                              std::pair{std::string(), parts.modifier},
                                              std::pair{parts.territory, std::string()},
                                              std::pair{std::string(), std::string()}})
        if (const uint16_t id = FindLanguage(parts, territory, modifier); id != 0) return id;
    return 0;
}

// The table's code for an identifier, with gr for el and us for en.
const char* LanguageCodeForId(uint16_t languageId) {
    for (const LanguageCodeEntry& entry : kLanguageCodes) {
        if (entry.id != languageId) continue;
        if (std::strcmp(entry.code, "el") == 0) return "gr";
        if (std::strcmp(entry.code, "en") == 0) return "us";
        return entry.code;
    }
    return "us";
}

}  // namespace vtx

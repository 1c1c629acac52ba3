// Key codes: programs test keys by these numbers, so the well-known ones are
// checked one by one, and the table as a whole must be a one-to-one map.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <SDL_keyboard.h>

#include "input/key_codes.h"

namespace {

using vtx::FillKeyStates;
using vtx::KeyCodeFromScancode;
using vtx::ScancodeFromKeyCode;

int Code(SDL_Scancode sc) { return KeyCodeFromScancode(sc); }

TEST(KeyCodes, NamedConstantsHaveTheirValues) {
    EXPECT_EQ(vtx::kKeyCount, 256);
    EXPECT_EQ(vtx::kKeyEscape, 1);
    EXPECT_EQ(vtx::kKeyBackspace, 14);
    EXPECT_EQ(vtx::kKeyEnter, 28);
    EXPECT_EQ(vtx::kKeyLeftShift, 42);
    EXPECT_EQ(vtx::kKeyRightShift, 54);
    EXPECT_EQ(vtx::kKeyLeftAlt, 56);
    EXPECT_EQ(vtx::kKeySpace, 57);
    EXPECT_EQ(vtx::kKeyF4, 62);
    EXPECT_EQ(vtx::kKeyPadEnter, 156);
}

TEST(KeyCodes, NamedConstantsMatchTheirKeys) {
    EXPECT_EQ(Code(SDL_SCANCODE_ESCAPE), vtx::kKeyEscape);
    EXPECT_EQ(Code(SDL_SCANCODE_BACKSPACE), vtx::kKeyBackspace);
    EXPECT_EQ(Code(SDL_SCANCODE_RETURN), vtx::kKeyEnter);
    EXPECT_EQ(Code(SDL_SCANCODE_LSHIFT), vtx::kKeyLeftShift);
    EXPECT_EQ(Code(SDL_SCANCODE_RSHIFT), vtx::kKeyRightShift);
    EXPECT_EQ(Code(SDL_SCANCODE_LALT), vtx::kKeyLeftAlt);
    EXPECT_EQ(Code(SDL_SCANCODE_SPACE), vtx::kKeySpace);
    EXPECT_EQ(Code(SDL_SCANCODE_F4), vtx::kKeyF4);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_ENTER), vtx::kKeyPadEnter);
}

TEST(KeyCodes, DigitRowRunsFromTwoToEleven) {
    const SDL_Scancode digits[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4,
                                   SDL_SCANCODE_5, SDL_SCANCODE_6, SDL_SCANCODE_7, SDL_SCANCODE_8,
                                   SDL_SCANCODE_9, SDL_SCANCODE_0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Code(digits[i]), 2 + i) << "digit key " << (i + 1) % 10;
}

TEST(KeyCodes, LetterRowsFollowTheKeyboardLayout) {
    const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const int firstCode[] = {16, 30, 44};
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; rows[row][i] != '\0'; ++i) {
            const char letter = rows[row][i];
            const auto sc = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (letter - 'A'));
            EXPECT_EQ(Code(sc), firstCode[row] + i) << "letter " << letter;
        }
    }
    EXPECT_EQ(Code(SDL_SCANCODE_Q), 16);
    EXPECT_EQ(Code(SDL_SCANCODE_A), 30);
    EXPECT_EQ(Code(SDL_SCANCODE_M), 50);
}

TEST(KeyCodes, FunctionKeys) {
    for (int i = 0; i < 10; ++i) {
        const auto sc = static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i);
        EXPECT_EQ(Code(sc), 59 + i) << "F" << (i + 1);
    }
    EXPECT_EQ(Code(SDL_SCANCODE_F11), 87);
    EXPECT_EQ(Code(SDL_SCANCODE_F12), 88);
    EXPECT_EQ(Code(SDL_SCANCODE_F13), 100);
    EXPECT_EQ(Code(SDL_SCANCODE_F14), 101);
    EXPECT_EQ(Code(SDL_SCANCODE_F15), 102);
    EXPECT_EQ(Code(SDL_SCANCODE_F16), 0);  // no code past F15
}

TEST(KeyCodes, PunctuationAndModifiers) {
    EXPECT_EQ(Code(SDL_SCANCODE_MINUS), 12);
    EXPECT_EQ(Code(SDL_SCANCODE_EQUALS), 13);
    EXPECT_EQ(Code(SDL_SCANCODE_TAB), 15);
    EXPECT_EQ(Code(SDL_SCANCODE_LEFTBRACKET), 26);
    EXPECT_EQ(Code(SDL_SCANCODE_RIGHTBRACKET), 27);
    EXPECT_EQ(Code(SDL_SCANCODE_LCTRL), 29);
    EXPECT_EQ(Code(SDL_SCANCODE_SEMICOLON), 39);
    EXPECT_EQ(Code(SDL_SCANCODE_APOSTROPHE), 40);
    EXPECT_EQ(Code(SDL_SCANCODE_GRAVE), 41);
    EXPECT_EQ(Code(SDL_SCANCODE_BACKSLASH), 43);
    EXPECT_EQ(Code(SDL_SCANCODE_COMMA), 51);
    EXPECT_EQ(Code(SDL_SCANCODE_PERIOD), 52);
    EXPECT_EQ(Code(SDL_SCANCODE_SLASH), 53);
    EXPECT_EQ(Code(SDL_SCANCODE_CAPSLOCK), 58);
    EXPECT_EQ(Code(SDL_SCANCODE_NUMLOCKCLEAR), 69);
    EXPECT_EQ(Code(SDL_SCANCODE_SCROLLLOCK), 70);
    EXPECT_EQ(Code(SDL_SCANCODE_NONUSBACKSLASH), 86);
    EXPECT_EQ(Code(SDL_SCANCODE_RCTRL), 157);
    EXPECT_EQ(Code(SDL_SCANCODE_RALT), 184);
    EXPECT_EQ(Code(SDL_SCANCODE_LGUI), 219);
    EXPECT_EQ(Code(SDL_SCANCODE_RGUI), 220);
    EXPECT_EQ(Code(SDL_SCANCODE_APPLICATION), 221);
}

TEST(KeyCodes, Keypad) {
    EXPECT_EQ(Code(SDL_SCANCODE_KP_MULTIPLY), 55);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_7), 71);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_8), 72);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_9), 73);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_MINUS), 74);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_4), 75);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_5), 76);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_6), 77);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_PLUS), 78);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_1), 79);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_2), 80);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_3), 81);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_0), 82);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_PERIOD), 83);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_EQUALS), 141);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_ENTER), 156);
    EXPECT_EQ(Code(SDL_SCANCODE_KP_DIVIDE), 181);
}

TEST(KeyCodes, EditingAndArrowKeys) {
    EXPECT_EQ(Code(SDL_SCANCODE_PRINTSCREEN), 183);
    EXPECT_EQ(Code(SDL_SCANCODE_PAUSE), 197);
    EXPECT_EQ(Code(SDL_SCANCODE_HOME), 199);
    EXPECT_EQ(Code(SDL_SCANCODE_UP), 200);
    EXPECT_EQ(Code(SDL_SCANCODE_PAGEUP), 201);
    EXPECT_EQ(Code(SDL_SCANCODE_LEFT), 203);
    EXPECT_EQ(Code(SDL_SCANCODE_RIGHT), 205);
    EXPECT_EQ(Code(SDL_SCANCODE_END), 207);
    EXPECT_EQ(Code(SDL_SCANCODE_DOWN), 208);
    EXPECT_EQ(Code(SDL_SCANCODE_PAGEDOWN), 209);
    EXPECT_EQ(Code(SDL_SCANCODE_INSERT), 210);
    EXPECT_EQ(Code(SDL_SCANCODE_DELETE), 211);
}

TEST(KeyCodes, InternationalKeys) {
    EXPECT_EQ(Code(SDL_SCANCODE_INTERNATIONAL2), 112);  // Kana
    EXPECT_EQ(Code(SDL_SCANCODE_INTERNATIONAL1), 115);  // Ro / Brazilian "/ ?"
    EXPECT_EQ(Code(SDL_SCANCODE_INTERNATIONAL4), 121);  // Convert
    EXPECT_EQ(Code(SDL_SCANCODE_INTERNATIONAL5), 123);  // NoConvert
    EXPECT_EQ(Code(SDL_SCANCODE_INTERNATIONAL3), 125);  // Yen
    EXPECT_EQ(Code(SDL_SCANCODE_KP_COMMA), 126);        // Brazilian keypad "."
    EXPECT_EQ(Code(SDL_SCANCODE_LANG5), 148);           // Kanji
    EXPECT_EQ(Code(SDL_SCANCODE_INTERNATIONAL6), 179);  // Japanese keypad ","
}

TEST(KeyCodes, MediaWebAndPowerKeys) {
    EXPECT_EQ(Code(SDL_SCANCODE_AUDIOPREV), 144);
    EXPECT_EQ(Code(SDL_SCANCODE_AUDIONEXT), 153);
    EXPECT_EQ(Code(SDL_SCANCODE_MUTE), 160);
    EXPECT_EQ(Code(SDL_SCANCODE_CALCULATOR), 161);
    EXPECT_EQ(Code(SDL_SCANCODE_AUDIOPLAY), 162);
    EXPECT_EQ(Code(SDL_SCANCODE_AUDIOSTOP), 164);
    EXPECT_EQ(Code(SDL_SCANCODE_VOLUMEDOWN), 174);
    EXPECT_EQ(Code(SDL_SCANCODE_VOLUMEUP), 176);
    EXPECT_EQ(Code(SDL_SCANCODE_AC_HOME), 178);
    EXPECT_EQ(Code(SDL_SCANCODE_POWER), 222);
    EXPECT_EQ(Code(SDL_SCANCODE_SLEEP), 223);
    EXPECT_EQ(Code(SDL_SCANCODE_AC_SEARCH), 229);
    EXPECT_EQ(Code(SDL_SCANCODE_AC_BOOKMARKS), 230);
    EXPECT_EQ(Code(SDL_SCANCODE_AC_REFRESH), 231);
    EXPECT_EQ(Code(SDL_SCANCODE_CANCEL), 232);
    EXPECT_EQ(Code(SDL_SCANCODE_AC_FORWARD), 233);
    EXPECT_EQ(Code(SDL_SCANCODE_AC_BACK), 234);
    EXPECT_EQ(Code(SDL_SCANCODE_COMPUTER), 235);
    EXPECT_EQ(Code(SDL_SCANCODE_MAIL), 236);
    EXPECT_EQ(Code(SDL_SCANCODE_MEDIASELECT), 237);
}

TEST(KeyCodes, KeysWithoutACodeGiveZero) {
    EXPECT_EQ(Code(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(Code(SDL_SCANCODE_NONUSHASH), 0);  // same scan code as Backslash
    EXPECT_EQ(Code(SDL_SCANCODE_MODE), 0);
    EXPECT_EQ(Code(SDL_SCANCODE_UNDO), 0);
    EXPECT_EQ(Code(SDL_SCANCODE_BRIGHTNESSUP), 0);
    EXPECT_EQ(Code(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
}

TEST(KeyCodes, CodesWithoutAKeyGiveUnknown) {
    EXPECT_EQ(ScancodeFromKeyCode(0), SDL_SCANCODE_UNKNOWN);
    for (const int code : {84, 85, 89, 99, 103, 127, 128, 255}) {
        EXPECT_EQ(ScancodeFromKeyCode(static_cast<uint8_t>(code)), SDL_SCANCODE_UNKNOWN) << "code " << code;
    }
}

TEST(KeyCodes, InverseFindsTheKnownKeys) {
    EXPECT_EQ(ScancodeFromKeyCode(1), SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(ScancodeFromKeyCode(28), SDL_SCANCODE_RETURN);
    EXPECT_EQ(ScancodeFromKeyCode(57), SDL_SCANCODE_SPACE);
    EXPECT_EQ(ScancodeFromKeyCode(156), SDL_SCANCODE_KP_ENTER);
    EXPECT_EQ(ScancodeFromKeyCode(184), SDL_SCANCODE_RALT);
    EXPECT_EQ(ScancodeFromKeyCode(200), SDL_SCANCODE_UP);
    EXPECT_EQ(ScancodeFromKeyCode(211), SDL_SCANCODE_DELETE);
}

// Every scancode with a code comes back from the inverse, and no code is
// claimed by two scancodes.
TEST(KeyCodes, TableIsOneToOneAndRoundTrips) {
    std::vector<int> owner(vtx::kKeyCount, -1);
    int mapped = 0;
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        const int code = Code(static_cast<SDL_Scancode>(sc));
        if (code == 0) continue;
        ++mapped;
        EXPECT_EQ(owner[code], -1) << "code " << code << " given by scancodes " << owner[code] << " and " << sc;
        owner[code] = sc;
        EXPECT_EQ(ScancodeFromKeyCode(static_cast<uint8_t>(code)), sc) << "code " << code;
    }
    // The other direction: every code with a scancode maps back to that code.
    int inverse = 0;
    for (int code = 0; code < vtx::kKeyCount; ++code) {
        const SDL_Scancode sc = ScancodeFromKeyCode(static_cast<uint8_t>(code));
        if (sc == SDL_SCANCODE_UNKNOWN) continue;
        ++inverse;
        EXPECT_EQ(Code(sc), code) << "scancode " << sc;
    }
    EXPECT_EQ(mapped, inverse);
    // A full PC keyboard plus its media keys: well over a hundred keys.
    EXPECT_GE(mapped, 130);
}

TEST(KeyCodes, FillKeyStatesSetsPressedKeysAndClearsTheRest) {
    uint8_t sdl[SDL_NUM_SCANCODES] = {};
    sdl[SDL_SCANCODE_ESCAPE] = 1;
    sdl[SDL_SCANCODE_KP_ENTER] = 1;
    sdl[SDL_SCANCODE_RALT] = 1;
    sdl[SDL_SCANCODE_F16] = 1;  // pressed, but without a code
    uint8_t keys[256];
    std::memset(keys, 0x5A, sizeof keys);
    FillKeyStates(sdl, SDL_NUM_SCANCODES, keys);
    for (int code = 0; code < 256; ++code) {
        const bool down = code == 1 || code == 156 || code == 184;
        EXPECT_EQ(keys[code], down ? 0x80 : 0) << "code " << code;
    }

    // Releasing a key clears it on the next fill.
    sdl[SDL_SCANCODE_ESCAPE] = 0;
    FillKeyStates(sdl, SDL_NUM_SCANCODES, keys);
    EXPECT_EQ(keys[1], 0);
    EXPECT_EQ(keys[156], 0x80);
}

TEST(KeyCodes, FillKeyStatesReadsOnlyTheGivenCount) {
    uint8_t sdl[SDL_NUM_SCANCODES] = {};
    sdl[SDL_SCANCODE_A] = 1;       // scancode 4
    sdl[SDL_SCANCODE_DELETE] = 1;  // scancode 76
    uint8_t keys[256];
    FillKeyStates(sdl, SDL_SCANCODE_DELETE, keys);  // stops just before Delete
    EXPECT_EQ(keys[30], 0x80);
    EXPECT_EQ(keys[211], 0);
}

TEST(KeyCodes, FillKeyStatesWithoutAStateClearsEverything) {
    uint8_t keys[256];
    std::memset(keys, 0x80, sizeof keys);
    FillKeyStates(nullptr, SDL_NUM_SCANCODES, keys);
    for (int code = 0; code < 256; ++code) EXPECT_EQ(keys[code], 0) << "code " << code;

    const uint8_t sdl[SDL_NUM_SCANCODES] = {};
    std::memset(keys, 0x80, sizeof keys);
    FillKeyStates(sdl, -5, keys);
    for (int code = 0; code < 256; ++code) EXPECT_EQ(keys[code], 0) << "code " << code;
}

}  // namespace

namespace {

// The names of the public key-name header, read from its text: every code
// of the table has exactly one name, and letters, digits and function keys
// name the keys SDL calls so.
TEST(KeyCodes, EveryCodeHasOneNameInThePublicHeader) {
    std::ifstream header(KEY_NAMES_HEADER);
    ASSERT_TRUE(header.good());
    const std::regex constant(R"(inline constexpr int32_t KEY_(\w+) = (\d+);)");
    std::map<int, std::string> names;
    for (std::string line; std::getline(header, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, constant)) continue;
        const int code = std::stoi(m[2]);
        EXPECT_TRUE(names.emplace(code, m[1]).second) << "two names for code " << code;
    }
    // Codes no Linux keyboard reports still have names, for programs written elsewhere.
    const std::set<int> unreported = {145, 146, 147, 150, 151, 227};
    for (int code = 1; code < 256; ++code) {
        const bool hasKey = ScancodeFromKeyCode(static_cast<uint8_t>(code)) != SDL_SCANCODE_UNKNOWN;
        EXPECT_EQ(names.count(code) == 1, hasKey || unreported.count(code) == 1) << "code " << code;
    }
    for (const auto& [code, name] : names) {
        const std::string sdl = SDL_GetScancodeName(ScancodeFromKeyCode(static_cast<uint8_t>(code)));
        if (name.size() == 1 || (name[0] == 'F' && name.size() <= 3 && std::isdigit(name[1]) != 0)) {
            EXPECT_EQ(name, sdl) << "code " << code;
        }
    }
    for (const auto& [code, sdl] : {std::pair{203, "LEFT"}, {205, "RIGHT"}, {200, "UP"}, {208, "DOWN"},
                                    {57, "SPACE"}, {28, "ENTER"}, {156, "KP_ENTER"}, {184, "RIGHT_ALT"}})
        EXPECT_EQ(names[code], sdl);
}

}  // namespace

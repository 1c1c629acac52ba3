// What the runtime shares about platform info beyond its commands.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform_info.h"

namespace vtx {

// The mask mixed into the machine serial for the ID key.
inline constexpr uint32_t kMachineIdMask = 0x6B2D9A47u;
// The serial used when the machine names no identity.
inline constexpr uint32_t kFallbackMachineSerial = 0x0F1E2D3Cu;
// The answer to HOSTID.
inline constexpr const char* kHostIdentifier = "4E7A1C93";

// The ID text for a machine serial: serial XOR the mask as 8 capital
// hexadecimal digits, byte by byte from the lowest byte.
RtString MachineIdFor(uint32_t serial);
// The 32-bit serial of a machine identity text (32 hexadecimal digits, as in
// /etc/machine-id): its four 32-bit words combined by exclusive or. False
// for any other text.
bool MachineSerialFrom(const char* identity, uint32_t& serial);
// A build stamp in the form "Jul 5 2021-14:03:59" (English month, day
// without padding).
RtString BuildStampText(const std::tm& time);
// BATTERY's answer for a power-supply folder: percent text, or 255 when no
// battery there tells its charge.
RtString BatteryLevelText(const char* powerSupplyFolder);

// The Windows language identifier for a POSIX locale name ("de_DE.UTF-8"
// gives 0x0407, "sr_RS@latin" 0x081A); 0 for "C", "POSIX" and unknown
// languages. A territory the language does not list gives the language's
// default (sub-language 1).
uint16_t LanguageIdForLocale(const char* locale);
// LOCALE's code for a Windows language identifier: the language table's
// code in small letters, "el" turned into "gr" and "en" into "us"; "us"
// for identifiers the table does not list.
const char* LanguageCodeForId(uint16_t languageId);

// True when the current OpenGL context supplies the function of that exact
// name as an extension (beyond OpenGL 1.1); false without a context.
bool GlFunctionAvailable(const char* name);

}  // namespace vtx

// Platform queries: one keyed question about the machine the program runs on.
#pragma once

#include "../core/rt_string.h"

// The answer to one question; the key is compared after turning its small
// letters into capitals, only the name after "GLEXT:" keeps its case.
//   ""            "LINUX", the platform the program runs on
//   GLEXT:name    "1" when the OpenGL context supplies that extension function, else "0"
//   ID            the machine identifier, 8 capital hexadecimal digits
//   DEVICE        "DESKTOP"
//   TIME          local time as "yyyy-mm-dd hh:mm:ss"
//   BATTERY       battery charge in percent as number text; 255 when unknown
//   COMPILED      the program's build date and time, as "Jul 5 2021-14:03:59"
//   HOSTID        the fixed host identifier
//   LOCALE        the user's language as a two-letter code
//   DOCUMENTS     the user's documents folder with "/" separators
// Unknown keys and unavailable answers give "NO_DATA".
RtString PlatformInfo(const RtString& key);

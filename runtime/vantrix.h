// Vantrix: the runtime of a small game-programming language.
// Every language command that exists is declared through this header.
#pragma once

#include "core/number_text.h"
#include "core/random.h"
#include "core/rt_array.h"
#include "core/rt_string.h"
#include "files/file_commands.h"
#include "files/last_error.h"
#include "files/pack_resolver.h"
#include "files/rt_file.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/picture_commands.h"
#include "gfx2d/sprite_commands.h"
#include "host/clock.h"
#include "host/diagnostics.h"
#include "host/frames.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"

// Music and movies from media files (MP3 and whatever FFmpeg reads). Music
// plays on while the program runs; a movie plays over the window and blocks.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Stops any music and plays the file (disk or pack archive) from the start
// at full volume; loop non-zero restarts it each time its length has passed.
// A file that is not found leaves nothing playing.
void PlayMusic(const RtString& file, int32_t loop);
// Stops and closes the music; returns 0.
int32_t StopMusic();
// Plays the music again from its start.
void RewindMusic();
// Music volume 0.0 .. 1.0.
void SetMusicVolume(double volume);
// 1 while music plays (looping music always counts as playing), else 0.
int32_t IsMusicPlaying();

// Plays a movie over the window until it ends or a key or mouse button is
// pressed (loop non-zero: until a key or button); 0 after playback, 3 when
// the file cannot be opened.
int32_t PlayMovie(const RtString& file, int32_t loop);
// PlayMovie played once (loop 0).
int32_t PlayMovie(const RtString& file);

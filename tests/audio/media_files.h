// Media files made by the audio tests with the ffmpeg command.
#pragma once

#include <cstdlib>
#include <string>

namespace media_test {

// A sine tone of seconds length as MP3 (mono unless stereo).
inline bool MakeTone(const std::string& path, double seconds, bool stereo = false) {
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:sample_rate=44100:duration=" +
                                std::to_string(seconds) + (stereo ? " -ac 2" : "") + " -c:a libmp3lame -b:a 96k '" +
                                path + "'";
    return std::system(command.c_str()) == 0;
}

// A test picture of width x height with a tone, seconds long, at fps.
inline bool MakeMovie(const std::string& path, int width, int height, double seconds, int fps) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i color=c=red:s=" + size + ":r=" +
                                std::to_string(fps) + ":d=" + std::to_string(seconds) +
                                " -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds) +
                                " -c:v mpeg4 -c:a mp2 -shortest '" + path + "'";
    return std::system(command.c_str()) == 0;
}

}  // namespace media_test

// make-demo-media FOLDER: writes ravlo's demo media into FOLDER (made when
// missing): font.bmp, font2.bmp, intro.png, bg1.png .. bg9.png and
// 01.mp3 .. 09.mp3.
#include <cstdio>
#include <filesystem>
#include <string>

#include "demo_media.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-media FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make-demo-media: cannot make %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    if (!demo::WriteFonts(folder) || !demo::WritePictures(folder) || !demo::WriteTunes(folder)) {
        std::fprintf(stderr, "make-demo-media: writing into %s failed\n", folder.c_str());
        return 1;
    }
    return 0;
}

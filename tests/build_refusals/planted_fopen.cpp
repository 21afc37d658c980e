// A game source that opens a file itself instead of through the platform's file
// service: it must not compile.
#include <cstdio>

std::FILE* PlantedFopen() {
    return std::fopen("ZRN.dat", "rb");
}

// A small command-line wrapper of the library, so that it can be timed as a
// whole process beside other encoders: savetojpeg <bmp> <jpeg> <quality>
#include "savejpg/SaveJPG.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: savetojpeg <bmp> <jpeg> <quality 0-100>\n");
    return 2;
  }
  const int quality = std::atoi(argv[3]);
  if (quality < 0 || quality > 100) {
    std::fprintf(stderr, "quality must be 0 to 100\n");
    return 2;
  }
  const int rc = SavetoJPEG(argv[1], argv[2], static_cast<uint8_t>(quality), -1);
  if (rc != SAVEJPG_OK) {
    std::fprintf(stderr, "SavetoJPEG failed with code %d\n", rc);
  }
  return rc;
}

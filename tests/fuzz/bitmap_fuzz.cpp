// libFuzzer target for the JPEG library's bitmap reader: any bytes as the BMP
// file; no input may crash it or make it read out of bounds, and whatever it
// accepts is written as a JPEG.
#include "savejpg/SaveJPG.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const std::string source = "/tmp/bitmap_fuzz_" + std::to_string(getpid()) + ".bmp";
  static const std::string target = "/tmp/bitmap_fuzz_" + std::to_string(getpid()) + ".jpg";
  FILE *f = std::fopen(source.c_str(), "wb");
  if (f == nullptr) {
    return 0;
  }
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  const int rc = SavetoJPEG(source.c_str(), target.c_str(), 75, -1);
  if (rc != SAVEJPG_OK && rc != SAVEJPG_E_SOURCE && rc != SAVEJPG_E_ENCODE) {
    __builtin_trap();
  }
  return 0;
}

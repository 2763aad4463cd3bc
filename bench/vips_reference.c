/* The resident reference of the batch benchmark: one libvips process that
 * crops every file it is given and saves each as JPEG with the chroma
 * subsampling SaveJPG chooses (4:4:4 from quality 80, 4:2:0 below), on one
 * thread, reading each file sequentially, with no operation cache.
 *
 *   vips_reference QUALITY OUTDIR LEFT TOP WIDTH HEIGHT FILE...
 *
 * Exits 0 when every file was saved. */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vips/vips.h>

static int Crop(const char *file, const char *folder, int quality, int left, int top, int width, int height) {
  VipsImage *in = vips_image_new_from_file(file, "access", VIPS_ACCESS_SEQUENTIAL, NULL);
  VipsImage *out = NULL;
  if (in == NULL || vips_crop(in, &out, left, top, width, height, NULL) != 0) {
    if (in != NULL) {
      g_object_unref(in);
    }
    return -1;
  }
  const char *slash = strrchr(file, '/');
  const char *name = slash != NULL ? slash + 1 : file;
  const char *dot = strrchr(name, '.');
  char target[4096];
  snprintf(target, sizeof target, "%s/%.*s.jpg", folder, dot != NULL ? (int)(dot - name) : (int)strlen(name), name);
  const int saved = vips_jpegsave(out, target, "Q", quality, "subsample_mode",
                                  quality >= 80 ? VIPS_FOREIGN_SUBSAMPLE_OFF : VIPS_FOREIGN_SUBSAMPLE_ON, NULL);
  g_object_unref(out);
  g_object_unref(in);
  return saved;
}

int main(int argc, char **argv) {
  if (argc < 8) {
    fprintf(stderr, "usage: %s QUALITY OUTDIR LEFT TOP WIDTH HEIGHT FILE...\n", argv[0]);
    return 2;
  }
  if (VIPS_INIT(argv[0]) != 0) {
    vips_error_exit(NULL);
  }
  vips_concurrency_set(1);
  vips_cache_set_max(0);
  const int quality = atoi(argv[1]);
  int failed = 0;
  for (int i = 7; i < argc; ++i) {
    if (Crop(argv[i], argv[2], quality, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6])) != 0) {
      fprintf(stderr, "%s: %s\n", argv[i], vips_error_buffer());
      vips_error_clear();
      failed = 1;
    }
  }
  vips_shutdown();
  return failed;
}

#ifndef ORVELLE_SAVEJPG_H
#define ORVELLE_SAVEJPG_H

/*
 * SaveJPG: writes a BMP file as a JPEG file.
 *
 *   int SavetoJPEG(const char *source, const char *target, uint8_t quality, int32_t flag);
 *
 * source   path of an uncompressed BMP file (1-, 4-, 8-, 24- or 32-bit; 32-bit
 *          also with bit fields, with any header of 40 bytes or more), in the
 *          system's narrow character set (UTF-8 here).
 * target   path of the JPEG file to write, same character set. An existing file
 *          is replaced, but only by a complete new one: the JPEG is written to a
 *          temporary file beside the target and renamed over it, so a failed or
 *          interrupted save never leaves half a JPEG and never harms the old file.
 *          An existing file the caller may not write, or whose owner may not
 *          (marked read-only), is never replaced: SAVEJPG_E_READONLY.
 * quality  0 to 100; 0 is taken as the codec's lowest quality (1).
 * flag     -1 selects the default options, the only ones there are:
 *            - baseline JPEG with the accurate integer DCT;
 *            - chroma subsampling chosen for screen images: 4:4:4 (none) at
 *              quality 80 and above, where coloured text and thin coloured lines
 *              would otherwise bleed, and 4:2:0 below 80, where the smaller file
 *              matters more than colour edges.
 *          Any other value is rejected with SAVEJPG_E_ARGUMENT.
 *
 * Returns SAVEJPG_OK (0) when the JPEG file has been written completely and
 * flushed to the disk, or one of the non-zero codes below; on failure the
 * target is left as it was. After SAVEJPG_E_TARGET, errno holds the system's
 * reason (ENOSPC for a full disk). A source that is no regular file (a pipe,
 * a device) is never waited on: SAVEJPG_E_SOURCE.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SAVEJPG_OK 0
#define SAVEJPG_E_ARGUMENT 1 /* a null path, quality above 100 or a flag other than -1 */
#define SAVEJPG_E_SOURCE 2   /* the BMP file cannot be read or is no BMP it knows */
#define SAVEJPG_E_ENCODE 3   /* the encoder failed */
#define SAVEJPG_E_TARGET 4   /* the JPEG file cannot be written in the target's folder */
#define SAVEJPG_E_READONLY 5 /* the target exists and may not be written; it is left as it was */

#define SAVEJPG_API __attribute__((visibility("default")))

SAVEJPG_API int SavetoJPEG(const char *source, const char *target, uint8_t quality, int32_t flag);

typedef int (*SavetoJPEGFunction)(const char *, const char *, uint8_t, int32_t);

/*
 * SavePixelstoJPEG: writes a picture held in memory as a JPEG file, with the
 * same target, quality, flag and results as SavetoJPEG.
 *
 * pixels   the top row first, each row 4 bytes a pixel in the order blue,
 *          green, red and one unused byte (the layout of a 32-bit bitmap);
 * width, height  at least 1 and at most 65535 each;
 * pitch    the bytes from one row to the next, at least width * 4.
 * A null or impossible picture gives SAVEJPG_E_SOURCE.
 */
SAVEJPG_API int SavePixelstoJPEG(const unsigned char *pixels, int32_t width, int32_t height, int32_t pitch,
                                 const char *target, uint8_t quality, int32_t flag);

typedef int (*SavePixelstoJPEGFunction)(const unsigned char *, int32_t, int32_t, int32_t, const char *, uint8_t,
                                        int32_t);

#ifdef __cplusplus
}
#endif

#endif

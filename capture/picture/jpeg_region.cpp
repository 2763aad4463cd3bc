#include "capture/picture/jpeg_region.h"

#include "common/memory_budget.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

namespace orvelle {

namespace {
// The decoder's errors end the read through a jump back to its start, and
// so does the stop flag, which the decoder's progress calls look at also
// while it takes in a progressive picture's scans before its first row.
struct Errors {
  jpeg_error_mgr manager;
  jpeg_progress_mgr progress;
  const std::atomic<bool> *stop = nullptr;
  bool stopped = false;
  std::jmp_buf back;
};

[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<Errors *>(info->err)->back, 1); }

void LookAtStop(j_common_ptr info) {
  auto *errors = reinterpret_cast<Errors *>(info->err);
  if (errors->stop != nullptr && errors->stop->load(std::memory_order_relaxed)) {
    errors->stopped = true;
    std::longjmp(errors->back, 1);
  }
}

// What one read came to, set inside the part the decoder may jump out of
// (which holds no object with a destructor).
enum class Outcome { Read, Other, Broken, TooLarge, OutOfBudget, CutShort, Stopped };

// Rows skipped between two looks at the stop flag.
constexpr JDIMENSION kSkipStep = 256;

// `row` is the caller's, so that nothing here needs destroying when the
// decoder jumps back.
Outcome Decode(jpeg_decompress_struct &info, Errors &errors, FILE *file, const std::function<QRect(QSize)> &choose,
               qint64 budget, const std::atomic<bool> *stop, Region &out, QImage &row) {
  if (setjmp(errors.back) != 0) {
    if (errors.stopped) {
      return Outcome::Stopped;
    }
    // The decoder would have needed more than the budget leaves (it has no
    // backing store to turn to), or the data is broken.
    const int code = errors.manager.msg_code;
    return code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY ? Outcome::OutOfBudget : Outcome::Broken;
  }
  jpeg_stdio_src(&info, file);
  errors.stop = stop;
  errors.progress.progress_monitor = LookAtStop;
  info.progress = &errors.progress;
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    return Outcome::Other;
  }
  out.imageSize = QSize(int(info.image_width), int(info.image_height));
  out.area = choose(out.imageSize) & QRect(QPoint(0, 0), out.imageSize);
  if (out.area.isEmpty()) {
    return Outcome::Read;
  }
  // The decoder's rows and the area are held besides what it keeps itself.
  const qint64 held = AddBytes(PictureBytes(info.image_width, 2), PictureBytes(out.area.width(), out.area.height()));
  if (held > budget) {
    return Outcome::TooLarge;
  }
  info.mem->max_memory_to_use = long(budget - held);
  info.out_color_space = JCS_EXT_BGRX; // QImage's RGB32 in memory, the unused byte 0xff
  jpeg_start_decompress(&info);
  // The columns are decoded from one block column before the area to one
  // after it where the picture has them: the smoothing of subsampled colour
  // looks at the neighbouring blocks, so that the area's edge pixels are
  // those of the whole picture's decoding.
  const int margin = info.max_h_samp_factor * info.min_DCT_scaled_size;
  const int from = std::max(0, out.area.left() - margin);
  const int to = std::min(out.imageSize.width(), out.area.right() + 1 + margin);
  JDIMENSION left = JDIMENSION(from), width = JDIMENSION(to - from);
  jpeg_crop_scanline(&info, &left, &width); // widened to whole blocks
  // Skipping calls no progress hook: the flag is looked at between steps.
  for (JDIMENSION skipped = 0; skipped < JDIMENSION(out.area.top());) {
    LookAtStop(reinterpret_cast<j_common_ptr>(&info));
    const JDIMENSION step = std::min(kSkipStep, JDIMENSION(out.area.top()) - skipped);
    if (jpeg_skip_scanlines(&info, step) != step) {
      return Outcome::CutShort;
    }
    skipped += step;
  }
  out.pixels = QImage(out.area.size(), QImage::Format_RGB32);
  row = QImage(int(width), 1, QImage::Format_RGB32);
  if (out.pixels.isNull() || row.isNull()) {
    return Outcome::TooLarge;
  }
  const int shift = out.area.left() - int(left);
  for (int y = 0; y < out.area.height(); ++y) { // each read calls the progress hook
    JSAMPROW line = row.bits();
    if (jpeg_read_scanlines(&info, &line, 1) != 1) {
      return Outcome::CutShort;
    }
    std::memcpy(out.pixels.scanLine(y), row.constBits() + qsizetype(shift) * 4, std::size_t(out.area.width()) * 4);
  }
  // Corrupt data is filled in and told as a warning only.
  return errors.manager.num_warnings > 0 ? Outcome::CutShort : Outcome::Read;
}
} // namespace

std::optional<Expected<Region>> ReadJpegRegion(int fd, const std::function<QRect(QSize)> &choose, qint64 budget,
                                               const std::atomic<bool> *stop) {
  const int own = ::dup(fd);
  FILE *file = own >= 0 ? ::fdopen(own, "rb") : nullptr;
  if (file == nullptr) {
    if (own >= 0) {
      ::close(own);
    }
    return Expected<Region>(MakeProblem(ProblemKind::OutOfMemory));
  }
  ::fseek(file, ::lseek(fd, 0, SEEK_CUR), SEEK_SET);
  jpeg_decompress_struct info{};
  Errors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.output_message = [](j_common_ptr) {}; // nothing on the terminal
  jpeg_create_decompress(&info);
  Region region;
  QImage row;
  const Outcome outcome = Decode(info, errors, file, choose, budget, stop, region, row);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  switch (outcome) {
  case Outcome::Read:
    return Expected<Region>(std::move(region));
  case Outcome::Other:
    return std::nullopt;
  case Outcome::TooLarge:
    return Expected<Region>(TooLargeProblem(region.imageSize));
  case Outcome::OutOfBudget:
    return Expected<Region>(
        MakeProblem(ProblemKind::ProgressiveTooLarge,
                    {QString::number(region.imageSize.width()), QString::number(region.imageSize.height())}));
  case Outcome::CutShort:
    return Expected<Region>(MakeProblem(ProblemKind::CutShort));
  case Outcome::Stopped:
    return Expected<Region>(MakeProblem(ProblemKind::Interrupted));
  case Outcome::Broken:
    break;
  }
  return Expected<Region>(MakeProblem(ProblemKind::NotAnImage));
}

} // namespace orvelle

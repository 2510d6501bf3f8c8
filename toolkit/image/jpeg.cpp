// JPEG through libjpeg: baseline, progressive and arithmetic-coded files, grey or colour. CMYK
// files are refused, so are files of more scans than the bounds of picture.h and Huffman-coded
// data that end inside a scan; a file that lacks only its end-of-image marker is shown.
#include <csetjmp>
#include <cstdint>
#include <cstdio>  // jpeglib.h uses FILE and size_t without declaring them
#include <string>
#include <utility>
#include <vector>

// After <cstdio>, for the reason above.
#include <jpeglib.h>
// After jpeglib.h, whose types it uses.
#include <jerror.h>

#include "toolkit/image/picture.h"
#include "toolkit/image/picture_limits.h"

namespace sorel {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. Throwing from it
// would unwind through C frames built without unwind tables, so it jumps back to Run instead,
// whose frame holds no C++ object.
struct ErrorManager {
  jpeg_error_mgr base;  // first: libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// A refusal of our own from inside libjpeg: back to Run the way ErrorExit goes.
[[noreturn]] void Stop(j_common_ptr cinfo, const char* why) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(err->message, sizeof err->message, "%s", why);
  std::longjmp(err->jump, 1);
}

// libjpeg calls the progress monitor before each row of blocks it reads, in every scan, and
// counts the scans as their headers come: so no scan past the bounds is decoded at all.
void MonitorScans(j_common_ptr common) {
  const j_decompress_ptr cinfo = reinterpret_cast<j_decompress_ptr>(common);
  const std::uint64_t scans = static_cast<std::uint64_t>(cinfo->input_scan_number);
  const std::uint64_t pixels = std::uint64_t{cinfo->image_width} * cinfo->image_height;
  if (scans > static_cast<std::uint64_t>(kMaxJpegScans) || scans * pixels > kMaxJpegScanPixels)
    Stop(common, "too many scans");
}

// The whole file is in the buffer from the start. Asked for more, the source supplies the
// end-of-image marker once, as libjpeg's own source managers do at the end of their data: so a
// file complete but for that marker (or its last byte) decodes. Asked again, libjpeg is reading
// past even that marker, inside a header cut short: refused.
struct Source {
  jpeg_source_mgr base;  // first: libjpeg's pointer to it is a pointer to the whole
  bool endSupplied = false;
};

void InitSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr cinfo) {
  static const JOCTET kEnd[] = {0xFF, JPEG_EOI};
  Source* src = reinterpret_cast<Source*>(cinfo->src);
  if (src->endSupplied) ERREXIT(cinfo, JERR_INPUT_EOF);
  src->endSupplied = true;
  src->base.next_input_byte = kEnd;
  src->base.bytes_in_buffer = sizeof kEnd;
  return TRUE;
}
void SkipInput(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  if (static_cast<unsigned long>(count) > src->bytes_in_buffer) ERREXIT(cinfo, JERR_INPUT_EOF);
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<std::size_t>(count);
}
void TermSource(j_decompress_ptr) {}

// Warnings (a damaged segment libjpeg can read past) are not printed; the picture is shown. But
// data that end inside a scan are refused, not shown with the rest made up: once the supplied
// end-of-image marker has been read, the Huffman decoder's warning that it had to make up bits
// (or that the restart marker it wanted is missing) can only mean the file was cut there. A file
// cut between two scans cannot be told from one of fewer scans and shows the scans it has; the
// arithmetic decoder makes up the bits of a cut scan without a warning, as that coding allows,
// and shows what libjpeg gives.
void EmitMessage(j_common_ptr common, int level) {
  const j_decompress_ptr cinfo = reinterpret_cast<j_decompress_ptr>(common);
  const int code = cinfo->err->msg_code;
  if (level < 0 && reinterpret_cast<Source*>(cinfo->src)->endSupplied &&
      (code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC))
    Stop(common, "the data end before the last pixel");
}

// Everything the decoding changes lives here, outside the frame that calls setjmp, so nothing
// is left indeterminate by the jump.
struct Job {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  Source source{};
  jpeg_progress_mgr progress{};
  Picture picture;
  std::vector<JSAMPLE> row;
  ~Job() { jpeg_destroy_decompress(&cinfo); }  // harmless on a struct never created
};

// The libjpeg calls. False when libjpeg gave up, with its message in job.err; refusals of our
// own are thrown as usual, from this frame, never from inside libjpeg.
bool Run(Job& job, const std::uint8_t* data, std::size_t size) {
  if (setjmp(job.err.jump) != 0) return false;
  jpeg_decompress_struct* cinfo = &job.cinfo;
  jpeg_create_decompress(cinfo);
  jpeg_source_mgr& source = job.source.base;
  source.next_input_byte = data;
  source.bytes_in_buffer = size;
  source.init_source = InitSource;
  source.fill_input_buffer = FillInput;
  source.skip_input_data = SkipInput;
  source.resync_to_restart = jpeg_resync_to_restart;
  source.term_source = TermSource;
  cinfo->src = &source;
  jpeg_read_header(cinfo, TRUE);
  CheckPictureSize(cinfo->image_width, cinfo->image_height, "JPEG");
  if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK)
    throw ImageError("JPEG: CMYK pictures are not supported");
  const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  cinfo->out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  // Before jpeg_start_decompress, which reads every scan of a progressive file.
  job.progress.progress_monitor = MonitorScans;
  cinfo->progress = &job.progress;
  jpeg_start_decompress(cinfo);
  const int width = static_cast<int>(cinfo->output_width), height = static_cast<int>(cinfo->output_height);
  job.picture = NewPicture(width, height, 0);
  job.row.resize(static_cast<std::size_t>(width) * (grey ? 1 : 3));
  JSAMPROW rows[1] = {job.row.data()};
  while (cinfo->output_scanline < cinfo->output_height) {
    std::uint32_t* out = &job.picture.pixels[static_cast<std::size_t>(cinfo->output_scanline) * width];
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) throw ImageError("JPEG: no data");
    const JSAMPLE* in = job.row.data();
    if (grey) {
      for (int x = 0; x < width; ++x) out[x] = 0xFF000000u | in[x] * 0x010101u;
    } else {
      for (int x = 0; x < width; ++x, in += 3)
        out[x] = 0xFF000000u | static_cast<std::uint32_t>(in[0]) << 16 | in[1] << 8 | in[2];
    }
  }
  // Not jpeg_finish_decompress: the pixels are complete, and what follows the last scan does not
  // matter. The destructor's jpeg_destroy_decompress ends the decompression.
  return true;
}

}  // namespace

Picture DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  Job job;
  job.cinfo.err = jpeg_std_error(&job.err.base);
  job.err.base.error_exit = ErrorExit;
  job.err.base.emit_message = EmitMessage;
  if (!Run(job, data, size)) throw ImageError(std::string("JPEG: ") + job.err.message);
  return std::move(job.picture);
}

}  // namespace sorel

// PNG (libpng over zlib) and JPEG (libjpeg) for the program's pictures, and the preview fitting.
// Both libraries report errors by jumping out of their own code: libpng through its longjmp,
// libjpeg through an error handler whose default ends the process. Each gets a handler that
// records the message and jumps back to the one frame that set the jump, which holds no object
// with a destructor created after the jump was set. Allocation failures of our own buffers are
// caught where they happen; none escapes this file.
#include "core/image_codec.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <png.h>

namespace core {
namespace {

constexpr std::uint8_t opaque = 0xFF;

std::string sizeText(std::uint64_t width, std::uint64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// Why a picture of this size is not made, or "" when it may be.
std::string refuseSize(std::uint64_t width, std::uint64_t height) {
  if (width == 0 || height == 0) return "a picture of " + sizeText(width, height) + " pixels is empty";
  if (width > maxImagePixels || height > maxImagePixels || width * height > maxImagePixels)
    return "a picture of " + sizeText(width, height) + " pixels is too large";
  return "";
}

std::size_t byteCount(int width, int height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

const char* const outOfMemory = "there is not enough memory for the picture";

// ----------------------------------------------------------------------------------------- JPEG

// Longest run of scans a progressive JPEG may have; more only serve to make decoding slow.
constexpr int maxJpegScans = 500;

struct JpegErrors {
  jpeg_error_mgr base;  // first, so that libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jpegFail(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// A warning means damaged data; our own files never carry one, so it counts as an error.
void jpegMessage(j_common_ptr info, int level) {
  if (level < 0) jpegFail(info);
}

void jpegCountScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  auto* reader = reinterpret_cast<j_decompress_ptr>(info);
  if (reader->input_scan_number > maxJpegScans) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "more than %d scans", maxJpegScans);
    std::longjmp(errors->jump, 1);
  }
}

void useJpegErrors(JpegErrors& errors) {
  jpeg_std_error(&errors.base);
  errors.base.error_exit = jpegFail;
  errors.base.emit_message = jpegMessage;
  errors.message[0] = '\0';
}

struct JpegWriter {
  jpeg_compress_struct info;
  JpegErrors errors;
  unsigned char* buffer;  // grown by libjpeg with malloc; ours to free
  unsigned long size;
};

EncodedImage encodeJpeg(const Image& image) {
  EncodedImage out;
  if (image.width > maxJpegSide || image.height > maxJpegSide) {
    out.failure = "JPEG cannot hold a picture of " + sizeText(image.width, image.height) + " pixels";
    return out;
  }
  JpegWriter w;
  std::memset(&w, 0, sizeof w);
  useJpegErrors(w.errors);
  w.info.err = &w.errors.base;
  if (setjmp(w.errors.jump)) {
    jpeg_destroy_compress(&w.info);
    std::free(w.buffer);
    out.failure = std::string("the JPEG encoder failed: ") + w.errors.message;
    return out;
  }
  jpeg_create_compress(&w.info);
  jpeg_mem_dest(&w.info, &w.buffer, &w.size);
  w.info.image_width = static_cast<JDIMENSION>(image.width);
  w.info.image_height = static_cast<JDIMENSION>(image.height);
  w.info.input_components = 4;
  w.info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&w.info);
  jpeg_start_compress(&w.info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  while (w.info.next_scanline < w.info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + w.info.next_scanline * stride);
    jpeg_write_scanlines(&w.info, &row, 1);
  }
  jpeg_finish_compress(&w.info);
  jpeg_destroy_compress(&w.info);
  try {
    out.bytes.assign(reinterpret_cast<const char*>(w.buffer), w.size);
  } catch (const std::bad_alloc&) {
    out.failure = outOfMemory;
  }
  std::free(w.buffer);
  return out;
}

struct JpegReader {
  jpeg_decompress_struct info;
  JpegErrors errors;
  jpeg_progress_mgr progress;
};

// Adobe writes CMYK inverted, which is what nearly every CMYK JPEG is.
void cmykRowToBgrx(const std::uint8_t* cmyk, std::uint8_t* bgrx, int width) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgrx += 4) {
    const unsigned k = cmyk[3];
    bgrx[0] = static_cast<std::uint8_t>((cmyk[2] * k + 127) / 255);
    bgrx[1] = static_cast<std::uint8_t>((cmyk[1] * k + 127) / 255);
    bgrx[2] = static_cast<std::uint8_t>((cmyk[0] * k + 127) / 255);
    bgrx[3] = opaque;
  }
}

DecodedImage decodeJpeg(const std::string& bytes) {
  DecodedImage out;
  std::vector<std::uint8_t> cmykRow;
  JpegReader r;
  std::memset(&r, 0, sizeof r);
  useJpegErrors(r.errors);
  r.info.err = &r.errors.base;
  if (setjmp(r.errors.jump)) {
    jpeg_destroy_decompress(&r.info);
    out.image = Image();
    out.failure = std::string("the JPEG data cannot be read: ") + r.errors.message;
    return out;
  }
  jpeg_create_decompress(&r.info);
  // A progressive picture keeps all its coefficients: bounded, or a small file takes gigabytes.
  r.info.mem->max_memory_to_use = static_cast<long>(std::min<std::uint64_t>(6 * maxImagePixels, 0x7FFFFFFF));
  r.progress.progress_monitor = jpegCountScans;
  r.info.progress = &r.progress;
  jpeg_mem_src(&r.info, const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(bytes.data())),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&r.info, TRUE);
  if (!refuseSize(r.info.image_width, r.info.image_height).empty()) {
    out.failure = refuseSize(r.info.image_width, r.info.image_height);
    jpeg_destroy_decompress(&r.info);
    return out;
  }
  const bool cmyk = r.info.jpeg_color_space == JCS_CMYK || r.info.jpeg_color_space == JCS_YCCK;
  r.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  try {
    out.image.width = static_cast<int>(r.info.image_width);
    out.image.height = static_cast<int>(r.info.image_height);
    out.image.pixels.resize(byteCount(out.image.width, out.image.height));
    if (cmyk) cmykRow.resize(static_cast<std::size_t>(out.image.width) * 4);
  } catch (const std::bad_alloc&) {
    jpeg_destroy_decompress(&r.info);
    out.image = Image();
    out.failure = outOfMemory;
    return out;
  }
  jpeg_start_decompress(&r.info);
  if (r.info.output_width != r.info.image_width || r.info.output_height != r.info.image_height ||
      r.info.output_components != 4) {
    jpeg_destroy_decompress(&r.info);
    out.image = Image();
    out.failure = "the JPEG data cannot be read: unexpected output layout";
    return out;
  }
  const std::size_t stride = static_cast<std::size_t>(out.image.width) * 4;
  while (r.info.output_scanline < r.info.output_height) {
    std::uint8_t* target = out.image.pixels.data() + r.info.output_scanline * stride;
    JSAMPROW row = cmyk ? cmykRow.data() : target;
    if (jpeg_read_scanlines(&r.info, &row, 1) != 1) {
      jpeg_destroy_decompress(&r.info);
      out.image = Image();
      out.failure = "the JPEG data ends too early";
      return out;
    }
    if (cmyk) cmykRowToBgrx(cmykRow.data(), target, out.image.width);
  }
  // What follows the last row is not needed; a finish would only read it.
  jpeg_destroy_decompress(&r.info);
  return out;
}

// ------------------------------------------------------------------------------------------ PNG

struct PngContext {
  char message[200];
  const std::string* input;
  std::size_t at;
  std::string* output;
};

[[noreturn]] void pngFail(png_structp png, png_const_charp message) {
  auto* context = static_cast<PngContext*>(png_get_error_ptr(png));
  std::snprintf(context->message, sizeof context->message, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep data, png_size_t length) {
  auto* context = static_cast<PngContext*>(png_get_io_ptr(png));
  if (length > context->input->size() - context->at) png_error(png, "the data ends too early");
  std::memcpy(data, context->input->data() + context->at, length);
  context->at += length;
}

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* context = static_cast<PngContext*>(png_get_io_ptr(png));
  try {
    context->output->append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    png_error(png, outOfMemory);
  }
}

void pngFlush(png_structp) {}

EncodedImage encodePng(const Image& image) {
  EncodedImage out;
  PngContext context;
  std::memset(&context, 0, sizeof context);
  context.output = &out.bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, pngFail, pngWarning);
  if (!png) {
    out.failure = outOfMemory;
    return out;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    out.failure = outOfMemory;
    return out;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    out.bytes.clear();
    out.failure = std::string("the PNG encoder failed: ") + context.message;
    return out;
  }
  png_set_write_fn(png, &context, pngWrite, pngFlush);
  // A capture is encoded while the clipboard chain waits: zlib's level 3 takes a third of the
  // time of its default 6 on a screen shot, for a file about a tenth larger.
  png_set_compression_level(png, 3);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the fourth byte of each pixel
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) png_write_row(png, image.pixels.data() + y * stride);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// Lays a row of blue, green, red, alpha over white and makes it opaque.
void overWhite(std::uint8_t* row, int width) {
  for (int x = 0; x < width; ++x, row += 4) {
    const unsigned alpha = row[3];
    for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>((row[c] * alpha + 255 * (255 - alpha) + 127) / 255);
    row[3] = opaque;
  }
}

DecodedImage decodePng(const std::string& bytes) {
  DecodedImage out;
  PngContext context;
  std::memset(&context, 0, sizeof context);
  context.input = &bytes;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, pngFail, pngWarning);
  if (!png) {
    out.failure = outOfMemory;
    return out;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    out.failure = outOfMemory;
    return out;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    out.image = Image();
    out.failure = std::string("the PNG data cannot be read: ") + context.message;
    return out;
  }
  png_set_read_fn(png, &context, pngRead);
  // Our own pixel limit decides, not the library's limit per side.
  png_set_user_limits(png, static_cast<png_uint_32>(maxImagePixels), static_cast<png_uint_32>(maxImagePixels));
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (!refuseSize(width, height).empty()) {
    out.failure = refuseSize(width, height);
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
  }
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    alpha = true;
  }
  if (depth == 16) png_set_strip_16(png);
  if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  if (!alpha) png_set_filler(png, opaque, PNG_FILLER_AFTER);
  png_set_bgr(png);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    out.failure = "the PNG data cannot be read: unexpected row layout";
    return out;
  }
  try {
    out.image.width = static_cast<int>(width);
    out.image.height = static_cast<int>(height);
    out.image.pixels.resize(byteCount(out.image.width, out.image.height));
  } catch (const std::bad_alloc&) {
    png_destroy_read_struct(&png, &info, nullptr);
    out.image = Image();
    out.failure = outOfMemory;
    return out;
  }
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  // Row by row into the picture itself: an interlaced picture fills each row over the passes.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, out.image.pixels.data() + y * stride, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  if (alpha)
    for (png_uint_32 y = 0; y < height; ++y) overWhite(out.image.pixels.data() + y * stride, out.image.width);
  return out;
}

// ------------------------------------------------------------------------------------- scaling

// One destination pixel's share of a source line: source index and the overlap, in units of
// (destination length x source length) so that every share is a whole number.
struct Share {
  std::uint32_t from;
  std::uint64_t weight;
};

// For each destination position, the source positions it covers and how much of each.
std::vector<std::vector<Share>> sharesOf(std::uint32_t source, std::uint32_t destination) {
  std::vector<std::vector<Share>> shares(destination);
  for (std::uint32_t d = 0; d < destination; ++d) {
    const std::uint64_t start = static_cast<std::uint64_t>(d) * source, end = start + source;
    for (std::uint64_t s = start / destination; s < source && s * destination < end; ++s) {
      const std::uint64_t from = std::max(start, s * destination), to = std::min(end, (s + 1) * destination);
      if (to > from) shares[d].push_back({static_cast<std::uint32_t>(s), to - from});
    }
  }
  return shares;
}

}  // namespace

bool Image::valid() const {
  return refuseSize(width < 0 ? 0 : width, height < 0 ? 0 : height).empty() &&
         pixels.size() == byteCount(width, height);
}

DecodedImage makeImage(int width, int height, platform::Colour fill) {
  DecodedImage out;
  out.failure = refuseSize(width < 0 ? 0 : width, height < 0 ? 0 : height);
  if (!out.ok()) return out;
  const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(fill >> 16), static_cast<std::uint8_t>(fill >> 8),
                                 static_cast<std::uint8_t>(fill), opaque};
  try {
    out.image.pixels.resize(byteCount(width, height));
  } catch (const std::bad_alloc&) {
    out.failure = outOfMemory;
    return out;
  }
  out.image.width = width;
  out.image.height = height;
  for (std::size_t at = 0; at < out.image.pixels.size(); at += 4) std::memcpy(&out.image.pixels[at], pixel, 4);
  return out;
}

EncodedImage encodeImage(const Image& image, ImageFormat format) {
  if (!image.valid()) {
    EncodedImage out;
    out.failure = "there is no picture to encode";
    return out;
  }
  return format == ImageFormat::Png ? encodePng(image) : encodeJpeg(image);
}

std::optional<ImageFormat> imageFormatOf(const std::string& bytes) {
  static const char png[] = "\x89PNG\r\n\x1a\n";
  if (bytes.size() >= 8 && bytes.compare(0, 8, png, 8) == 0) return ImageFormat::Png;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xFF\xD8\xFF", 3) == 0) return ImageFormat::Jpeg;
  return std::nullopt;
}

DecodedImage decodeImage(const std::string& bytes) {
  const auto format = imageFormatOf(bytes);
  if (!format) {
    DecodedImage out;
    out.failure = bytes.empty() ? "there is no picture data" : "the picture is neither PNG nor JPEG";
    return out;
  }
  return *format == ImageFormat::Png ? decodePng(bytes) : decodeJpeg(bytes);
}

std::optional<Placement> fitIntoBox(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return std::nullopt;
  float w = static_cast<float>(width), h = static_cast<float>(height);
  if (boxWidth < w) {
    const float f = boxWidth / w;
    w *= f;
    h *= f;
  }
  if (boxHeight < h) {
    const float f = boxHeight / h;
    w *= f;
    h *= f;
  }
  Placement place;
  // A picture a thousand times wider than high still shows as a line, and rounding never
  // carries a side past the box.
  place.width = std::clamp(static_cast<int>(std::lround(w)), 1, boxWidth);
  place.height = std::clamp(static_cast<int>(std::lround(h)), 1, boxHeight);
  place.x = boxWidth / 2 - place.width / 2;
  place.y = boxHeight / 2 - place.height / 2;
  return place;
}

DecodedImage scaleImage(const Image& image, int width, int height) {
  DecodedImage out;
  if (!image.valid()) {
    out.failure = "there is no picture to scale";
    return out;
  }
  out.failure = refuseSize(width < 0 ? 0 : width, height < 0 ? 0 : height);
  if (!out.ok()) return out;
  try {
    const auto columns = sharesOf(image.width, width);
    const auto rows = sharesOf(image.height, height);
    // One line of sums as wide as the new picture: a very wide source costs no more memory.
    std::vector<std::uint64_t> line(static_cast<std::size_t>(width) * 3);
    out.image.pixels.resize(byteCount(width, height));
    out.image.width = width;
    out.image.height = height;
    const std::uint64_t whole = static_cast<std::uint64_t>(image.width) * image.height;
    const std::size_t sourceStride = static_cast<std::size_t>(image.width) * 4;
    std::uint8_t* target = out.image.pixels.data();
    for (int y = 0; y < height; ++y) {
      std::fill(line.begin(), line.end(), 0);
      for (const Share& row : rows[y]) {
        const std::uint8_t* source = image.pixels.data() + row.from * sourceStride;
        for (int x = 0; x < width; ++x)
          for (const Share& column : columns[x]) {
            const std::uint64_t weight = row.weight * column.weight;
            for (int c = 0; c < 3; ++c) line[x * 3 + c] += source[column.from * 4 + c] * weight;
          }
      }
      for (int x = 0; x < width; ++x, target += 4) {
        for (int c = 0; c < 3; ++c) target[c] = static_cast<std::uint8_t>((line[x * 3 + c] + whole / 2) / whole);
        target[3] = opaque;
      }
    }
  } catch (const std::bad_alloc&) {
    out.image = Image();
    out.failure = outOfMemory;
  }
  return out;
}

DecodedImage boxImage(const Image& image, int boxWidth, int boxHeight, platform::Colour background) {
  DecodedImage out;
  if (!image.valid()) {
    out.failure = "there is no picture to show";
    return out;
  }
  const auto place = fitIntoBox(image.width, image.height, boxWidth, boxHeight);
  if (!place) {
    out.failure = "there is no room for a preview";
    return out;
  }
  DecodedImage scaled;
  const Image* fitted = &image;
  if (place->width != image.width || place->height != image.height) {
    scaled = scaleImage(image, place->width, place->height);
    if (!scaled.ok()) return scaled;
    fitted = &scaled.image;
  }
  out = makeImage(boxWidth, boxHeight, background);
  if (!out.ok()) return out;
  const std::size_t rowBytes = static_cast<std::size_t>(place->width) * 4;
  for (int y = 0; y < place->height; ++y)
    std::memcpy(out.image.pixels.data() + (static_cast<std::size_t>(place->y + y) * boxWidth + place->x) * 4,
                fitted->pixels.data() + y * rowBytes, rowBytes);
  return out;
}

}  // namespace core

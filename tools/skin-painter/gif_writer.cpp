#include "tools/skin-painter/gif_writer.h"

#include <gif_lib.h>

#include <map>
#include <vector>

namespace kv::skin {
namespace {

constexpr int kPaletteSize = 256;

// All frames stacked into one buffer of colour indices with one palette for the whole file.
struct IndexedFrames {
  std::vector<GifByteType> indices;
  std::vector<GifColorType> palette = std::vector<GifColorType>(kPaletteSize);
};

// Uses the frames' own colours when they fit in the palette, so that flat areas such as the
// background keep their exact colour; otherwise lets giflib's median cut choose the palette.
bool IndexFrames(const std::vector<QImage>& frames, IndexedFrames& out) {
  std::vector<QRgb> pixels;
  for (const QImage& frame : frames) {
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
      pixels.insert(pixels.end(), line, line + rgb.width());
    }
  }
  std::map<QRgb, GifByteType> exact;
  for (QRgb pixel : pixels) {
    if (exact.size() > static_cast<std::size_t>(kPaletteSize)) break;
    exact.emplace(pixel & 0xFFFFFFu, 0);
  }
  out.indices.resize(pixels.size());
  if (exact.size() <= static_cast<std::size_t>(kPaletteSize)) {
    int next = 0;
    for (auto& [colour, index] : exact) {
      index = static_cast<GifByteType>(next);
      out.palette[next] = {static_cast<GifByteType>(qRed(colour)),
                           static_cast<GifByteType>(qGreen(colour)),
                           static_cast<GifByteType>(qBlue(colour))};
      ++next;
    }
    for (std::size_t i = 0; i < pixels.size(); ++i) out.indices[i] = exact[pixels[i] & 0xFFFFFFu];
    return true;
  }
  std::vector<GifByteType> red, green, blue;
  for (QRgb pixel : pixels) {
    red.push_back(static_cast<GifByteType>(qRed(pixel)));
    green.push_back(static_cast<GifByteType>(qGreen(pixel)));
    blue.push_back(static_cast<GifByteType>(qBlue(pixel)));
  }
  int size = kPaletteSize;
  return GifQuantizeBuffer(static_cast<unsigned>(pixels.size()), 1, &size, red.data(), green.data(),
                           blue.data(), out.indices.data(), out.palette.data()) == GIF_OK;
}

bool PutLoopExtension(GifFileType* gif) {
  static const GifByteType kApplication[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kLoopForever[] = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof kApplication, kApplication) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof kLoopForever, kLoopForever) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, const GifByteType* indices, int width, int height, int delay) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.DelayTime = delay;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const auto length = EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK ||
      EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK) {
    return false;
  }
  for (int y = 0; y < height; ++y) {
    if (EGifPutLine(gif, const_cast<GifByteType*>(indices + y * width), width) != GIF_OK) return false;
  }
  return true;
}

}  // namespace

bool WriteGif(const Animation& animation, const std::string& path, std::string& error) {
  if (animation.frames.empty()) {
    error = path + ": no frames";
    return false;
  }
  const int width = animation.frames.front().width();
  const int height = animation.frames.front().height();
  for (const QImage& frame : animation.frames) {
    if (frame.width() != width || frame.height() != height) {
      error = path + ": frames differ in size";
      return false;
    }
  }
  IndexedFrames indexed;
  if (!IndexFrames(animation.frames, indexed)) {
    error = path + ": cannot reduce the colours";
    return false;
  }

  int status = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &status);
  if (gif == nullptr) {
    error = path + ": " + GifErrorString(status);
    return false;
  }
  EGifSetGifVersion(gif, true);
  ColorMapObject* colours = GifMakeMapObject(kPaletteSize, indexed.palette.data());
  bool ok = colours != nullptr &&
            EGifPutScreenDesc(gif, width, height, 8, 0, colours) == GIF_OK && PutLoopExtension(gif);
  const std::size_t frameSize = static_cast<std::size_t>(width) * height;
  for (std::size_t i = 0; ok && i < animation.frames.size(); ++i) {
    ok = PutFrame(gif, indexed.indices.data() + i * frameSize, width, height,
                  animation.frameDelayCentiseconds);
  }
  if (!ok) error = path + ": " + GifErrorString(gif->Error);
  GifFreeMapObject(colours);
  if (EGifCloseFile(gif, &status) != GIF_OK && ok) {
    error = path + ": " + GifErrorString(status);
    ok = false;
  }
  return ok;
}

}  // namespace kv::skin

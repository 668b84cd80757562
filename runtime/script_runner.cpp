#include "script_runner.h"

#include "exit_status.h"
#include "image_pixels.h"
#include "png_io.h"
#include "script_files.h"
#include "script_tokens.h"
#include "stand_in_host.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

namespace standin {

namespace {

std::string hexWord(std::uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08" PRIX32, word);
  return text;
}

// Every channel of found within tolerance of expected's (tolerance 0: equal).
bool channelsMatch(std::uint32_t found, std::uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int difference = static_cast<int>((found >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
    if (difference > tolerance || -difference > tolerance) return false;
  }
  return true;
}

std::string sizeText(UINT width, UINT height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

class ScriptRunner {
 public:
  ScriptRunner(const Script& script, StandInHost& host, const RunSettings& settings,
               GalleryTracker* gallery)
      : script_(script), host_(host), settings_(settings), gallery_(gallery) {}

  int run() {
    for (const Statement& statement : script_.statements) {
      bool goOn = false;
      try {
        goOn = std::visit([&](const auto& body) { return execute(statement, body); }, statement.body);
      } catch (const std::bad_alloc&) {
        // Reported as load image reports a picture too large for memory.
        goOn = scriptError(statement, "not enough memory for this statement");
      }
      if (!goOn) return status_;
    }
    return status_;
  }

 private:
  void report(const Statement& statement, const std::string& message) const {
    std::fprintf(stderr, "%s:%d: %s\n", script_.name.c_str(), statement.line, message.c_str());
  }
  bool stop(int status) {
    status_ = status;
    return false;
  }
  bool scriptError(const Statement& statement, const std::string& message) {
    report(statement, message);
    return stop(kExitScriptError);
  }
  bool expectationFailed(const Statement& statement, const std::string& message) {
    report(statement, "expectation failed: " + message);
    return stop(kExitExpectationFailed);
  }
  // A failure of the run that --keep-going passes over, as it does a runtime error.
  bool runtimeFailure() {
    status_ = kExitRuntimeError;
    return settings_.keepGoing;
  }
  bool runtimeFailure(const Statement& statement, const std::string& message) {
    report(statement, message);
    return runtimeFailure();
  }

  bool execute(const Statement&, const ScreenStatement&) { return true; }

  PngLoad decodedPng(const std::string& path) {
    return settings_.decoded != nullptr ? settings_.decoded->take(path) : loadPng(path);
  }

  bool execute(const Statement& statement, const LoadImageStatement& load) {
    PngLoad png = decodedPng(load.file.resolved);
    if (!png.pixels) return scriptError(statement, cannotLoadMessage(load.file, png.error));
    if (!storeImage(statement, load.image, *png.pixels, false)) return runtimeFailure();
    if (gallery_ != nullptr) gallery_->loaded(load.image, load.file.resolved);
    return true;
  }

  bool execute(const Statement& statement, const MakeImageStatement& make) {
    ImagePixels pixels{make.width, make.height, make.words};
    if (make.words.size() == 1) pixels.words.assign(std::size_t{make.width} * make.height, make.words[0]);
    if (!storeImage(statement, make.image, pixels, make.renderTarget)) return runtimeFailure();
    if (gallery_ != nullptr) gallery_->made(statement, make.image);
    return true;
  }

  // A new host image under the number, replacing any, holding the pixels.
  bool storeImage(const Statement& statement, int image, const ImagePixels& pixels,
                  bool renderTarget) {
    const int width = static_cast<int>(pixels.width);
    const int height = static_cast<int>(pixels.height);
    IDirect3DTexture9* texture =
        renderTarget ? host_.makeImageFormat(image, width, height, D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET)
                     : host_.makeImage(image, width, height);
    const bool written = texture != nullptr && (renderTarget ? writeTargetPixels(host_.device(), texture, pixels)
                                                             : writePixels(texture, pixels));
    if (!written) {
      report(statement, "the host could not make image " + std::to_string(image) + " of " +
                            sizeText(pixels.width, pixels.height) + " pixels");
    }
    return written;
  }

  bool execute(const Statement& statement, const SaveImageStatement& save) {
    IDirect3DTexture9* texture = host_.image(save.image);
    if (texture == nullptr) {
      return runtimeFailure(statement, "there is no image " + std::to_string(save.image) + " to save");
    }
    const std::optional<ImagePixels> pixels = readPixels(host_.device(), texture);
    if (!pixels) return runtimeFailure(statement, "image " + std::to_string(save.image) + " cannot be read");
    if (!savePicture(statement, save.file, *pixels)) return false;
    if (gallery_ != nullptr) gallery_->savedImage(statement, save.image, save.file.resolved);
    return true;
  }

  bool execute(const Statement& statement, const SaveScreenStatement& save) {
    const std::optional<ImagePixels> pixels = readSurfacePixels(host_.device(), host_.screenSurface());
    if (!pixels) return runtimeFailure(statement, "the screen cannot be read");
    if (!savePicture(statement, save.file, *pixels)) return false;
    if (gallery_ != nullptr) gallery_->savedScreen(statement, save.file.resolved);
    return true;
  }

  bool savePicture(const Statement& statement, const ScriptPath& file, const ImagePixels& pixels) {
    const std::string error = savePng(file.resolved, pixels);
    if (error.empty()) return true;
    report(statement, "cannot save \"" + shownText(file.written) + "\": " + error);
    return stop(kExitCannotWrite);
  }

  bool execute(const Statement&, const Vector4Statement& vector) {
    const auto& v = vector.values;
    host_.setVector4(vector.number, D3DXVECTOR4{v[0], v[1], v[2], v[3]});
    return true;
  }

  bool execute(const Statement&, const Matrix4Statement& matrix) {
    D3DXMATRIX value{};
    for (std::size_t i = 0; i < 16; ++i) value.m[i / 4][i % 4] = matrix.values[i];
    host_.setMatrix(matrix.number, value);
    return true;
  }

  bool execute(const Statement& statement, const CommandStatement& command) {
    const std::uint32_t result = command.command->call(command.arguments);
    if (command.print && (std::printf("%" PRIu32 "\n", result) < 0 || std::fflush(stdout) != 0)) {
      report(statement, std::string("cannot write to standard output: ") + std::strerror(errno));
      return stop(kExitCannotWrite);
    }
    if (gallery_ != nullptr) gallery_->commandRan(statement, command);
    const std::int32_t code = host_.runtimeError();
    if (code == 0) return true;
    std::fprintf(stderr, "runtime error %" PRId32 " at line %d: %s\n", code, statement.line,
                 std::string(command.command->row().spokenName()).c_str());
    host_.clearRuntimeError();
    return runtimeFailure();
  }

  // The image's words, or a failed expectation saying why there are none.
  std::optional<ImagePixels> imageToCompare(const Statement& statement, int image) {
    IDirect3DTexture9* texture = host_.image(image);
    if (texture == nullptr) {
      expectationFailed(statement, "there is no image " + std::to_string(image));
      return std::nullopt;
    }
    std::optional<ImagePixels> pixels = readPixels(host_.device(), texture);
    if (!pixels) expectationFailed(statement, "image " + std::to_string(image) + " cannot be read");
    return pixels;
  }

  bool execute(const Statement& statement, const ExpectPixelStatement& expect) {
    const std::optional<ImagePixels> pixels = imageToCompare(statement, expect.image);
    if (!pixels) return false;
    const std::string where = "pixel (" + std::to_string(expect.x) + ", " + std::to_string(expect.y) +
                              ") of image " + std::to_string(expect.image);
    if (expect.x >= pixels->width || expect.y >= pixels->height) {
      return expectationFailed(statement, where + " is outside its " +
                                              sizeText(pixels->width, pixels->height) + " pixels");
    }
    const std::uint32_t found = pixels->at(expect.x, expect.y);
    if (!channelsMatch(found, expect.word, settings_.tolerance)) {
      return expectationFailed(statement, where + " is " + hexWord(found) + ", expected " +
                                              hexWord(expect.word) + toleranceText());
    }
    return true;
  }

  bool execute(const Statement& statement, const ExpectImageStatement& expect) {
    ImagePixels expected{expect.width, expect.height, expect.words};
    if (!expect.file.resolved.empty()) {
      PngLoad png = decodedPng(expect.file.resolved);
      if (!png.pixels) return scriptError(statement, cannotLoadMessage(expect.file, png.error));
      expected = std::move(*png.pixels);
    } else if (expect.words.size() == 1) {
      expected.words.assign(std::size_t{expect.width} * expect.height, expect.words[0]);
    }
    const std::optional<ImagePixels> pixels = imageToCompare(statement, expect.image);
    if (!pixels) return false;
    const std::string image = "image " + std::to_string(expect.image);
    if (pixels->width != expected.width || pixels->height != expected.height) {
      return expectationFailed(statement, image + " is " + sizeText(pixels->width, pixels->height) +
                                              " pixels, expected " + sizeText(expected.width, expected.height));
    }
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t i = pixels->words.size(); i-- > 0;) {
      if (!channelsMatch(pixels->words[i], expected.words[i], settings_.tolerance)) {
        ++differing;
        first = i;
      }
    }
    if (differing == 0) return true;
    const auto x = static_cast<UINT>(first % pixels->width);
    const auto y = static_cast<UINT>(first / pixels->width);
    return expectationFailed(statement, image + " differs in " + std::to_string(differing) + " of " +
                                            std::to_string(pixels->words.size()) + " pixels, first at (" +
                                            std::to_string(x) + ", " + std::to_string(y) + "): " +
                                            hexWord(pixels->words[first]) + ", expected " +
                                            hexWord(expected.words[first]) + toleranceText());
  }

  std::string toleranceText() const {
    if (settings_.tolerance == 0) return "";
    return " (each channel within " + std::to_string(settings_.tolerance) + ")";
  }

  const Script& script_;
  StandInHost& host_;
  const RunSettings& settings_;
  GalleryTracker* gallery_;
  int status_ = kExitSuccess;
};

}  // namespace

int runScript(const Script& script, const PluginModule& module, const RunSettings& settings,
              GalleryTracker* gallery) {
  HostOptions options;
  options.screenWidth = script.screenWidth;
  options.screenHeight = script.screenHeight;
  StandInHost host(options);
  if (host.device() == nullptr) {
    std::fprintf(stderr, "tessaly-run: no Direct3D 9 device: %s\n", host.deviceError().c_str());
    return kExitNoDevice;
  }
  module.construct();
  module.receiveCoreData(host.coreData());
  const int status = ScriptRunner(script, host, settings, gallery).run();
  module.destruct();
  return status;
}

}  // namespace standin

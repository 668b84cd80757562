// The failure-path table's data: one profile per command of the command
// table, with the paths that are the command's own.
#include "failure_path.h"

#include <string>

namespace failure_paths {

namespace {

using swd3d::Call;  // NOLINT: the device's kinds of call, as in the rows
using Kind = ImageKind;

// A row of a profile: what differs from the profile's call.
struct Path {
  Path(std::string what_, std::optional<std::vector<Arg>> arguments_, Injection injection_, Outcome expected_,
       std::optional<std::vector<ImageSpec>> images_ = {},
       std::optional<std::vector<::failure_paths::Call>> prelude_ = {})
      : what(std::move(what_)), arguments(std::move(arguments_)), injection(injection_),
        expected(std::move(expected_)), images(std::move(images_)), prelude(std::move(prelude_)) {}

  std::string what;
  std::optional<std::vector<Arg>> arguments;  // the profile's when none
  Injection injection;
  Outcome expected;
  std::optional<std::vector<ImageSpec>> images;
  std::optional<std::vector<::failure_paths::Call>> prelude;
};

class Profile {
 public:
  Profile(const char* exportName, std::vector<Arg> arguments, std::vector<ImageSpec> images = {{1}}) {
    profile_.call = {exportName, std::move(arguments)};
    profile_.images = std::move(images);
  }
  Profile& prelude(std::vector<::failure_paths::Call> calls) {
    profile_.prelude = std::move(calls);
    return *this;
  }
  // The call opens no image's surface (and so locks none).
  Profile& noSurfaces() {
    profile_.describesSurfaces = false;
    profile_.locks = false;
    return *this;
  }
  Profile& noLock() {
    profile_.locks = false;
    return *this;
  }
  Profile& onRenderTarget(Outcome outcome) {
    profile_.onRenderTarget = std::move(outcome);
    return *this;
  }
  Profile& onDynamic(Outcome outcome) {
    profile_.onDynamic = std::move(outcome);
    return *this;
  }
  // The plain-image test: any image with a usage is refused alike.
  Profile& refuses(const Outcome& outcome) { return onRenderTarget(outcome).onDynamic(outcome); }
  Profile& path(Path path) {
    FailurePath row;
    row.what = std::move(path.what);
    row.images = path.images ? std::move(*path.images) : profile_.images;
    row.prelude = path.prelude ? std::move(*path.prelude) : profile_.prelude;
    row.call = profile_.call;
    if (path.arguments) row.call.arguments = std::move(*path.arguments);
    row.injection = path.injection;
    row.expected = std::move(path.expected);
    profile_.rows.push_back(std::move(row));
    return *this;
  }
  operator CommandProfile() const { return profile_; }

 private:
  CommandProfile profile_;
};

Outcome notForRenderTargets(const std::string& command) {
  return fatal(command + " does not work on render targets.", command + " - Error");
}

const Outcome kNoInternalImage = fatal("Could not create an internal image.", "Error");
const Outcome kNoMemory = fatal("Could not allocate enough memory.", "Error");

std::vector<ImageSpec> renderTargetImage() { return {{1, Kind::renderTarget}}; }

// Images for the pastes: a plain source 1 and a render-target target 2.
std::vector<ImageSpec> pasteImages() { return {{1}, {2, Kind::renderTarget}}; }
std::vector<ImageSpec> plainPair() { return {{1}, {2}}; }

::failure_paths::Call loadEffect(const char* file, int number) {
  return {"?LoadEffect@@YAXPADH@Z", {effectFile(file), number}};
}
const char* const kEffect = "compiles/tint.fx";

// The effect number at `at` of the profile's call replaced.
std::vector<Arg> withArgument(const CommandProfile& profile, std::size_t at, Arg value) {
  std::vector<Arg> arguments = profile.call.arguments;
  arguments.at(at) = std::move(value);
  return arguments;
}

// The effect checks of the effect variants of the pastes: the number out of
// range, an empty slot, and an effect with no technique that validates.
Profile& effectChecks(Profile& profile, std::size_t effectAt) {
  const CommandProfile base = profile;
  return profile
      .path({"effect number 0", withArgument(base, effectAt, 0), {}, unchanged(runtimeError(7721))})
      .path({"effect number 65", withArgument(base, effectAt, 65), {}, unchanged(runtimeError(7721))})
      .path({"an empty effect slot", withArgument(base, effectAt, 2), {}, fatalQuit(7722)})
      .path({"the effect has no valid technique", {}, {}, unchanged(silent()), {},
             std::vector<::failure_paths::Call>{loadEffect("compiles/unvalidated_technique.fx", 1)}});
}

// The same number for image and target, on an "On Image" paste.
Profile& toItself(Profile& profile, const char* caption) {
  std::vector<Arg> arguments = CommandProfile(profile).call.arguments;
  arguments[1] = arguments[0];
  return profile.path({"the same number for image and target", arguments, {},
                       fatal("Cannot copy image to itself.", caption)});
}

Profile& plainTarget(Profile& profile, Outcome outcome) {
  return profile.path({"a plain target", {}, {}, std::move(outcome), plainPair()});
}

Profile blur(const char* exportName, std::vector<Arg> arguments) {
  Profile profile(exportName, std::move(arguments));
  profile.refuses(notForRenderTargets("TS Blur Image"));
  std::vector<Arg> noRadius = CommandProfile(profile).call.arguments;
  noRadius[0] = kMissingImage;
  noRadius[1] = 0;
  profile.path({"radius 0 with an image number in no use", noRadius, {}, silent()});
  return profile;
}

Profile geometryOnRenderTargets(const char* exportName) {
  return Profile(exportName, {image(1)})
      .onRenderTarget(silent())
      .onDynamic(silent())
      .path({"render target, the internal texture cannot be made", {}, deviceFails(Call::CreateTexture),
             kNoInternalImage, renderTargetImage()});
}

std::vector<CommandProfile> makeProfiles() {
  std::vector<CommandProfile> profiles;
  const auto add = [&](Profile& profile) { profiles.push_back(profile); };
  const auto addNew = [&](Profile profile) { profiles.push_back(profile); };

  // Host link.
  addNew(Profile("?ResetTessaly@@YAXXZ", {}, {}).noSurfaces().path({"an empty slot table", {}, {}, silent()}));

  // Image lock.
  addNew(Profile("?IsTargetImage@@YAKK@Z", {image(1)}).noLock().onRenderTarget(returns(1)).onDynamic(returns(0)));

  // Image creation and copying.
  addNew(Profile("?CreateImage@@YAXKHH@Z", {5, 8, 8}, {})
             .noSurfaces()
             .path({"image number 0", std::vector<Arg>{0, 8, 8}, {}, runtimeError(501)})
             .path({"the host's Make yields nothing", {}, makeFails(), silent()}));
  addNew(Profile("?CreateImage2@@YAXKHHK@Z", {5, 8, 8, 0xFF336699u}, {})
             .path({"image number 0", std::vector<Arg>{0, 8, 8, 0u}, {}, runtimeError(502)})
             .path({"a negative image number", std::vector<Arg>{-4, 8, 8, 0u}, {}, runtimeError(502)})
             .path({"the host's Make yields nothing", {}, makeFails(), silent()}));
  addNew(Profile("?CreateTargetImage@@YAXKHH@Z", {5, 8, 8}, {})
             .noSurfaces()
             .path({"image number 0", std::vector<Arg>{0, 8, 8}, {}, runtimeError(502)})
             .path({"the host's MakeFormat yields nothing", {}, makeFormatFails(), silent()}));
  addNew(Profile("?CreateTargetImage2@@YAXKHHK@Z", {5, 8, 8, 0xFF336699u}, {})
             .noLock()
             .path({"image number 0", std::vector<Arg>{0, 8, 8, 0u}, {}, runtimeError(502)})
             .path({"a negative image number", std::vector<Arg>{-4, 8, 8, 0u}, {}, runtimeError(502)})
             .path({"the host's MakeFormat yields nothing", {}, makeFormatFails(), silent()}));
  addNew(Profile("?CopyImage@@YAXKK@Z", {5, image(1)})
             .path({"destination number 0", std::vector<Arg>{0, image(1)}, {}, unchanged(runtimeError(502))})
             .path({"the host's Make yields nothing", {}, makeFails(), unchanged(silent())})
             .path({"the new image's level surface fails", {}, deviceFails(Call::GetSurfaceLevel, 1),
                    fatal("Could not retrieve surface from image.", "Error")})
             .path({"the new image's lock fails", {}, deviceFails(Call::LockRect, 1),
                    fatal("Could not lock image.", "Error")})
             .path({"a render-target source, MakeFormat yields nothing", {}, makeFormatFails(),
                    unchanged(silent()), renderTargetImage()}));
  addNew(Profile("?CopyImage2@@YAXKKHHHH@Z", {5, image(1), 1, 1, 5, 5})
             .path({"the same number twice", std::vector<Arg>{1, image(1), 1, 1, 5, 5}, {},
                    fatal("Cannot copy image to itself.", "Error")})
             .path({"an empty rectangle", std::vector<Arg>{5, image(1), 4, 4, 4, 8}, {}, unchanged(silent())})
             .path({"a rectangle outside the source", std::vector<Arg>{5, image(1), 8, 0, 12, 4}, {},
                    unchanged(silent())})
             .path({"destination number 0", std::vector<Arg>{0, image(1), 1, 1, 5, 5}, {},
                    unchanged(runtimeError(502))})
             .path({"the host's Make yields nothing", {}, makeFails(), unchanged(silent())})
             .path({"the source's lock fails", {}, deviceFails(Call::LockRect, 1),
                    fatal("Could not lock image.", "Error")})
             .path({"a render-target source, MakeFormat yields nothing", {}, makeFormatFails(),
                    unchanged(silent()), renderTargetImage()}));
  addNew(Profile("?ConvertToRenderTarget@@YAXK@Z", {image(1)})
             .noLock()
             .onRenderTarget(unchanged(silent()))
             .path({"the internal texture cannot be made", {}, deviceFails(Call::CreateTexture), kNoInternalImage})
             .path({"the host's MakeFormat yields nothing", {}, makeFormatFails(), silent()}));
  addNew(Profile("?CopyToRenderTarget@@YAXKK@Z", {5, image(1)})
             .noLock()
             .path({"destination number 0", std::vector<Arg>{0, image(1)}, {}, unchanged(runtimeError(502))})
             .path({"the host's MakeFormat yields nothing", {}, makeFormatFails(), unchanged(silent())}));

  // Pixel access.
  const Outcome pointRefuses = fatal("TS Point does not work on target images.", "TS Point - Error");
  addNew(Profile("?GetImagePixel@@YAKKHH@Z", {image(1), 2, 3})
             .refuses(pointRefuses)
             .path({"x outside the image", std::vector<Arg>{image(1), 8, 0}, {}, returns(0)})
             .path({"y below 0", std::vector<Arg>{image(1), 0, -1}, {}, returns(0)})
             .path({"outside a render target", std::vector<Arg>{image(1), -1, 0}, {}, returns(0),
                    renderTargetImage()}));
  addNew(Profile("?SetImagePixel@@YAXKHHK@Z", {image(1), 2, 3, 0x80FF0000u})
             .onRenderTarget(silent())
             .path({"outside the image", std::vector<Arg>{image(1), 8, 8, 0u}, {}, unchanged(silent())})
             .path({"render target, the internal texture cannot be made", {}, deviceFails(Call::CreateTexture),
                    kNoInternalImage, renderTargetImage()}));

  // Blur filters.
  const Outcome boxNoMemory = unchanged(messageBox("Could not allocate enough memory.", "Error"));
  const Outcome kernelNoMemory = unchanged(messageBox("Could not allocate enough memory.", "Blur Image - Error"));
  addNew(blur("?BlurImage@@YAXKHK@Z", {image(1), 2, 1u})
             .path({"mode 4", std::vector<Arg>{image(1), 2, 4u}, {}, unchanged(silent())})
             .path({"the box scratch cannot be allocated", {}, allocationFails(), boxNoMemory})
             .path({"the Gaussian scratch cannot be allocated", std::vector<Arg>{image(1), 2, 2u},
                    allocationFails(), kernelNoMemory})
             .path({"the binomial scratch cannot be allocated", std::vector<Arg>{image(1), 2, 3u},
                    allocationFails(), kernelNoMemory}));
  addNew(blur("?BlurImage2@@YAXKH@Z", {image(1), 2})
             .path({"the box scratch cannot be allocated", {}, allocationFails(), boxNoMemory}));
  for (const char* exportName : {"?BlurImage_Horizontal@@YAXKHK@Z", "?BlurImage_Vertical@@YAXKHK@Z"}) {
    addNew(blur(exportName, {image(1), 2, 1u})
               .path({"mode 0", std::vector<Arg>{image(1), 2, 0u}, {}, unchanged(silent())})
               .path({"the box scratch cannot be allocated", {}, allocationFails(), boxNoMemory})
               .path({"the binomial scratch cannot be allocated", std::vector<Arg>{image(1), 2, 3u},
                      allocationFails(), kernelNoMemory}));
  }

  // Gradients, threshold, tone.
  const Outcome gradientsRefuse =
      fatal("TS Gradients do not work on render targets.", "TS Gradient Linear - Error");
  addNew(Profile("?GradientLinear@@YAXHHHHHKKKK@Z",
                 {image(1), 0, 0, 7, 7, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0u})
             .refuses(gradientsRefuse));
  addNew(Profile("?GradientRadial@@YAXHHHMMKKKK@Z",
                 {image(1), 3, 3, 0.0f, 4.0f, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0u})
             .refuses(gradientsRefuse));
  addNew(Profile("?ThresholdImage@@YAXHDK@Z", {image(1), 128, 0x00FFFFFFu})
             .refuses(notForRenderTargets("TS Threshold Image")));
  addNew(Profile("?SetImageBrightness@@YAXKMMM@Z", {image(1), 1.5f, 0.5f, 1.0f})
             .refuses(notForRenderTargets("TS Set Image Brightness")));
  addNew(Profile("?SetImageBrightnessA@@YAXKMMMM@Z", {image(1), 1.5f, 0.5f, 1.0f, 0.25f})
             .refuses(notForRenderTargets("TS Set Image Brightness")));
  addNew(Profile("?DesaturateImage@@YAXKK@Z", {image(1), 1u}).refuses(notForRenderTargets("TS Desaturate Image")));
  addNew(Profile("?ModifyImageSaturation@@YAXKM@Z", {image(1), 50.0f})
             .refuses(notForRenderTargets("TS Modify Image Saturation"))
             .path({"Percent 0 on a render target", std::vector<Arg>{image(1), 0.0f}, {},
                    notForRenderTargets("TS Desaturate Image"), renderTargetImage()})
             .path({"Percent 100 with an image number in no use", std::vector<Arg>{kMissingImage, 100.0f}, {},
                    silent()}));
  addNew(Profile("?NegativeImage@@YAXK@Z", {image(1)}).refuses(notForRenderTargets("TS Negative Image")));

  // Convolution filters.
  addNew(Profile("?SharpenImage@@YAXK@Z", {image(1)})
             .refuses(notForRenderTargets("TS Sharpen Image"))
             .path({"the scratch copy cannot be allocated", {}, allocationFails(), kNoMemory}));
  addNew(Profile("?EmbossImage@@YAXK@Z", {image(1)})
             .refuses(notForRenderTargets("TS Emboss Image"))
             .path({"the grey buffer cannot be allocated", {}, allocationFails(), kNoMemory}));

  // Channel operations.
  const Outcome pasteChannelRefuses = fatal("TS Paste Image Channel does not work on render targets.",
                                            "TS Paste Image Channel - Error");
  addNew(Profile("?SetImageChannel@@YAXKKK@Z", {image(1), 0xFF000000u, 128u})
             .onRenderTarget(silent())
             .path({"render target, the internal texture cannot be made", {}, deviceFails(Call::CreateTexture),
                    kNoInternalImage, renderTargetImage()}));
  const Outcome copyChannelRefuses = fatal("TS Copy Image Channel does not work with render targets.",
                                           "TS Copy Image Channel - Error");
  addNew(Profile("?CopyImageChannel@@YAXKKK@Z", {image(1), 0x00FFFFFFu, 0xFF000000u})
             .refuses(copyChannelRefuses)
             .path({"Channel Source 0", std::vector<Arg>{image(1), 0x00FFFFFFu, 0u}, {}, unchanged(silent())})
             .path({"Channel Source 0 on a render target", std::vector<Arg>{image(1), 0x00FFFFFFu, 0u}, {},
                    copyChannelRefuses, renderTargetImage()}));
  addNew(Profile("?PasteImageChannel@@YAXKKK@Z", {image(1), image(2), 0xFF000000u}, plainPair())
             .onRenderTarget(unchanged(silent()))
             .path({"the same number twice", std::vector<Arg>{image(1), image(1), 0xFF000000u}, {},
                    fatal("Cannot copy channel from the same image.", "Error")})
             .path({"the sizes differ", {}, {},
                    fatal("Could not paste image channel because dimensions do not match.", "Error"),
                    std::vector<ImageSpec>{{1}, {2, Kind::plain, 4, 8}}})
             .path({"the destination is a render target", {}, {}, pasteChannelRefuses,
                    std::vector<ImageSpec>{{1}, {2, Kind::renderTarget}}})
             .path({"the destination's lock fails", {}, deviceFails(Call::LockRect, 1),
                    fatal("Could not lock image.", "Error")}));
  addNew(Profile("?PasteImageChannel2@@YAXKKKKHH@Z",
                 {image(1), image(2), 0x00FF0000u, 0xFF000000u, 1, 1}, plainPair())
             .onRenderTarget(pasteChannelRefuses)
             .path({"the same number twice", std::vector<Arg>{image(1), image(1), 0x00FF0000u, 0xFF000000u, 1, 1},
                    {}, fatal("Cannot paste image channel to itself.", "Paste Image Channel - Error")})
             .path({"Channel Source 0 with image numbers in no use",
                    std::vector<Arg>{kMissingImage, kMissingImage + 1, 0x00FF0000u, 0u, 1, 1}, {}, silent()})
             .path({"the destination is a render target", {}, {}, pasteChannelRefuses,
                    std::vector<ImageSpec>{{1}, {2, Kind::renderTarget}}})
             .path({"outside the destination", std::vector<Arg>{image(1), image(2), 0x00FF0000u, 0xFF000000u, 100, 0},
                    {}, unchanged(silent())})
             .path({"the source's lock fails", {}, deviceFails(Call::LockRect, 1),
                    fatal("Could not lock image.", "Error")}));

  // Colour keys and replacement.
  const Outcome keyRefuses = fatal("TS Set Color To Alpha does not work with render targets.",
                                   "TS Set Color To Alpha - Error");
  addNew(Profile("?ColorToAlphaHard@@YAXKK@Z", {image(1), 0xFF000000u}).refuses(keyRefuses));
  addNew(Profile("?ColorToAlphaSoft@@YAXKKK@Z", {image(1), 0xFF000000u, 1u}).refuses(keyRefuses));
  addNew(Profile("?ReplaceImageColor@@YAXKKK@Z", {image(1), 0xFF00FF00u, 0xFF000000u})
             .refuses(notForRenderTargets("TS Replace Image Color")));

  // Flip and resize.
  addNew(geometryOnRenderTargets("?FlipImageHorizontally@@YAXK@Z"));
  addNew(geometryOnRenderTargets("?FlipImageVertically@@YAXK@Z"));
  addNew(geometryOnRenderTargets("?FlipImage@@YAXK@Z"));
  addNew(Profile("?ResizeImage@@YAXKKKK@Z", {image(1), 16u, 4u, 0u})
             .onRenderTarget(silent())
             .path({"the host's Make yields nothing", {}, makeFails(), unchanged(silent())})
             .path({"render target, MakeFormat yields nothing", {}, makeFormatFails(),
                    fatal("Could not create a new texture while resizing.", "Error"), renderTargetImage()})
             .path({"render target, the internal texture cannot be made", {}, deviceFails(Call::CreateTexture),
                    kNoInternalImage, renderTargetImage()}));

  // Draw state: every value is taken.
  addNew(Profile("?SetBlendMode@@YAXK@Z", {0xFFFFFFFFu}, {}).noSurfaces().path({"a mode no blend has", {}, {}, silent()}));
  addNew(Profile("?SetFilters@@YAXKKK@Z", {99u, 0xFFFFFFFFu, 7u}, {})
             .noSurfaces()
             .path({"filters Direct3D lacks", {}, {}, silent()}));
  addNew(Profile("?SetAddressUV@@YAXKK@Z", {0u, 0xFFFFFFFFu}, {})
             .noSurfaces()
             .path({"address modes Direct3D lacks", {}, {}, silent()}));

  // Pastes.
  const std::vector<::failure_paths::Call> withEffect = {loadEffect(kEffect, 1)};
  const std::string shaderMessage =
      "TS Paste Image On Image requires a render target as the destination image to work if you want to apply a shader.";
  const std::string stretchMessage =
      "TS Paste Image On Image requires a render target as the destination image to work if you want to stretch the image.";
  const Outcome rotatedRefuses =
      fatal("TS Paste Image On Image Rotated requires a render target as the destination image to work.",
            "TS Paste Image On Image Rotated - Error");
  {
    Profile profile("?PasteImageOnImage@@YAXKKHH@Z", {image(1), image(2), 1, 1}, pasteImages());
    profile.noLock()
        .path({"blend mode 0 with image numbers in no use", std::vector<Arg>{kMissingImage, kMissingImage + 1, 1, 1},
               {}, silent(), {}, std::vector<::failure_paths::Call>{{"?SetBlendMode@@YAXK@Z", {0u}}}})
        .path({"a plain target whose lock fails", {}, deviceFails(Call::LockRect),
               fatal("Could not lock image.", "Error"), plainPair()})
        .path({"a plain target, the source's lock fails", {}, deviceFails(Call::LockRect, 1),
               fatal("Could not lock image.", "Error"), plainPair()});
    add(toItself(profile, "Paste Image - Error"));
  }
  {
    Profile profile("?PasteImageOnImageFX@@YAXKKHHH@Z", {image(1), image(2), 1, 1, 1}, pasteImages());
    profile.noLock().prelude(withEffect);
    plainTarget(toItself(effectChecks(profile, 4), "Paste Image - Error"),
                fatal(shaderMessage, "TS Paste Image On Image - Error"));
    add(profile);
  }
  {
    Profile profile("?PasteImageOnImageS@@YAXKKHHHH@Z", {image(1), image(2), 0, 0, 4, 4}, pasteImages());
    profile.noLock();
    plainTarget(toItself(profile, "Paste Image - Error"), fatal(stretchMessage, "TS Paste Image On Image - Error"));
    add(profile);
  }
  {
    Profile profile("?PasteImageOnImageSFX@@YAXKKHHHHH@Z", {image(1), image(2), 0, 0, 4, 4, 1}, pasteImages());
    profile.noLock().prelude(withEffect);
    plainTarget(toItself(effectChecks(profile, 6), "Paste Image - Error"),
                fatal(shaderMessage, "TS Paste Image On Image - Error"));
    add(profile);
  }
  {
    Profile profile("?PasteImageOnImageRotated@@YAXHHHHM@Z", {image(1), image(2), 4, 4, 30.0f}, pasteImages());
    profile.noLock();
    plainTarget(toItself(profile, "Paste Image - Error"), rotatedRefuses);
    add(profile);
  }
  {
    Profile profile("?PasteImageOnImageRotatedFX@@YAXHHHHMH@Z", {image(1), image(2), 4, 4, 30.0f, 1},
                    pasteImages());
    profile.noLock().prelude(withEffect);
    plainTarget(toItself(effectChecks(profile, 5), "Tessaly - Paste Image On Image Rotated"), rotatedRefuses);
    add(profile);
  }
  addNew(Profile("?PasteImageRotated@@YAXHHHM@Z", {image(1), 10, 10, 45.0f}).noLock());
  {
    Profile profile("?PasteImageRotatedFX@@YAXHHHMH@Z", {image(1), 10, 10, 45.0f, 1});
    profile.noLock().prelude(withEffect);
    add(effectChecks(profile, 4));
  }
  {
    Profile profile("?PasteImageFX@@YAXHHHH@Z", {image(1), 2, 2, 1});
    profile.noLock().prelude(withEffect);
    add(effectChecks(profile, 3));
  }
  addNew(Profile("?PasteImageS@@YAXHHHHH@Z", {image(1), 0, 0, 4, 4}).noLock());
  {
    Profile profile("?PasteImageSFX@@YAXHHHHHH@Z", {image(1), 0, 0, 4, 4, 1});
    profile.noLock().prelude(withEffect);
    add(effectChecks(profile, 5));
  }

  // Effect slots.
  const std::vector<::failure_paths::Call> loaded = {loadEffect(kEffect, 1)};
  addNew(Profile("?LoadEffect@@YAXPADH@Z", {effectFile(kEffect), 1}, {})
             .noSurfaces()
             .path({"effect number 0", std::vector<Arg>{effectFile(kEffect), 0}, {}, runtimeError(7721)})
             .path({"effect number 65", std::vector<Arg>{effectFile(kEffect), 65}, {}, runtimeError(7721)})
             .path({"a slot in use", {}, {}, fatalQuit(7723), {}, loaded})
             .path({"a file that does not exist", std::vector<Arg>{effectFile("missing.fx"), 1}, {}, fatalQuit(105)})
             .path({"a file that does not compile", std::vector<Arg>{effectFile("broken/unclosed_function.fx"), 1},
                    {}, compileErrorThenQuit()}));
  Outcome compileError = messageBox("", "Compile error - Effect");
  compileError.result = 0;
  Outcome noSlot = runtimeError(7721);
  noSlot.result = 0;
  Outcome noFile = runtimeError(105);
  noFile.result = 0;
  addNew(Profile("?LoadEffectTry@@YAKPADH@Z", {effectFile(kEffect), 1}, {})
             .noSurfaces()
             .path({"effect number 0", std::vector<Arg>{effectFile(kEffect), 0}, {}, noSlot})
             .path({"a slot in use", {}, {}, fatalQuit(7723), {}, loaded})
             .path({"a file that does not exist", std::vector<Arg>{effectFile("missing.fx"), 1}, {}, noFile})
             .path({"a file that does not compile", std::vector<Arg>{effectFile("broken/unclosed_function.fx"), 1},
                    {}, compileError}));
  addNew(Profile("?DeleteEffectTS@@YAXH@Z", {1}, {})
             .noSurfaces()
             .path({"effect number 0", std::vector<Arg>{0}, {}, runtimeError(7721)})
             .path({"an empty slot", {}, {}, silent()}));
  addNew(Profile("?EffectExist@@YAKH@Z", {1}, {})
             .noSurfaces()
             .path({"effect number 0", std::vector<Arg>{0}, {}, noSlot})
             .path({"effect number 65", std::vector<Arg>{65}, {}, noSlot})
             .path({"an empty slot", {}, {}, returns(0)}));
  const auto setter = [&](const char* exportName, std::vector<Arg> arguments,
                           std::vector<ImageSpec> images = {}) {
    Profile profile(exportName, std::move(arguments), std::move(images));
    profile.noSurfaces().prelude(loaded);
    const CommandProfile base = profile;
    profile.path({"effect number 0", withArgument(base, 0, 0), {}, runtimeError(7721)})
        .path({"an empty effect slot", withArgument(base, 0, 2), {}, fatalQuit(7722)});
    return profile;
  };
  addNew(setter("?SetEffectFloat@@YAXHPADM@Z", {1, "amount", 0.5f})
             .path({"a name no parameter has", std::vector<Arg>{1, "nothing", 0.5f}, {}, silent()}));
  addNew(setter("?SetEffectVector4@@YAXHPADH@Z", {1, "tint", 3}));
  addNew(setter("?SetEffectMatrix@@YAXHPADH@Z", {1, "colours", 3}));
  addNew(setter("?SetEffectTechnique@@YAXHPAD@Z", {1, "Tint"})
             .path({"a technique the effect lacks", std::vector<Arg>{1, "Nothing"}, {}, silent()}));
  addNew(setter("?SetEffectTexture@@YAXHPADH@Z", {1, "overlay", 1}, {{1}})
             .path({"an image number in no use", std::vector<Arg>{1, "overlay", kMissingImage}, {}, silent()}));
  return profiles;
}

}  // namespace

const std::vector<CommandProfile>& commandProfiles() {
  static const std::vector<CommandProfile> profiles = makeProfiles();
  return profiles;
}

}  // namespace failure_paths

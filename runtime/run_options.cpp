#include "run_options.h"

namespace standin {

std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& arguments,
                                          std::string& error) {
  RunOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto value = [&](std::string& out) {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        error = argument + " needs a value";
        return false;
      }
      out = arguments[++i];
      return true;
    };
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--list") {
      options.list = true;
    } else if (argument == "--keep-going") {
      options.keepGoing = true;
    } else if (argument == "--tolerance") {
      std::string text;
      if (!value(text)) return std::nullopt;
      if (text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(text) > 255) {
        error = "--tolerance takes a whole number from 0 to 255, not " + text;
        return std::nullopt;
      }
      options.tolerance = std::stoi(text);
    } else if (argument == "--module" || argument == "--out" || argument == "--gallery") {
      std::string& out = argument == "--module" ? options.module
                         : argument == "--out"  ? options.outputFolder
                                                : options.galleryPage;
      if (!value(out)) return std::nullopt;
    } else if (argument.size() > 1 && argument.front() == '-') {
      error = "unknown option " + argument;
      return std::nullopt;
    } else if (!options.script.empty()) {
      error = "one script at a time: " + options.script + " and " + argument;
      return std::nullopt;
    } else {
      options.script = argument;
    }
  }
  if (!options.help && !options.list && options.script.empty()) {
    error = "no script given";
    return std::nullopt;
  }
  return options;
}

const char* runHelpText() {
  return R"(Usage: tessaly-run [options] SCRIPT      run a script ("-" reads standard input)
       tessaly-run [--module FILE] --list  print the module's command table: id TAB string
       tessaly-run --help

Runs a script of Tessaly commands over PNG files in the stand-in host. The
plug-in module is loaded as the host loads it (Constructor, ReceiveCoreDataPtr,
commands bound through the command table the module carries, Destructor).

Options:
  --keep-going    report a runtime error, clear it and go on; the run still
                  ends with status 2
  --module FILE   the plug-in module (default: $TESSALY_MODULE, else the
                  libtessaly.so of this build)
  --out DIR       save pictures relative to DIR (made if missing) instead of
                  the script's folder
  --tolerance N   expect statements accept each channel within N of the
                  expected value (0 to 255; default 0, exact): for comparing
                  a device whose blending rounds differently
  --gallery FILE  add the pictures this script saves to the HTML page FILE,
                  each beside its input with the lines that made it; the
                  page keeps the other scripts' pictures (gallery.tsv beside it)

Script: one statement a line; blank lines and lines starting with # or rem are
ignored, and # starts a comment outside strings. Numbers are decimal or 0x
hexadecimal, optionally negative; strings are in double quotes. Paths are
relative to the script's folder (the working directory for standard input),
and so are the effect files a command loads: TS Load Effect "fx/grey.fx", 1
reads fx/grey.fx beside the script. (The effect-file language the Linux
build compiles is described in platform/d3dx9/README.md.) The whole script
is checked before anything runs.
  screen W, H                       display size (default 640, 480); first
  load image "in.png", N            any PNG as plain image N (A8R8G8B8)
  save image "out.png", N           image N as an 8-bit RGBA PNG; render
                                    targets are read back
  save screen "screen.png"          the host's screen surface
  vector4 N, X, Y, Z, W             host vector N
  matrix4 N, 16 values              host matrix N, row by row
  TS Command ARG, ...               a command, chosen by name and argument
                                    count; L takes any 32-bit value (-1 and
                                    0xFFFFFFFF are the same), F a number, S a
                                    string
  print TS Command(ARG, ...)        a value-yielding command; its result as an
                                    unsigned decimal line on standard output

Statements for tests:
  make image N, W, H, COLOUR...     plain image N from W*H words 0xAARRGGBB,
                                    row by row, or one word for every pixel
  make target N, W, H, COLOUR...    the same as a render target
  expect pixel N, X, Y, COLOUR      pixel (X, Y) of image N must be COLOUR
  expect image N, W, H, COLOUR...   image N must be W x H with these words
                                    (or one word for every pixel)
  expect image N, "file.png"        image N must hold the PNG's words exactly

Limits: a script of at most 16 MiB and 1000000 lines; images of at most
16384 x 16384 pixels; 20 script errors are shown, the rest counted. The
binomial blur (Mode 3) blurs a radius above 60 as 60 and the recursive
Gaussian (Mode 2) one above 729 as 729: beyond them their arithmetic is no
longer exact or stable.

Exit status:
  0   success
  1   the plug-in's fatal path (its caption and message are on standard error)
  2   runtime error: "runtime error CODE at line LINE: COMMAND" after a command
      left a code in the host's error slot; also a missing image to save
  3   an expect statement did not hold (FILE:LINE: expectation failed: ...)
  64  script error (FILE:LINE: message): unknown statement or command, no row
      with that many arguments, a bad literal, a missing, damaged or too large
      PNG (the limit is 16384 x 16384), a script beyond its limits; nothing
      ran, except that a PNG the script saves itself is checked when the
      script loads it. Also: not enough memory for a statement
  69  the module cannot be loaded
  70  the module's command table cannot be bound
  71  no Direct3D 9 device could be made
  74  a picture, the gallery or standard output cannot be written (a picture
      is written beside its target and renamed over it, so a failed save
      leaves the target as it was; a target that is not a regular file is
      refused)
)";
}

}  // namespace standin

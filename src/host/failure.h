// The two ways Tessaly reports failure: a runtime error code written into the
// host's error slot (the command then returns normally), and the fatal path,
// which tells the host to close its display and quit, then ends the process.
#pragma once

#include <string_view>

namespace tessaly {

namespace runtime_error {
inline constexpr int kEffectFileMissing = 105;
inline constexpr int kCreateImageZero = 501;
inline constexpr int kNoSuchImage = 502;
inline constexpr int kEffectOutOfRange = 7721;
inline constexpr int kEffectSlotEmpty = 7722;
inline constexpr int kEffectSlotInUse = 7723;
}  // namespace runtime_error

// The process ends with status 1, so that a fatal error never looks like success.
inline constexpr unsigned kFatalExitStatus = 1;

void setRuntimeError(int code);

[[noreturn]] void fatalError(const char* message, const char* caption);
[[noreturn]] void fatalQuit();

// "ENTRY could not be found in MODULE." with caption "Error".
[[noreturn]] void fatalMissingHostEntry(std::string_view decoratedName, std::string_view moduleName);

// "NAME does not work on render targets." with caption "NAME - Error".
[[noreturn]] void fatalNotForRenderTargets(std::string_view commandName);

}  // namespace tessaly

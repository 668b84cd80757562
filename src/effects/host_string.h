// A string the host hands to a command: a null pointer reads as an empty
// name and is never dereferenced.
#pragma once

namespace tessaly {

inline const char* hostString(const char* text) { return text != nullptr ? text : ""; }

}  // namespace tessaly

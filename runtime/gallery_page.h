// The gallery page: every saved picture beside its input, each with the
// script lines that made it, grouped by script.
#pragma once

#include "gallery_tracker.h"

#include <filesystem>
#include <string>
#include <vector>

namespace standin {

struct GalleryUpdate {
  std::string error;                 // why the page could not be written; empty on success
  std::vector<std::string> refused;  // recorded entries left out, each with the reason
};

// Adds one script's pictures to the page. The entries of every script run
// into the page so far are kept in gallery.tsv beside it, and this script's
// replace its earlier ones, so a demo of several scripts builds one page.
// The inputs this run loaded are copied into inputs/ beside the page, so that
// the folder stands alone, and recorded as those copies; a recorded entry
// whose input lies outside the gallery's folder was not made by this program
// and is left out (nothing outside is ever copied in).
GalleryUpdate updateGallery(const std::filesystem::path& page, const std::string& script,
                            const std::vector<GalleryEntry>& entries);

}  // namespace standin

// The gallery page: every saved picture beside its input, each with the
// script lines that made it, grouped by script.
#pragma once

#include "gallery_tracker.h"

#include <filesystem>
#include <string>
#include <vector>

namespace standin {

// Adds one script's pictures to the page. The entries of every script run
// into the page so far are kept in gallery.tsv beside it, and this script's
// replace its earlier ones, so a demo of several scripts builds one page.
// Inputs are copied into inputs/ beside the page so that the folder stands
// alone. Returns an error message, empty on success.
std::string updateGallery(const std::filesystem::path& page, const std::string& script,
                          const std::vector<GalleryEntry>& entries);

}  // namespace standin

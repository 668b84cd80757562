#include "gallery_page.h"
#include "gallery_tracker.h"

#include "function_entry.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace standin;
namespace fs = std::filesystem;

namespace {

CommandRow row(const char* text) { return *parseCommandRow(1, text); }

std::string readText(const fs::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void touch(const fs::path& file, const char* content) { std::ofstream(file) << content; }

}  // namespace

TEST(Gallery, ImageArgumentsAreFoundByTheirHelpNames) {
  EXPECT_EQ(imageArguments(row("TS Threshold Image%LLL%?T@@YAXHDK@Z%Image Number, Value, Channel")),
            std::vector<std::size_t>{0});
  EXPECT_EQ(imageArguments(row("TS Blur Image%LLL%?B@@YAXKHK@Z%ImgNr, Radius, Mode")), std::vector<std::size_t>{0});
  EXPECT_EQ(imageArguments(row("TS Is Render Target[%LL%?I@@YAKK@Z%(Image Number)")), std::vector<std::size_t>{0});
  EXPECT_EQ(imageArguments(row("TS Paste Image Channel%LLL%?P@@YAXKKK@Z%Image Number, Destination Image, Channel")),
            (std::vector<std::size_t>{0, 1}));
  EXPECT_TRUE(imageArguments(row("TS Reset Tessaly%0%?R@@YAXXZ%*no parameters*")).empty());
}

TEST(Gallery, EachSavedImageKeepsItsInputAndTheLinesThatChangedIt) {
  std::string error;
  const CommandRow negative = row("TS Negative Image%L%?N@@YAXK@Z%Image Number");
  const auto command = BoundCommand::bind(negative, functionEntry(&touch), error);
  ASSERT_TRUE(command) << error;

  GalleryTracker tracker("demo.tsr");
  tracker.loaded(1, "in.png");
  tracker.loaded(2, "other.png");
  const Statement onOne{3, "TS Negative Image 1", CommandStatement{&*command, {1u}, false}};
  const Statement onTwo{4, "TS Negative Image 2", CommandStatement{&*command, {2u}, false}};
  tracker.commandRan(onOne, std::get<CommandStatement>(onOne.body));
  tracker.commandRan(onTwo, std::get<CommandStatement>(onTwo.body));
  tracker.savedImage(Statement{5, "save image \"a.png\", 1", {}}, 1, "a.png");
  tracker.savedScreen(Statement{6, "save screen \"s.png\"", {}}, "s.png");

  ASSERT_EQ(tracker.entries().size(), 2u);
  const GalleryEntry& image = tracker.entries()[0];
  EXPECT_EQ(image.input, "in.png");
  EXPECT_EQ(image.commands, std::vector<std::string>{"TS Negative Image 1"});
  EXPECT_EQ(image.line, 5);
  const GalleryEntry& screen = tracker.entries()[1];
  EXPECT_EQ(screen.input, "");
  EXPECT_EQ(screen.commands, (std::vector<std::string>{"TS Negative Image 1", "TS Negative Image 2"}));
}

TEST(Gallery, AnImageFirstNamedBesideALoadedOneIsShownBesideItsInput) {
  std::string error;
  const CommandRow copy = row("TS Copy Image%LL%?C@@YAXKK@Z%Image, Source Image");
  const auto command = BoundCommand::bind(copy, functionEntry(&touch), error);
  ASSERT_TRUE(command) << error;

  GalleryTracker tracker("demo.tsr");
  tracker.loaded(1, "in.png");
  tracker.loaded(3, "old.png");
  const Statement toTwo{2, "TS Copy Image 2, 1", CommandStatement{&*command, {2u, 1u}, false}};
  const Statement toThree{3, "TS Copy Image 3, 1", CommandStatement{&*command, {3u, 1u}, false}};
  tracker.commandRan(toTwo, std::get<CommandStatement>(toTwo.body));
  tracker.commandRan(toThree, std::get<CommandStatement>(toThree.body));
  tracker.savedImage(Statement{4, "save image \"a.png\", 2", {}}, 2, "a.png");
  tracker.savedImage(Statement{5, "save image \"b.png\", 3", {}}, 3, "b.png");

  ASSERT_EQ(tracker.entries().size(), 2u);
  EXPECT_EQ(tracker.entries()[0].input, "in.png");
  EXPECT_EQ(tracker.entries()[0].commands, std::vector<std::string>{"TS Copy Image 2, 1"});
  EXPECT_EQ(tracker.entries()[1].input, "old.png") << "an image already known keeps its own input";
}

TEST(Gallery, ThePageGathersScriptsAndARerunReplacesItsOwnPictures) {
  const ScratchFolder scratch;
  const fs::path& folder = scratch.path();
  fs::create_directories(folder / "out");
  touch(folder / "photo.png", "input");
  touch(folder / "out" / "a.png", "a");
  const fs::path page = folder / "out" / "index.html";

  const std::string photo = (folder / "photo.png").string();
  const std::string a = (folder / "out" / "a.png").string();
  ASSERT_EQ(updateGallery(page, "tone.tsr", {{"tone.tsr", 3, photo, a, {"TS Negative Image 1"}}}).error, "");
  ASSERT_EQ(updateGallery(page, "threshold.tsr", {{"threshold.tsr", 2, photo, a, {"TS Threshold Image 1, 128, 255"}}}).error, "");
  ASSERT_EQ(updateGallery(page, "tone.tsr", {{"tone.tsr", 4, "", a, {"TS Desaturate Image 1, 2"}}}).error, "");

  const std::string html = readText(page);
  EXPECT_NE(html.find("<h2>threshold.tsr</h2>"), std::string::npos);
  EXPECT_NE(html.find("<h2>tone.tsr</h2>"), std::string::npos);
  EXPECT_NE(html.find("TS Threshold Image 1, 128, 255"), std::string::npos);
  EXPECT_NE(html.find("TS Desaturate Image 1, 2"), std::string::npos);
  EXPECT_EQ(html.find("TS Negative Image"), std::string::npos) << "the rerun replaces tone.tsr's entry";
  EXPECT_NE(html.find("src=\"inputs/photo.png\""), std::string::npos);
  EXPECT_NE(html.find("src=\"a.png\""), std::string::npos);
  EXPECT_EQ(readText(folder / "out" / "inputs" / "photo.png"), "input");
}

TEST(Gallery, ScriptTextIsEscaped) {
  const ScratchFolder scratch;
  const fs::path& folder = scratch.path();
  fs::create_directories(folder);
  touch(folder / "r.png", "r");
  ASSERT_EQ(updateGallery(folder / "index.html", "a<b>.tsr",
                          {{"a<b>.tsr", 1, "", (folder / "r.png").string(), {"print \"x\" & <y>"}}})
                .error,
            "");
  const std::string html = readText(folder / "index.html");
  EXPECT_NE(html.find("<h2>a&lt;b&gt;.tsr</h2>"), std::string::npos);
  EXPECT_NE(html.find("print &quot;x&quot; &amp; &lt;y&gt;"), std::string::npos);
}

// A line planted in gallery.tsv cannot make a run copy a file from outside the
// gallery: only what the run itself loaded is copied in, and a record whose
// input lies outside (directly or through a link) is left out with a word.
TEST(Gallery, ARecordNamingAFileOutsideIsRefused) {
  const ScratchFolder scratch;
  const fs::path& folder = scratch.path();
  fs::create_directories(folder / "out" / "inputs");
  touch(folder / "secret.txt", "secret");
  touch(folder / "out" / "a.png", "a");
  fs::create_symlink(folder / "secret.txt", folder / "out" / "inputs" / "link.png");
  touch(folder / "out" / "gallery.tsv",
        ("planted.tsr\t1\t" + (folder / "secret.txt").string() + "\t" + (folder / "out" / "a.png").string() +
         "\tx\nlinked.tsr\t1\t" + (folder / "out" / "inputs" / "link.png").string() + "\t" +
         (folder / "out" / "a.png").string() + "\ty\n")
            .c_str());

  const GalleryUpdate update =
      updateGallery(folder / "out" / "index.html", "mine.tsr", {{"mine.tsr", 1, "", (folder / "out" / "a.png").string(), {"z"}}});
  EXPECT_EQ(update.error, "");
  ASSERT_EQ(update.refused.size(), 2u);
  EXPECT_NE(update.refused[0].find((folder / "secret.txt").string()), std::string::npos) << update.refused[0];
  EXPECT_FALSE(fs::exists(folder / "out" / "inputs" / "secret.txt"));
  const std::string html = readText(folder / "out" / "index.html");
  EXPECT_EQ(html.find("planted.tsr"), std::string::npos);
  EXPECT_EQ(html.find("linked.tsr"), std::string::npos);
  EXPECT_EQ(readText(folder / "out" / "gallery.tsv").find("secret"), std::string::npos);
}

// Start-up, linking and shut-down under the stand-in host, with each host
// module missing in turn; the draw state's start values; the effect slot table
// under reset and shut-down.
#include "host_fixture.h"

#include "draw/draw_state.h"
#include "effects/effect_slots.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "win32/module_registry.h"

#include <string>
#include <vector>

#include <cstdio>
#include <string>

namespace {

using standin::HostOptions;
using standin::StandInHost;
using ::testing::ExitedWithCode;

void constructAndLink(const HostOptions& options) {
  StandInHost host(options);
  Constructor();
  ReceiveCoreDataPtr(host.coreData());
  std::fputs("linked\n", stderr);
  Destructor();
  std::exit(0);
}

TEST(LifecycleDeathTest, MissingCoreModuleEndsBeforeAnyHostCall) {
  EXPECT_EXIT(constructAndLink({.coreModule = false}), ExitedWithCode(1),
              "^MessageBox \\[Error\\]: Core DLL could not be loaded.\n$");
}

TEST(LifecycleDeathTest, MissingCoreAndSetupModulesShowOnlyTheCoreMessage) {
  EXPECT_EXIT(constructAndLink({.coreModule = false, .setupModule = false}), ExitedWithCode(1),
              "^MessageBox \\[Error\\]: Core DLL could not be loaded.\n$");
}

TEST(LifecycleDeathTest, MissingSetupModuleClosesDisplayAndQuitsFirst) {
  EXPECT_EXIT(constructAndLink({.setupModule = false}), ExitedWithCode(1),
              wholeOutput(fatalOutput("Setup Debug DLL could not be loaded.", "Error")));
}

TEST(LifecycleDeathTest, MissingImageModuleEndsInReceiveCoreDataPtr) {
  EXPECT_EXIT(constructAndLink({.imageModule = false}), ExitedWithCode(1),
              wholeOutput(fatalOutput("Image DLL could not be loaded. Please include an image "
                                      "command in your source code.",
                                      "Error")));
}

TEST(LifecycleDeathTest, MissingVectorModuleIsNoError) {
  EXPECT_EXIT(constructAndLink({.vectorModule = false}), ExitedWithCode(0), "^linked\n$");
}

TEST(LifecycleDeathTest, FatalQuitClosesAndQuitsWithoutABox) {
  EXPECT_EXIT(
      {
        StandInHost host;
        Constructor();
        ReceiveCoreDataPtr(host.coreData());
        tessaly::fatalQuit();
      },
      ExitedWithCode(1), "^host: CloseDisplay\nhost: Quit\n$");
}

// The stand-in's host modules and the entries the plug-in resolves in each.
// The messages name a module loaded by file name by that name, and the two
// the record hands over by what they are.
struct HostModule {
  const char* file;
  const char* nameInMessages;
  std::vector<const char*> entries;
};
const HostModule kHostModules[] = {
    {"DBProCore.dll", "DBProCore.dll", {"?Quit@@YAKXZ", "?CloseDisplay@@YAKXZ"}},
    {"DBProSetupDebug.dll", "DBProSetupDebug.dll", {"?GetDirect3DDevice@@YAPAUIDirect3DDevice9@@XZ"}},
    {"DBProImageDebug.dll",
     "the image module",
     {"?GetExist@@YA_NH@Z", "?GetPointer@@YAPAUIDirect3DTexture9@@H@Z", "?Make@@YAPAUIDirect3DTexture9@@HHH@Z",
      "?MakeFormat@@YAPAUIDirect3DTexture9@@HHHW4_D3DFORMAT@@K@Z", "?Delete@@YAXH@Z"}},
    {"DBProVectorsDebug.dll",
     "the vector module",
     {"?GetMatrix@@YA?AUD3DXMATRIX@@H@Z", "?GetVector4@@YA?AUD3DXVECTOR4@@H@Z"}},
};

// Registers the module anew with every entry but `missing`, the others as
// the stand-in has them.
void dropEntry(const HostModule& module, const std::string& missing) {
  HMODULE original = LoadLibraryA(module.file);
  standin::ModuleEntries entries;
  for (const char* name : module.entries)
    if (name != missing) entries.emplace_back(name, GetProcAddress(original, name));
  standin::registerModule(module.file, entries);
}

void constructAndLinkWithout(const HostModule& module, const std::string& missing) {
  StandInHost host;
  dropEntry(module, missing);
  Constructor();
  ReceiveCoreDataPtr(host.coreData());
  std::fputs("linked\n", stderr);
  std::exit(0);
}

// Each entry missing in turn ends the process at start-up with a message that
// names it. The fatal path calls whichever of CloseDisplay and Quit is
// resolved by then.
TEST(LifecycleDeathTest, AMissingHostEntryEndsAtStartUpNamingIt) {
  for (const HostModule& module : kHostModules) {
    for (const std::string entry : module.entries) {
      std::string before = "host: CloseDisplay\nhost: Quit\n";
      if (entry == "?Quit@@YAKXZ") before = "";
      if (entry == "?CloseDisplay@@YAKXZ") before = "host: Quit\n";
      std::string escaped;  // the name as a pattern: ? and @ are literal
      for (char c : entry) escaped += c == '?' ? std::string("\\?") : std::string(1, c);
      EXPECT_EXIT(constructAndLinkWithout(module, entry), ExitedWithCode(1),
                  wholeOutput(before + "MessageBox \\[Error\\]: " + escaped + " could not be found in " + module.nameInMessages +
                              "\\."))
          << entry;
    }
  }
}

TEST(LifecycleDeathTest, NoHostCoreDataRecordEndsNamingIt) {
  EXPECT_EXIT(
      {
        StandInHost host;
        Constructor();
        ReceiveCoreDataPtr(nullptr);
      },
      ExitedWithCode(1), wholeOutput(fatalOutput("The host core data record is missing\\.", "Error")));
}

IDirect3DDevice9* noDevice() { return nullptr; }

TEST(LifecycleDeathTest, NoDeviceFromTheHostEndsNamingTheEntry) {
  EXPECT_EXIT(
      {
        StandInHost host;
        standin::registerModule("DBProSetupDebug.dll",
                                {{"?GetDirect3DDevice@@YAPAUIDirect3DDevice9@@XZ", standin::entry(noDevice)}});
        Constructor();
        ReceiveCoreDataPtr(host.coreData());
        tessaly::hostDevice();
      },
      ExitedWithCode(1), wholeOutput(fatalOutput("GetDirect3DDevice gave no Direct3D device\\.", "Error")));
}

class Lifecycle : public HostFixture {};

TEST_F(Lifecycle, ResolvesEveryHostEntry) {
  const tessaly::HostLink& link = tessaly::hostLink;
  EXPECT_NE(link.quit, nullptr);
  EXPECT_NE(link.closeDisplay, nullptr);
  EXPECT_EQ(link.getDirect3DDevice(), host->device());
  EXPECT_NE(link.getExist, nullptr);
  EXPECT_NE(link.getPointer, nullptr);
  EXPECT_NE(link.make, nullptr);
  EXPECT_NE(link.makeFormat, nullptr);
  EXPECT_NE(link.deleteImage, nullptr);

  host->setVector4(3, {1.0f, 2.0f, 3.0f, 4.0f});
  const D3DXVECTOR4 v = link.getVector4(3);
  EXPECT_EQ(v.x, 1.0f);
  EXPECT_EQ(v.w, 4.0f);
  D3DXMATRIX m{};
  m.m[3][2] = 7.5f;
  host->setMatrix(2, m);
  EXPECT_EQ(link.getMatrix(2).m[3][2], 7.5f);

  EXPECT_EQ(tessaly::hostScreenSurface(), host->screenSurface());
  EXPECT_EQ(tessaly::hostScreenDepthSurface(), host->screenDepthSurface());
}

TEST_F(Lifecycle, SetRuntimeErrorWritesTheHostSlot) {
  tessaly::setRuntimeError(7721);
  EXPECT_EQ(host->runtimeError(), 7721);
  host->clearRuntimeError();
}

TEST_F(Lifecycle, DrawStateStartsAtItsFixedValues) {
  const tessaly::DrawState& s = tessaly::drawState;
  EXPECT_EQ(s.minFilter, 1u);
  EXPECT_EQ(s.magFilter, 1u);
  EXPECT_EQ(s.mipFilter, 0u);
  EXPECT_EQ(s.addressU, 1u);
  EXPECT_EQ(s.addressV, 1u);
  EXPECT_EQ(s.blendMode, 1u);
}

TEST_F(Lifecycle, ConstructorResetsSamplingButNeverTheBlendMode) {
  tessaly::drawState = {7, 2, 2, 3, 3, 3};
  ResetTessaly();
  EXPECT_EQ(tessaly::drawState.minFilter, 2u) << "reset leaves the draw state alone";
  Constructor();
  EXPECT_EQ(tessaly::drawState.blendMode, 7u);
  EXPECT_EQ(tessaly::drawState.minFilter, 1u);
  EXPECT_EQ(tessaly::drawState.mipFilter, 0u);
  EXPECT_EQ(tessaly::drawState.addressV, 1u);
  tessaly::drawState.blendMode = 1;
}

TEST_F(Lifecycle, HostModulesAreFreedAtTheEnd) {
  Destructor();
  EXPECT_EQ(tessaly::hostLink.coreModule, nullptr);
  EXPECT_EQ(tessaly::hostLink.quit, nullptr);
  // The fixture's own Destructor must find nothing left to free.
  Constructor();
  ReceiveCoreDataPtr(host->coreData());
}

class EffectSlotTable : public HostFixture {
 protected:
  // Puts a new effect into the slot and returns it with one more reference,
  // the test's, so that the table's releases can be counted.
  ID3DXEffect* load(int number) {
    const std::string path = ::testing::TempDir() + "slot_table_effect.fx";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return nullptr;
    std::fputs("float a;", file);
    std::fclose(file);
    ID3DXEffect* effect = nullptr;
    D3DXCreateEffectFromFileA(host->device(), path.c_str(), nullptr, nullptr, 0, nullptr, &effect,
                              nullptr);
    std::remove(path.c_str());
    if (effect == nullptr) return nullptr;
    auto* entry = tessaly::effectSlotEntry(number);
    *entry = std::make_unique<tessaly::EffectSlot>();
    (*entry)->effect = effect;
    effect->AddRef();
    return effect;
  }
  static int slotsInUse() {
    int n = 0;
    for (const auto& slot : tessaly::effectSlots) n += slot != nullptr;
    return n;
  }
};

TEST_F(EffectSlotTable, NumbersOutsideOneToSixtyFourHaveNoSlot) {
  for (int n : {0, -1, 65, INT32_MIN, INT32_MAX}) EXPECT_EQ(tessaly::effectSlotEntry(n), nullptr) << n;
  EXPECT_EQ(tessaly::effectSlotEntry(1), &tessaly::effectSlots[0]);
  EXPECT_EQ(tessaly::effectSlotEntry(64), &tessaly::effectSlots[63]);
}

TEST_F(EffectSlotTable, ResetReleasesEachEffectOnceAndTheEndNothingMore) {
  ID3DXEffect* first = load(1);
  ID3DXEffect* last = load(64);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(last, nullptr);
  ResetTessaly();
  EXPECT_EQ(slotsInUse(), 0);
  ResetTessaly();  // on an empty table: nothing, and no error
  Destructor();
  EXPECT_EQ(first->Release(), 0u) << "the table released its reference exactly once";
  EXPECT_EQ(last->Release(), 0u);
  Constructor();
  ReceiveCoreDataPtr(host->coreData());
}

TEST_F(EffectSlotTable, EndReleasesLoadedEffectsOnce) {
  ID3DXEffect* effect = load(17);
  ASSERT_NE(effect, nullptr);
  Destructor();
  EXPECT_EQ(slotsInUse(), 0);
  EXPECT_EQ(effect->Release(), 0u);
  Constructor();
  ReceiveCoreDataPtr(host->coreData());
}

}  // namespace

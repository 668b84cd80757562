// The commands that set an effect's technique and parameters: the values
// reach the effect, and the numbers and slots they refuse.
#include "effect_fixture.h"

#include "platform/d3dx9_span_shading.h"

#include <functional>

namespace {

using ::testing::ExitedWithCode;

char* text(const char* name) { return const_cast<char*>(name); }

struct Setter {
  const char* name;
  std::function<void(int effect)> call;
};

const Setter kSetters[] = {
    {"SetEffectFloat", [](int effect) { SetEffectFloat(effect, text("amount"), 1); }},
    {"SetEffectVector4", [](int effect) { SetEffectVector4(effect, text("tint"), 1); }},
    {"SetEffectMatrix", [](int effect) { SetEffectMatrix(effect, text("colours"), 1); }},
    {"SetEffectTechnique", [](int effect) { SetEffectTechnique(effect, text("Grey")); }},
    {"SetEffectTexture", [](int effect) { SetEffectTexture(effect, text("overlay"), 1); }},
};

void PrintTo(const Setter& setter, std::ostream* out) { *out << setter.name; }

class EveryEffectSetter : public EffectCommands, public ::testing::WithParamInterface<Setter> {};

TEST_P(EveryEffectSetter, Sets7721ForNumbersOutOfRange) {
  for (int number : {0, 65, -7}) {
    host->clearRuntimeError();
    GetParam().call(number);
    EXPECT_EQ(host->runtimeError(), 7721) << number;
  }
  expectedRuntimeError = 7721;
}

TEST_P(EveryEffectSetter, Sets7722AndEndsTheProcessOnAnEmptySlot) {
  ASSERT_EQ(load(effectFile(), 1), 1u);
  EXPECT_EXIT(GetParam().call(9), ExitedWithCode(1), wholeOutput("host: CloseDisplay\nhost: Quit"));
}

INSTANTIATE_TEST_SUITE_P(EffectCommands, EveryEffectSetter, ::testing::ValuesIn(kSetters),
                         [](const auto& test) { return std::string(test.param.name); });

class EffectSetters : public EffectCommands {
 protected:
  void SetUp() override {
    EffectCommands::SetUp();
    ASSERT_EQ(load(effectFile(), 1), 1u);
    effect = slot(1)->effect;
  }
  ID3DXEffect* effect = nullptr;
};

TEST_F(EffectSetters, FloatsReachTheEffect) {
  SetEffectFloat(1, text("amount"), 0.25f);
  float value = 0;
  EXPECT_EQ(effect->GetFloat("amount", &value), S_OK);
  EXPECT_EQ(value, 0.25f);
}

TEST_F(EffectSetters, VectorsAndMatricesComeFromTheHostsVectorModule) {
  host->setVector4(3, {0.5f, 0.25f, 2, 1});
  D3DXMATRIX swap{};
  swap.m[0][2] = swap.m[1][1] = swap.m[2][0] = swap.m[3][3] = 1;  // red and blue change places
  host->setMatrix(4, swap);
  SetEffectVector4(1, text("tint"), 3);
  SetEffectMatrix(1, text("colours"), 4);
  D3DXVECTOR4 v{};
  EXPECT_EQ(effect->GetVector("tint", &v), S_OK);
  EXPECT_EQ(v.z, 2.0f);
  D3DXMATRIX m{};
  EXPECT_EQ(effect->GetMatrix("colours", &m), S_OK);
  EXPECT_EQ(m.m[0][2], 1.0f);
  EXPECT_EQ(m.m[0][0], 0.0f);
}

TEST_F(EffectSetters, AMatrixFromTheHostTransformsTheShadedColours) {
  D3DXMATRIX swap{};
  swap.m[0][2] = swap.m[1][1] = swap.m[2][0] = swap.m[3][3] = 1;
  host->setMatrix(4, swap);
  SetEffectMatrix(1, text("colours"), 4);
  SetEffectFloat(1, text("amount"), 0);  // no grey: the texel itself
  ASSERT_EQ(effect->SetTechnique(slot(1)->technique), S_OK);
  // The fake texture reads (u, v, 0, 1) on stage 0; the matrix swaps r and b.
  const std::vector<Rgba> shaded = shadeSpan(host->device(), effect, {{0.5f, 1}, {0.25f, 0}, {}});
  ASSERT_EQ(shaded.size(), 2u);
  EXPECT_EQ(shaded[0], (Rgba{0, 0.25f, 0.5f, 1}));
  EXPECT_EQ(shaded[1], (Rgba{0, 0, 1, 1}));
}

TEST_F(EffectSetters, TexturesComeFromHostImagesAndAMissingImageSetsNone) {
  makePlain(10, 2, 2, {0xFF00FF00});
  SetEffectTexture(1, text("overlay"), 10);
  IDirect3DBaseTexture9* texture = nullptr;
  EXPECT_EQ(effect->GetTexture("overlay", &texture), S_OK);
  EXPECT_EQ(texture, host->image(10));
  if (texture != nullptr) texture->Release();
  SetEffectTexture(1, text("overlay"), 99);
  EXPECT_EQ(effect->GetTexture("overlay", &texture), S_OK);
  EXPECT_EQ(texture, nullptr) << "no such image: no texture, and no runtime error";
}

TEST_F(EffectSetters, UnknownAndNullNamesChangeNothing) {
  SetEffectFloat(1, text("absent"), 9);
  SetEffectFloat(1, nullptr, 9);
  SetEffectTexture(1, nullptr, 10);
  SetEffectTechnique(1, nullptr);
  float value = 0;
  EXPECT_EQ(effect->GetFloat("amount", &value), S_OK);
  EXPECT_EQ(value, 0.5f);
  EXPECT_EQ(slot(1)->technique, effect->GetTechniqueByName("Grey"));
}

TEST_F(EffectSetters, ATechniqueThatValidatesReplacesTheSlotsTechnique) {
  SetEffectTechnique(1, text("Plain"));
  EXPECT_EQ(slot(1)->technique, effect->GetTechniqueByName("Plain"));
  SetEffectTechnique(1, text("Sharp"));  // does not validate
  EXPECT_EQ(slot(1)->technique, effect->GetTechniqueByName("Plain"));
  SetEffectTechnique(1, text("Absent"));
  EXPECT_EQ(slot(1)->technique, effect->GetTechniqueByName("Plain"));
}

class WithoutVectorModule : public EffectCommands {
 protected:
  standin::HostOptions hostOptions() const override { return {.vectorModule = false}; }
};

TEST_F(WithoutVectorModule, OtherEffectCommandsWork) {
  ASSERT_EQ(load(effectFile(), 1), 1u);
  SetEffectFloat(1, text("amount"), 0.75f);
  float value = 0;
  EXPECT_EQ(slot(1)->effect->GetFloat("amount", &value), S_OK);
  EXPECT_EQ(value, 0.75f);
  SetEffectVector4(65, text("tint"), 1);  // out of range: the usual error, nothing needed
  EXPECT_EQ(host->runtimeError(), 7721);
  expectedRuntimeError = 7721;
}

TEST_F(WithoutVectorModule, VectorAndMatrixSettersSayWhatIsMissing) {
  ASSERT_EQ(load(effectFile(), 1), 1u);
  const std::string message =
      "Vector DLL could not be loaded. Please include a vector command in your source code.";
  EXPECT_EXIT(SetEffectVector4(1, text("tint"), 1), ExitedWithCode(1),
              wholeOutput(fatalOutput(message, "TS Set Effect Vector4 - Error")));
  EXPECT_EXIT(SetEffectMatrix(1, text("colours"), 1), ExitedWithCode(1),
              wholeOutput(fatalOutput(message, "TS Set Effect Matrix4 - Error")));
}

}  // namespace

// What the compiler refuses, and where it says the fault is: every message
// names the file, the line and the column.
#include "d3dx9_effect_fixture.h"

#include "d3dx9/compiler/effect_compiler.h"

#include <random>
#include <string_view>

namespace {

struct ErrorCase {
  const char* name;
  std::string source;
  std::string messages;  // all of them, "test.fx(LINE,COL): error: ...\n" each
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

// A shader whose body starts on line 2, and a technique that compiles it.
std::string shader(const std::string& body) {
  return "float4 f(float2 uv : TEXCOORD0) : COLOR0 {\n" + body + "\n}\n";
}
std::string withPass(const std::string& states) {
  return shader("  return 1;") + "technique t { pass p {\n" + states + "\n} }\n";
}
std::string at(int line, int column, const std::string& message) {
  return "test.fx(" + std::to_string(line) + "," + std::to_string(column) + "): error: " + message +
         "\n";
}

const ErrorCase kCases[] = {
    // Characters and tokens.
    {"UnexpectedCharacter", "float a;\nfloat b @ 1;\n", at(2, 9, "unexpected character '@'")},
    {"UnexpectedByte", "float a;\n\x01", at(2, 1, "unexpected byte 0x01")},
    {"CommentNotClosed", "float a;\n /* never\n closed", at(2, 2, "comment not closed with */")},
    {"StringNotClosed", "float a < string s = \"open;\n>;", at(1, 22, "string not closed with \"")},
    {"Preprocessor", "float a;\n  #define X 1\n",
     at(2, 3, "preprocessor directives (#...) are not supported")},
    {"NumberTooLarge", "float a = 1e39;", at(1, 11, "number out of the range of float")},
    {"MalformedNumber", "float a = 1.5x;", at(1, 11, "malformed number")},
    // Syntax.
    {"MissingSemicolon", "float a = 1\nfloat b;\n", at(2, 1, "expected ';', found 'float'")},
    {"UnknownType", "float a;\nhalf4 c;", at(2, 1, "unknown type 'half4'")},
    {"UnsupportedStatement", shader("  for (;;) {}"), at(2, 3, "'for' is not supported")},
    {"UnsupportedOperator", shader("  return uv.x % 2;"), at(2, 15, "operator '%' is not supported")},
    {"IncrementIsNoAssignment", shader("  float x = 0;\n  x++;"), at(3, 4, "operator '++' is not supported")},
    {"ExpressionWithoutAssignment", shader("  uv;"),
     at(2, 5, "expected an assignment ('=', '+=', '-=', '*=' or '/='), found ';'")},
    {"Indexing", shader("  return uv[0];"), at(2, 12, "indexing with [] is not supported")},
    {"StructIsNotSupported", "struct S { float a; };", at(1, 1, "'struct' is not supported")},
    {"TextureTakesNoValue", "texture t = 1;", at(1, 13, "a texture parameter takes no initial value")},
    {"StaticMustBeConst", "static float x = 1;", at(1, 8, "static globals must be const")},
    {"OutputParameter", "float4 f(out float4 c : COLOR0) : COLOR0 { return 0; }",
     at(1, 10, "only input parameters are supported, not 'out'")},
    {"NewerTechniques", "technique10 t {}", at(1, 1, "only Direct3D 9 techniques ('technique') are supported")},
    {"SamplerRegisterOutOfRange", "sampler s : register(s16);",
     at(1, 22, "a sampler register is s0 to s15, not 's16'")},
    // Names and types.
    {"UnknownName", shader("  return missing;"), at(2, 10, "unknown name 'missing'")},
    {"AlreadyDeclared", "float a;\nfloat a;", at(2, 7, "'a' is already declared")},
    {"LocalAlreadyDeclared", shader("  float x = 1; float x = 2; return x;"), at(2, 22, "'x' is already declared")},
    {"SizesThatDoNotFit", shader("  return float4(uv, 0, 0) + uv.xxx;"),
     at(2, 27, "operator '+' cannot combine a float4 and a float3")},
    {"WideningIsRefused", shader("  float4 c = uv; return c;"),
     at(2, 14, "cannot initialize 'c' (float4) with a float2")},
    {"AssignmentToParameter", "float k;\n" + shader("  k = 1; return 0;"),
     at(3, 3, "cannot assign to the parameter 'k'")},
    {"AssignmentToConstant", shader("  const float k = 1; k = 2; return 0;"),
     at(2, 22, "cannot assign to the constant 'k'")},
    {"WriteMaskNamesAComponentTwice", shader("  float4 c = 0; c.xx = uv; return c;"),
     at(2, 19, "the write mask .xx names a component twice")},
    {"SwizzlePastTheComponents", shader("  return uv.z;"),
     at(2, 13, ".z reaches past the components of a float2")},
    {"MixedSwizzleSets", shader("  return uv.xg;"), at(2, 13, "'xg' is not a swizzle (xyzw or rgba)")},
    {"UnknownIntrinsic", shader("  return tex3D(uv);"), at(2, 10, "unknown function 'tex3D'")},
    {"CallingOwnFunctions", shader("  return 1;") + "float4 g(float2 uv : TEXCOORD0) : COLOR0 {\n  return f(uv);\n}\n",
     at(5, 10, "calling 'f' is not supported: only intrinsics can be called")},
    {"ArgumentCount", shader("  return lerp(1, 2);"), at(2, 10, "'lerp' takes 3 arguments, not 2")},
    {"Tex2DNeedsASampler", shader("  return tex2D(uv, uv);"),
     at(2, 16, "the first argument of tex2D must be a sampler")},
    {"MulNeedsAMatrix", shader("  return mul(uv, uv);"),
     at(2, 10, "mul takes a float4 and a float4x4 (in either order), not a float2 and a float2")},
    {"ConstructorCountsComponents", shader("  return float4(uv, 1);"),
     at(2, 10, "float4 takes 4 components, not 3")},
    {"MatrixLocal", shader("  float4x4 m; return 0;"), at(2, 12, "local variables of type float4x4 are not supported")},
    {"ConditionMustBeScalar", shader("  if (uv) return 1; return 0;"),
     at(2, 7, "the condition of an if must be a scalar, not a float2")},
    {"NotEveryPathReturns", shader("  if (uv.x > 0) return 1;"), at(1, 1, "not every path of 'f' returns a value")},
    {"ReturnsFloat4", "float3 f(float2 uv : TEXCOORD0) : COLOR0 { return 0; }",
     at(1, 1, "a pixel shader function returns float4, not float3")},
    {"ResultNeedsColor0", "float4 f(float2 uv : TEXCOORD0) { return 0; }",
     at(1, 1, "the result of 'f' needs the semantic COLOR0")},
    {"InputNeedsASemantic", "float4 f(float2 uv) : COLOR0 { return 0; }",
     at(1, 17, "the parameter 'uv' needs a semantic: TEXCOORD0 or COLOR0")},
    {"UnsupportedInput", "float4 f(float2 uv : TEXCOORD1) : COLOR0 { return 0; }",
     at(1, 22, "the input semantic TEXCOORD1 is not supported: TEXCOORD0 or COLOR0")},
    {"InitializerCountsComponents", "float3 v = {1, 2};",
     at(1, 12, "the initial value of 'v' has 2 components; float3 takes 3")},
    {"InitializerMustBeConstant", "float a;\nfloat b = a * 2;",
     at(2, 11, "an initial value must be constant; 'a' is a parameter")},
    {"EveryTypeErrorIsListed", shader("  float x = nothing;\n  float y = uv.q;\n  return 0;"),
     at(2, 13, "unknown name 'nothing'") + at(3, 16, "'q' is not a swizzle (xyzw or rgba)")},
    // Techniques and states.
    {"VertexShader", withPass("VertexShader = compile vs_2_0 f();"), at(5, 24, "vertex shaders are not supported")},
    {"VertexShaderOnlyNull", withPass("VertexShader = 3;"), at(5, 16, "VertexShader can only be set to NULL")},
    {"UnknownProfile", withPass("PixelShader = compile ps_4_0 f();"),
     at(5, 23, "the profile 'ps_4_0' is not supported: ps_2_0, ps_2_a, ps_2_b or ps_3_0")},
    {"UnknownCompiledFunction", withPass("PixelShader = compile ps_2_0 nothing();"),
     at(5, 30, "unknown function 'nothing'")},
    {"CompileArguments", withPass("PixelShader = compile ps_2_0 f(1);"),
     at(5, 32, "arguments to a compiled function are not supported")},
    {"UnknownState", withPass("Blending = TRUE;"), at(5, 1, "unknown state 'Blending'")},
    {"UnknownStateValue", withPass("SrcBlend = Sideways;"), at(5, 12, "'Sideways' is not a value of SrcBlend")},
    {"StateWantsAWholeNumber", withPass("AlphaRef = 0.5;"),
     at(5, 12, "AlphaRef takes a whole number of 32 bits, not 0.5")},
    {"StateWantsThirtyTwoBits", withPass("AlphaRef = 4294967296;"),
     at(5, 12, "AlphaRef takes a whole number of 32 bits, not 4294967296")},
    {"RenderStateTakesNoIndex", withPass("SrcBlend[0] = One;"), at(5, 1, "SrcBlend takes no index")},
    {"SamplerIndexTooLarge", withPass("MinFilter[16] = Point;"),
     at(5, 1, "MinFilter[16]: the index is at most 15")},
    {"TextureStateNeedsATexture", "float k;\n" + withPass("Texture[0] = <k>;"),
     at(6, 15, "Texture takes <name> of a texture parameter or NULL")},
    {"SamplerStateBlockHoldsSamplerStates",
     "texture t;\nsampler s = sampler_state {\n  Texture = <t>;\n  AlphaBlendEnable = TRUE;\n};",
     at(4, 3, "'AlphaBlendEnable' is not a sampler state")},
    {"DuplicateTechnique", "technique a { }\ntechnique a { }", at(2, 1, "the technique 'a' is already declared")},
    {"SamplersSharingARegister",
     "sampler a : register(s1);\nsampler b : register(s1);\n" +
         shader("  return tex2D(a, uv) + tex2D(b, uv);") +
         "technique t { pass p { PixelShader = compile ps_2_0 f(); } }",
     at(6, 53, "the samplers 'a' and 'b' of 'f' both use register s1")},
};

class CompileErrors : public EffectTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CompileErrors, NameTheLineAndColumn) {
  EXPECT_EQ(compileErrors(GetParam().source), GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(EveryRefusal, CompileErrors, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

class CompilerLimits : public EffectTest {};

TEST_F(CompilerLimits, DeepNestingIsRefusedNotRecursedInto) {
  const std::string source = "float a = " + std::string(5000, '(') + "1" + std::string(5000, ')') + ";";
  const std::string messages = compileErrors(source);
  EXPECT_NE(messages.find("test.fx(1,"), std::string::npos) << messages;
  EXPECT_NE(messages.find("): error: nested too deeply\n"), std::string::npos) << messages;
}

TEST_F(CompilerLimits, ErrorsAreCountedNotListedWithoutEnd) {
  std::string body;
  for (int i = 0; i < 80; ++i) body += "  float x" + std::to_string(i) + " = nothing;\n";
  const std::string messages = compileErrors(shader(body + "  return 0;"));
  EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 51) << messages;
  EXPECT_NE(messages.find(at(52, 15, "too many errors; the rest are not listed")), std::string::npos);
}

TEST_F(CompilerLimits, ShadersNeedingTooManyRegistersAreRefused) {
  // 40 float4 values alive at once: 160 registers.
  std::string body;
  std::string sum = "0";
  for (int i = 0; i < 40; ++i) {
    body += "  float4 v" + std::to_string(i) + " = tex2D(s, uv * " + std::to_string(i + 2) + ");\n";
    sum += " + v" + std::to_string(i);
  }
  const std::string source = "sampler s;\n" + shader(body + "  return " + sum + ";") +
                             "technique t { pass p { PixelShader = compile ps_2_0 f(); } }";
  EXPECT_EQ(compileErrors(source),
            at(45, 53, "'f' needs more than 128 values at once; make it simpler"));
}

TEST_F(CompilerLimits, MissingFileFailsWithoutMessages) {
  Held<ID3DXBuffer> errors;
  const std::string path = (folder / "absent.fx").string();
  EXPECT_TRUE(FAILED(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr,
                                               effect.out(), errors.out())));
  EXPECT_EQ(effect.get(), nullptr);
  EXPECT_EQ(errors.get(), nullptr);
}

TEST_F(CompilerLimits, TheMessagesCarryNoTerminatingZero) {
  const std::string path = write("float a = ;");
  Held<ID3DXBuffer> errors;
  EXPECT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr,
                                      effect.out(), errors.out()),
            E_FAIL);
  ASSERT_NE(errors.get(), nullptr);
  const std::string expected = path + "(1,11): error: expected an expression, found ';'\n";
  ASSERT_EQ(errors->GetBufferSize(), expected.size());
  EXPECT_EQ(std::string(static_cast<const char*>(errors->GetBufferPointer()), expected.size()),
            expected);
}

TEST_F(CompilerLimits, OversizedFilesAreRefused) {
  const std::string source = "float a;\n" + std::string((1 << 20) + 1, ' ');
  EXPECT_EQ(compileErrors(source), at(1, 1, "the effect file is larger than 1048576 bytes"));
}

}  // namespace

namespace {

// Damaged effect files: every prefix of a full effect, and the effect with
// bytes replaced at random. Each must compile or be refused with messages in
// the usual form; none may crash the compiler (the sanitizer build runs this).
const char* const kFullEffect = R"(// comment
float amount = 0.5; float4 tint : COLOR = {1, 0.5, 0.25, 1};
float4x4 m = {1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1};
texture t < string name = "x.png"; >;
sampler2D image : register(s0);
sampler2D other = sampler_state { Texture = <t>; MinFilter = Linear; AddressU = Clamp; };
static const float3 kLuma = {0.299, 0.587, 0.114};
float4 run(float2 uv : TEXCOORD0, in float4 colour : COLOR0) : COLOR0 {
  float4 c = tex2D(image, uv) * colour; bool b = c.r > 0.5 && !(uv.x < 0.1);
  if (b) { c.rgb = lerp(c.rgb, dot(c.rgb, kLuma), amount); } else c = mul(c, m);
  c.a *= uv.x > 0.5 ? 1 : smoothstep(0, 1, frac(uv.y * 4));
  return c + tex2D(other, uv.yx) * tint - float4(0.1f, .2, 3e-1, 1.);
}
technique T < int n = 1; > { pass P { AlphaBlendEnable = TRUE; SrcBlend = SrcAlpha;
  PixelShader = compile ps_2_0 run(); VertexShader = NULL; } }
)";

// "test.fx(LINE,COL): error: MESSAGE", nothing else, on every line.
bool wellFormedLine(std::string_view line) {
  const auto number = [&line]() {
    const std::size_t digits = line.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos) return false;
    line.remove_prefix(digits);
    return true;
  };
  const auto literal = [&line](std::string_view text) {
    if (line.substr(0, text.size()) != text) return false;
    line.remove_prefix(text.size());
    return true;
  };
  return literal("test.fx(") && number() && literal(",") && number() &&
         literal("): error: ") && !line.empty();
}

bool wellFormed(const std::string& messages) {
  std::size_t start = 0;
  while (start < messages.size()) {
    const std::size_t end = messages.find('\n', start);
    if (end == std::string::npos) return false;
    if (!wellFormedLine(std::string_view(messages).substr(start, end - start))) return false;
    start = end + 1;
  }
  return !messages.empty();
}

std::string compiled(std::string_view source) {
  swd3dx::Diagnostics diagnostics("test.fx");
  const bool ok = swd3dx::compileEffect(source, diagnostics).has_value();
  return ok ? "" : diagnostics.text();
}

TEST(DamagedEffects, TheFullEffectCompiles) { EXPECT_EQ(compiled(kFullEffect), ""); }

TEST(DamagedEffects, EveryPrefixCompilesOrIsRefusedInForm) {
  const std::string_view full = kFullEffect;
  for (std::size_t length = 0; length < full.size(); ++length) {
    const std::string messages = compiled(full.substr(0, length));
    EXPECT_TRUE(messages.empty() || wellFormed(messages)) << length << ":\n" << messages;
  }
}

TEST(DamagedEffects, ReplacedBytesCompileOrAreRefusedInForm) {
  std::mt19937 random(12345);
  const std::string full = kFullEffect;
  const std::string alphabet = "(){}[]<>;:,.=+-*/!&|?#\"'0123456789 \nxyzwrgbaf_AZ\x01\xff";
  for (int trial = 0; trial < 3000; ++trial) {
    std::string damaged = full;
    const int changes = 1 + static_cast<int>(random() % 3);
    for (int k = 0; k < changes; ++k) {
      damaged[random() % damaged.size()] = alphabet[random() % alphabet.size()];
    }
    const std::string messages = compiled(damaged);
    EXPECT_TRUE(messages.empty() || wellFormed(messages)) << damaged << "\n" << messages;
  }
}

}  // namespace

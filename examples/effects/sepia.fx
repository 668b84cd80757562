// Sepia: the warm brown of old photographs. "amount" goes from 0 (the image
// unchanged) to 1 (full sepia).
float amount = 1;

sampler2D image;

static const float3 kRed = {0.393, 0.769, 0.189};
static const float3 kGreen = {0.349, 0.686, 0.168};
static const float3 kBlue = {0.272, 0.534, 0.131};

float4 sepia(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv);
  float3 toned = saturate(float3(dot(c.rgb, kRed), dot(c.rgb, kGreen), dot(c.rgb, kBlue)));
  return float4(lerp(c.rgb, toned, amount), c.a);
}

technique Sepia {
  pass { PixelShader = compile ps_2_0 sepia(); }
}

// Two passes with blending of their own, a constant, comparisons and a
// branch that returns early.
static const float3 kLuma = {0.299, 0.587, 0.114};
float threshold = 0.5;
float4 shade = float4(0.2, 0.4, 0.6, 1);

sampler2D image : register(s0);

float4 grey(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv);
  float luma = dot(c.rgb, kLuma);
  if (luma < threshold) return float4(shade.rgb * luma, c.a);
  return float4(luma, luma, luma, c.a);
}

float4 edge(float2 uv : TEXCOORD0) : COLOR0 {
  float4 a = tex2D(image, uv);
  float4 b = tex2D(image, uv + float2(0.01, 0.01));
  return float4(abs(a.rgb - b.rgb) * 4, 0.5);
}

technique Layers {
  pass Base {
    AlphaBlendEnable = FALSE;
    PixelShader = compile ps_2_0 grey();
  }
  pass Over {
    AlphaBlendEnable = TRUE;
    SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha;
    BlendOp = Add;
    PixelShader = compile ps_2_0 edge();
  }
}

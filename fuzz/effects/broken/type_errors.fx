sampler2D image;
float4 tint;

float4 wrong(float2 uv : TEXCOORD0) : COLOR0 {
  float3 c = tex2D(image, uv).rgb;
  float4 d = c + tint;
  return colour * d;
}

technique T { pass { PixelShader = compile ps_2_0 wrong(); } }

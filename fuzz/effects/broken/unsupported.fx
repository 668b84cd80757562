#define TIMES 4
sampler2D image;
int count = 3;

float4 looped(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = 0;
  for (int i = 0; i < TIMES; i++) c += tex2D(image, uv * i);
  return c;
}

technique T { pass { VertexShader = compile vs_2_0 looped(); PixelShader = compile ps_2_0 looped(); } }

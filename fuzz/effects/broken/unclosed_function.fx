sampler2D image;

float4 open(float2 uv : TEXCOORD0) : COLOR0 {
  return tex2D(image, uv);

technique Never {
  pass { PixelShader = compile ps_2_0 open(); }
}

// Invert: the negative of the colour channels; alpha is kept.
sampler2D image;

float4 inverted(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv);
  c.rgb = 1 - c.rgb;
  return c;
}

technique Invert {
  pass { PixelShader = compile ps_2_0 inverted(); }
}

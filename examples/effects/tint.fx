// Tint: multiplies the image by a colour, alpha included. Set the colour
// with "TS Set Effect Vector4" from a host vector (x red, y green, z blue,
// w alpha, each 0 to 1).
float4 tint = {1, 0.8, 0.55, 1};

sampler2D image;

float4 tinted(float2 uv : TEXCOORD0) : COLOR0 {
  return tex2D(image, uv) * tint;
}

technique Tint {
  pass { PixelShader = compile ps_2_0 tinted(); }
}

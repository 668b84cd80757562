// Colour matrix: each output channel is a weighted sum of the input
// channels, the weights a host matrix set with "TS Set Effect Matrix4".
// Row i of the matrix says how much input channel i (red, green, blue,
// alpha) gives to each output channel; the identity leaves the image as it
// is. A threshold above 0 turns the result into two levels per channel.
float4x4 colours = {1, 0, 0, 0,
                    0, 1, 0, 0,
                    0, 0, 1, 0,
                    0, 0, 0, 1};
float threshold = 0;

sampler2D image;

float4 transform(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = saturate(mul(tex2D(image, uv), colours));
  if (threshold > 0) {
    c.rgb = step(threshold, c.rgb);
  }
  return c;
}

technique ColourMatrix {
  pass { PixelShader = compile ps_2_0 transform(); }
}

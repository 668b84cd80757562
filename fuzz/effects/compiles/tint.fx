// Every kind of parameter the setters reach: a float, a vector, a matrix and
// a texture on a sampler of its own.
float amount = 1;
float4 tint = {1, 0.8, 0.55, 1};
float4x4 colours = {1, 0, 0, 0,
                    0, 1, 0, 0,
                    0, 0, 1, 0,
                    0, 0, 0, 1};
bool inverted = false;
texture overlay;

sampler2D image;
sampler2D second = sampler_state {
  Texture = <overlay>;
  MinFilter = Linear; MagFilter = Linear;
  AddressU = Clamp; AddressV = Mirror;
};

float4 tinted(float2 uv : TEXCOORD0, float4 colour : COLOR0) : COLOR0 {
  float4 c = mul(tex2D(image, uv), colours) * tint * colour;
  float4 o = tex2D(second, uv);
  c.rgb = lerp(c.rgb, o.rgb, o.a * (1 - amount));
  if (inverted) {
    c.rgb = 1 - c.rgb;
  }
  return saturate(c);
}

technique Tint {
  pass { PixelShader = compile ps_2_0 tinted(); }
}

technique Plain {
  pass { PixelShader = NULL; }
}

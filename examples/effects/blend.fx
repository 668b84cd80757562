// Two images: the pasted one and a second one set with "TS Set Effect
// Texture" ("second"), stretched over it. "amount" weighs the second image,
// and the technique chooses how the two combine: Mix (the default),
// Multiply or Screen ("TS Set Effect Technique").
float amount = 0.5;
texture second;

sampler2D image;  // declared first: the pasted image on stage 0
sampler2D other = sampler_state {
  Texture = <second>;
  MinFilter = Linear;
  MagFilter = Linear;
  AddressU = Clamp;
  AddressV = Clamp;
};

float4 mix(float2 uv : TEXCOORD0) : COLOR0 {
  return lerp(tex2D(image, uv), tex2D(other, uv), amount);
}

float4 multiply(float2 uv : TEXCOORD0) : COLOR0 {
  float4 a = tex2D(image, uv);
  return lerp(a, a * tex2D(other, uv), amount);
}

float4 screen(float2 uv : TEXCOORD0) : COLOR0 {
  float4 a = tex2D(image, uv);
  float4 b = tex2D(other, uv);
  return lerp(a, 1 - (1 - a) * (1 - b), amount);
}

technique Mix { pass { PixelShader = compile ps_2_0 mix(); } }
technique Multiply { pass { PixelShader = compile ps_2_0 multiply(); } }
technique Screen { pass { PixelShader = compile ps_2_0 screen(); } }

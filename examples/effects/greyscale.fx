// Greyscale: every channel takes the colour's luma (Rec. 601 weights); alpha
// is kept. "amount" goes from 0 (the image unchanged) to 1 (fully grey).
float amount = 1;

sampler2D image;  // the pasted image

float4 greyscale(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv);
  float luma = dot(c.rgb, float3(0.299, 0.587, 0.114));
  return float4(lerp(c.rgb, luma, amount), c.a);
}

technique Greyscale {
  pass { PixelShader = compile ps_2_0 greyscale(); }
}

// A greyscale with two techniques; the first cannot run on the software
// device (anisotropic filtering), so loading chooses the second.
float amount = 1;
sampler2D image;
float4 grey(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv);
  return float4(lerp(c.rgb, dot(c.rgb, float3(0.299, 0.587, 0.114)), amount), c.a);
}
technique Sharp { pass { MinFilter[0] = Anisotropic; PixelShader = compile ps_2_0 grey(); } }
technique Grey { pass { PixelShader = compile ps_2_0 grey(); } }

sampler2D image;
float4 grey(float2 uv : TEXCOORD0) : COLOR0 {
  float4 c = tex2D(image, uv) + uv;
  return c;
}

// Compiles, but its one technique asks for a state the device does not
// honour, so no technique validates and a paste through it draws nothing.
sampler2D image;

float4 copy(float2 uv : TEXCOORD0) : COLOR0 {
  return tex2D(image, uv);
}

technique Wire {
  pass {
    FillMode = Wireframe;
    PixelShader = compile ps_2_0 copy();
  }
}

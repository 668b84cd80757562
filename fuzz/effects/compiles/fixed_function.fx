// No shader: the fixed-function stage with states of its own, addressing
// and filtering on sampler 0.
technique Fixed {
  pass {
    PixelShader = NULL;
    AlphaBlendEnable = TRUE;
    SrcBlend = One; DestBlend = One;
    BlendOp = Max;
    MinFilter[0] = Linear; MagFilter[0] = Point;
    AddressU[0] = Border; AddressV[0] = MirrorOnce; BorderColor[0] = 0x80FF0000;
    ColorOp[0] = Modulate; ColorArg1[0] = Texture; ColorArg2[0] = Diffuse;
  }
}

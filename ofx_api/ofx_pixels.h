// Pixels of the three CPU depths, channels in the order R, G, B, A.
#pragma once

extern "C" {

typedef struct OfxRGBAColourB {
  unsigned char r, g, b, a;
} OfxRGBAColourB;

typedef struct OfxRGBAColourS {
  unsigned short r, g, b, a;
} OfxRGBAColourS;

typedef struct OfxRGBAColourF {
  float r, g, b, a;
} OfxRGBAColourF;

}  // extern "C"

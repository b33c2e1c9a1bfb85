// The actions the effect answers; every other one gets the host's default behaviour.
#pragma once

#include "ofx_image_effect.h"

namespace tessaline::ofx {

OfxStatus Describe(OfxImageEffectHandle effect);
OfxStatus DescribeInContext(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs);
OfxStatus CreateInstance(OfxImageEffectHandle effect);
OfxStatus DestroyInstance(OfxImageEffectHandle effect);
OfxStatus InstanceChanged(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs);
OfxStatus GetClipPreferences(OfxImageEffectHandle effect, OfxPropertySetHandle outArgs);
OfxStatus GetRegionOfDefinition(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs,
                                OfxPropertySetHandle outArgs);
OfxStatus GetRegionsOfInterest(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs,
                               OfxPropertySetHandle outArgs);
OfxStatus IsIdentity(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs);
OfxStatus Render(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs);

}  // namespace tessaline::ofx

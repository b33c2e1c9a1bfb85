// The effect's parameters, as the After Effects plug-in has them: the same labels, ranges, defaults
// and grouping. Names are the script names hosts store in projects.
#pragma once

#include <array>

namespace tessaline::ofx {

enum class ParamKind { Integer, Boolean, Colour, Group };

struct ParamSpec {
  const char* name;
  const char* label;
  ParamKind kind;
  int defaultValue;  // a colour's default is white
  int min, max;
  int displayMin, displayMax;
  const char* parent;  // "" at the top level
  const char* hint;
};

inline constexpr char kColorThreshold[] = "colorThreshold";
inline constexpr char kSoftness[] = "softness";
inline constexpr char kBias[] = "bias";
inline constexpr char kColorKey[] = "colorKey";
inline constexpr char kColorKeyEnable[] = "colorKeyEnable";
inline constexpr char kKeyColor[] = "keyColor";
inline constexpr char kKeyColorThreshold[] = "keyColorThreshold";
inline constexpr char kInvert[] = "invert";

inline constexpr std::array<ParamSpec, 8> kParams = {{
    {kColorThreshold, "color threshold", ParamKind::Integer, 10, 1, 1020, 1, 255, "",
     "How different two neighbouring pixels must be to form an edge: the sum of their alpha, red, green and blue "
     "differences in 8-bit units."},
    {kSoftness, "softness", ParamKind::Integer, 70, 0, 100, 0, 100, "",
     "How far along an edge the smoothing reaches; 0 smooths nothing."},
    {kBias, "bias", ParamKind::Integer, 0, 0, 100, 0, 100, "",
     "Bends the blend ramp so that pixels away from a step are blended less."},
    {kColorKey, "color key", ParamKind::Group, 0, 0, 0, 0, 0, "", "A colour made transparent before smoothing."},
    {kColorKeyEnable, "color key enable", ParamKind::Boolean, 0, 0, 1, 0, 1, kColorKey,
     "Makes pixels of the key color transparent before smoothing."},
    {kKeyColor, "key color", ParamKind::Colour, 0, 0, 0, 0, 0, kColorKey, "The colour that becomes transparent."},
    {kKeyColorThreshold, "key color threshold", ParamKind::Integer, 0, 0, 1020, 0, 255, kColorKey,
     "How far a colour may be from the key color and still match: the sum of its red, green and blue differences "
     "in 8-bit units."},
    {kInvert, "invert", ParamKind::Boolean, 0, 0, 1, 0, 1, kColorKey,
     "Makes every colour but the key color transparent instead."},
}};

}  // namespace tessaline::ofx

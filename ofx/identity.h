// The OpenFX plug-in's identity: what a host lists and stores in its projects.
#pragma once

namespace tessaline::ofx {

// Reverse-domain, as hosts key presets and projects by it; also the base name of the bundle's icon.
inline constexpr char kIdentifier[] = "com.norva.tessaline";
inline constexpr char kLabel[] = "tessaline";
inline constexpr char kGrouping[] = "NORVA";
// The effect's version (the After Effects plug-in's 1.1.1): OpenFX keys projects by major.minor.
inline constexpr unsigned kVersionMajor = 1;
inline constexpr unsigned kVersionMinor = 1;
inline constexpr unsigned kVersionBugfix = 1;
inline constexpr char kVersionLabel[] = "1.1.1";
inline constexpr char kDescription[] =
    "Smooths jagged, stair-stepped edges between flat areas of colour in cel-style frames, with an "
    "optional colour key.";

}  // namespace tessaline::ofx

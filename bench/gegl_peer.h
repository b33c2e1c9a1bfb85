// The peer a user would otherwise reach for: GEGL's antialias operation (GIMP's antialias filter),
// run on one thread in this process, for the benchmark's ratios. Only the benchmark links GEGL.
#pragma once

namespace peer {

enum class GeglDepth { U8, F32 };

// Once per process, before the first AntialiasOnce; StopGegl at the end.
void StartGegl();
void StopGegl();

// Runs gegl:antialias over a width x height RGBA image (8-bit sRGB-encoded or linear float, rows
// packed) into `out` (the same layout). Returns false if the graph could not be made.
bool AntialiasOnce(GeglDepth depth, const void* rgba, void* out, int width, int height);

}  // namespace peer

// Samples as image files and host images hold them, and as the engine takes them. 8-bit and float
// samples are the engine's own; 16-bit samples run 0..65535 where the 16-bit kernels take 0..32768.
// Premultiplied colour is divided by alpha before smoothing and multiplied back after, in the
// samples' own units. Every front end (the command-line tool, the OpenFX plug-in) converts through
// these, so that the same pixels give the same bits whichever way they came in.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tessaline {

// Both directions round to the nearest value, so every engine value goes out and comes back
// unchanged. u must not exceed 32768.
constexpr std::uint16_t FileToEngine16(std::uint16_t v) {
  return static_cast<std::uint16_t>((v * 32768u + 32767u) / 65535u);
}
constexpr std::uint16_t EngineToFile16(std::uint16_t u) {
  return static_cast<std::uint16_t>((u * 65535u + 16384u) / 32768u);
}

// How the samples of one engine depth are held outside it, and mapped to and from the engine.
template <class T>
struct Samples;

template <>
struct Samples<std::uint8_t> {
  static constexpr std::uint8_t kFull = 255;
  static std::uint8_t In(std::uint8_t v) { return v; }
  static std::uint8_t Out(std::uint8_t v) { return v; }
  static std::uint8_t Multiply(std::uint8_t c, std::uint8_t a) { return static_cast<std::uint8_t>((c * a + 127) / 255); }
  static std::uint8_t Divide(std::uint8_t c, std::uint8_t a) {
    return static_cast<std::uint8_t>(std::min(255, (c * 255 + a / 2) / a));
  }
};

template <>
struct Samples<std::uint16_t> {
  static constexpr std::uint16_t kFull = 65535;
  static std::uint16_t In(std::uint16_t v) { return FileToEngine16(v); }
  static std::uint16_t Out(std::uint16_t u) { return EngineToFile16(u); }
  static std::uint16_t Multiply(std::uint16_t c, std::uint16_t a) {
    return static_cast<std::uint16_t>((std::uint32_t{c} * a + 32767u) / 65535u);
  }
  static std::uint16_t Divide(std::uint16_t c, std::uint16_t a) {
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(65535u, (std::uint64_t{c} * 65535u + a / 2) / a));
  }
};

template <>
struct Samples<float> {
  static constexpr float kFull = 1.0f;
  static float In(float v) { return v; }
  static float Out(float v) { return v; }
  static float Multiply(float c, float a) { return c * a; }
  static float Divide(float c, float a) { return c / a; }
};

// One ARGB pixel of outside samples, in place, into the engine's straight pixel. Where alpha is 0
// there is nothing to divide by: the stored colour (normally 0) is kept.
template <class T>
void SamplesToEngine(T* argb, bool premultiplied) {
  using S = Samples<T>;
  if (premultiplied && argb[0] != T{0}) {
    for (int k = 1; k < 4; ++k) argb[k] = S::Divide(argb[k], argb[0]);
  }
  for (int k = 0; k < 4; ++k) argb[k] = S::In(argb[k]);
}

// One engine pixel into outside samples, multiplied by alpha when `premultiply`.
template <class T>
void EngineToSamples(const T* engine, bool premultiply, T* argb) {
  using S = Samples<T>;
  const T alpha = S::Out(engine[0]);
  argb[0] = alpha;
  for (int k = 1; k < 4; ++k) argb[k] = premultiply ? S::Multiply(S::Out(engine[k]), alpha) : S::Out(engine[k]);
}

}  // namespace tessaline

// What the OpenFX tests share: the bundle, generated cel frames at every depth and storage, the
// effect's settings as host parameters, and the output the effect must give, worked out with the
// engine from the rules of the command-line tool's files (16-bit samples mapped, premultiplied
// colour divided and multiplied back, untouched pixels kept as they came).
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "engine.h"
#include "ofxhost/host.h"

namespace ofxtest {

// dist/tessaline.ofx.bundle, as this system sees it.
std::string BundlePath();

struct Settings {
  tessaline::Params params;
  tessaline::SourceMode mode = tessaline::SourceMode::Plain;
};
// Defaults; a key on the frames' blue with threshold 30, softness 100 and bias 50; and an inverted
// key on black.
Settings Plain();
Settings Keyed();
Settings InvertedKey();
void Apply(const Settings& settings, ofxhost::Instance& instance);

// A frame of flat shapes with stair-stepped edges over a background, some of it half transparent
// and some fully, covering `bounds`. 16-bit and float samples carry small variations that the
// 8-bit-unit thresholds do not see.
ofxhost::Frame CelFrame(ofxhost::BitDepth depth, int channels, ofxhost::Storage storage, OfxRectI bounds);

// What the effect must make of the whole of `source`, stored as `output` says.
ofxhost::Frame Expected(const ofxhost::Frame& source, const Settings& settings, const ofxhost::SourceFormat& output);

// The part of `frame` inside `window`.
ofxhost::Frame Crop(const ofxhost::Frame& frame, const OfxRectI& window);

// Where two frames first differ, or "" when they are the same.
std::string Difference(const ofxhost::Frame& a, const ofxhost::Frame& b);

// Nothing recorded against the effect and nothing left held but its live instances.
void ExpectClean(const ofxhost::Host& host, std::size_t instances = 0);

std::string Name(const ofxhost::SourceFormat& format);

}  // namespace ofxtest

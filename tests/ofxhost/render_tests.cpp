// The OpenFX effect of the bundle, driven through the simulated host: what it tells the host, and
// what it renders at every depth, storage and mode, in any window, at any scale, on several threads.
#include <thread>

#include "ofx_test_support.h"
#include "params.h"

namespace {

using ofxhost::BitDepth;
using ofxhost::Frame;
using ofxhost::Host;
using ofxhost::SourceFormat;
using ofxhost::Storage;
using namespace ofxtest;

constexpr OfxRectI kBounds = {-17, 23, 79, 87};  // 96 x 64, off the origin

std::string Unquoted(const std::vector<std::string>& values) {
  return values.size() == 1 && values[0].size() >= 2 ? values[0].substr(1, values[0].size() - 2) : "";
}

TEST(OfxDescribe, TheEffectAndEveryParameterAsDefined) {
  Host host(BundlePath());
  const ofxhost::Description& d = host.Describe();
  EXPECT_EQ(d.identifier, "com.norva.tessaline");
  EXPECT_EQ(d.versionMajor, 1u);
  EXPECT_EQ(d.versionMinor, 1u);
  EXPECT_EQ(Unquoted(d.effect.Values("OfxPropLabel")), "tessaline");
  EXPECT_EQ(Unquoted(d.effect.Values("OfxImageEffectPluginPropGrouping")), "NORVA");
  EXPECT_EQ(d.effect.Values("OfxImageEffectPropSupportedPixelDepths"),
            (std::vector<std::string>{"\"OfxBitDepthByte\"", "\"OfxBitDepthShort\"", "\"OfxBitDepthFloat\""}));
  EXPECT_EQ(Unquoted(d.effect.Values("OfxImageEffectPluginRenderThreadSafety")), "OfxImageEffectRenderFullySafe");
  ASSERT_EQ(d.contexts.size(), 2u);
  for (const ofxhost::DescribedContext& c : d.contexts) {
    SCOPED_TRACE(c.context);
    ASSERT_EQ(c.clips.size(), 2u);
    for (const ofxhost::DescribedObject& clip : c.clips) {
      EXPECT_EQ(clip.Values("OfxImageEffectPropSupportedComponents"),
                (std::vector<std::string>{"\"OfxImageComponentRGBA\"", "\"OfxImageComponentRGB\""}));
    }
    ASSERT_EQ(c.params.size(), tessaline::ofx::kParams.size());
    for (std::size_t i = 0; i < c.params.size(); ++i) {
      const tessaline::ofx::ParamSpec& spec = tessaline::ofx::kParams[i];
      const ofxhost::DescribedObject& p = c.params[i];
      SCOPED_TRACE(spec.name);
      EXPECT_EQ(p.name, spec.name);
      EXPECT_EQ(Unquoted(p.Values("OfxPropLabel")), spec.label);
      EXPECT_EQ(Unquoted(p.Values("OfxParamPropParent")), spec.parent);
      EXPECT_EQ(Unquoted(p.Values("OfxParamPropHint")), spec.hint);
      const std::string type = Unquoted(p.Values("OfxParamPropType"));
      using tessaline::ofx::ParamKind;
      if (spec.kind == ParamKind::Integer) {
        EXPECT_EQ(type, "OfxParamTypeInteger");
        EXPECT_EQ(p.Values("OfxParamPropDefault"), std::vector<std::string>{std::to_string(spec.defaultValue)});
        EXPECT_EQ(p.Values("OfxParamPropMin"), std::vector<std::string>{std::to_string(spec.min)});
        EXPECT_EQ(p.Values("OfxParamPropMax"), std::vector<std::string>{std::to_string(spec.max)});
        EXPECT_EQ(p.Values("OfxParamPropDisplayMin"), std::vector<std::string>{std::to_string(spec.displayMin)});
        EXPECT_EQ(p.Values("OfxParamPropDisplayMax"), std::vector<std::string>{std::to_string(spec.displayMax)});
      } else if (spec.kind == ParamKind::Boolean) {
        EXPECT_EQ(type, "OfxParamTypeBoolean");
        EXPECT_EQ(p.Values("OfxParamPropDefault"), std::vector<std::string>{"0"});
        // The key's switch drives the clip preferences, which cannot change over time.
        EXPECT_EQ(p.Values("OfxParamPropAnimates"),
                  std::vector<std::string>{std::string(spec.name) == "colorKeyEnable" ? "0" : "1"});
      } else if (spec.kind == ParamKind::Colour) {
        EXPECT_EQ(type, "OfxParamTypeRGB");
        EXPECT_EQ(p.Values("OfxParamPropDefault"), (std::vector<std::string>{"1", "1", "1"}));
      } else {
        EXPECT_EQ(type, "OfxParamTypeGroup");
      }
    }
  }
  ExpectClean(host);
}

struct RenderCase {
  SourceFormat source;
  Settings (*settings)();
  SourceFormat output;  // as the effect's clip preferences make it
};

constexpr SourceFormat F(BitDepth d, int c, Storage s) { return {d, c, s}; }

TEST(OfxRender, EveryDepthStorageAndModeAsTheEngineGivesIt) {
  const Storage kStraight = Storage::UnPreMultiplied, kPre = Storage::PreMultiplied, kOpaque = Storage::Opaque;
  std::vector<RenderCase> cases;
  for (BitDepth depth : {BitDepth::Byte, BitDepth::Short, BitDepth::Float}) {
    for (Storage storage : {kStraight, kPre}) {
      for (auto settings : {Plain, Keyed, InvertedKey}) cases.push_back({F(depth, 4, storage), settings, F(depth, 4, storage)});
    }
    // Without alpha the key adds one, and its output is premultiplied as the host expects of it.
    cases.push_back({F(depth, 3, kOpaque), Plain, F(depth, 3, kOpaque)});
    cases.push_back({F(depth, 3, kOpaque), Keyed, F(depth, 4, kPre)});
    cases.push_back({F(depth, 4, kOpaque), InvertedKey, F(depth, 4, kPre)});
  }
  Host host(BundlePath());
  for (const RenderCase& c : cases) {
    const Settings settings = c.settings();
    SCOPED_TRACE(Name(c.source) + " mode " + std::to_string(static_cast<int>(settings.mode)));
    auto instance = host.CreateInstance(c.source);
    Apply(settings, *instance);
    const SourceFormat out = instance->OutputFormat();
    EXPECT_EQ(Name(out), Name(c.output));
    const Frame source = CelFrame(c.source.depth, c.source.channels, c.source.storage, kBounds);
    const ofxhost::RenderResult result = instance->Render(source, 1);
    EXPECT_FALSE(result.identity);
    const Frame expected = Expected(source, settings, out);
    EXPECT_EQ(Difference(result.output, expected), "");
    if (settings.mode != tessaline::SourceMode::Plain) {
      EXPECT_NE(Difference(result.output, Expected(source, Plain(), out)), "") << "the key changed nothing";
    }
  }
  ExpectClean(host);
}

std::vector<OfxRectI> Windows(const OfxRectI& b) {
  const int mx = (b.x1 + b.x2) / 2, my = (b.y1 + b.y2) / 2;
  return {
      b,
      {b.x1, b.y1, mx, my}, {mx, b.y1, b.x2, my}, {b.x1, my, mx, b.y2}, {mx, my, b.x2, b.y2},  // tiles
      {b.x1, b.y1, b.x2, b.y1 + 5}, {b.x1, my - 3, b.x2, my + 4}, {b.x1, b.y2 - 9, b.x2, b.y2},  // strips
      {b.x1, b.y1, b.x1 + 1, b.y2}, {b.x2 - 1, b.y1, b.x2, b.y2},  // edge columns
      {b.x1, b.y1, b.x1 + 1, b.y1 + 1}, {b.x2 - 1, b.y2 - 1, b.x2, b.y2}, {mx, my, mx + 1, my + 1},  // single pixels
      {b.x1 + 13, b.y1 + 7, b.x1 + 50, b.y1 + 29},                                                 // inside
  };
}

struct Layout {
  const char* name;
  ofxhost::HostOptions options;
};

TEST(OfxRender, AnyWindowEqualsThatWindowOfTheWholeFrame) {
  ofxhost::HostOptions topDown, whole, both, heap;
  topDown.topDown = true;
  topDown.rowPadding = 12;
  whole.wholeOutput = true;
  both = topDown;
  both.wholeOutput = true;
  heap.noImageMemory = true;  // the effect's buffers come from its own heap
  const Layout layouts[] = {{"bottom-up", {}}, {"top-down, padded", topDown}, {"whole output", whole}, {"both", both},
                            {"no image memory", heap}};
  const std::pair<SourceFormat, Settings (*)()> formats[] = {
      {F(BitDepth::Byte, 4, Storage::UnPreMultiplied), Plain},
      {F(BitDepth::Short, 4, Storage::PreMultiplied), Keyed},
      {F(BitDepth::Float, 3, Storage::Opaque), InvertedKey},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    Host host(BundlePath(), layout.options);
    for (const auto& [format, settings] : formats) {
      SCOPED_TRACE(Name(format));
      auto instance = host.CreateInstance(format);
      Apply(settings(), *instance);
      const Frame source = CelFrame(format.depth, format.channels, format.storage, kBounds);
      const Frame full = Expected(source, settings(), instance->OutputFormat());
      for (const OfxRectI& w : Windows(kBounds)) {
        SCOPED_TRACE(std::to_string(w.x1) + "," + std::to_string(w.y1) + " to " + std::to_string(w.x2) + "," + std::to_string(w.y2));
        EXPECT_EQ(Difference(instance->Render(source, 3, w).output, Crop(full, w)), "");
      }
    }
    ExpectClean(host);
  }
}

TEST(OfxRender, AnOpaqueSourcesAlphaCountsAsFullWhateverItHolds) {
  Host host(BundlePath());
  const SourceFormat format = F(BitDepth::Short, 4, Storage::Opaque);
  auto instance = host.CreateInstance(format);
  Apply(Keyed(), *instance);
  const Frame whole = CelFrame(format.depth, 4, format.storage, kBounds);
  Frame junk = whole;
  for (std::size_t i = 6; i < junk.pixels.size(); i += 8) junk.pixels[i] = static_cast<unsigned char>(i);
  ofxhost::Frame fromWhole = instance->Render(whole, 0).output, fromJunk = instance->Render(junk, 0).output;
  EXPECT_EQ(Difference(fromJunk, fromWhole), "");
  instance.reset();
  ExpectClean(host);
}

// Without a source the output is transparent black; with a source that fails, so does the render,
// and whatever the effect held is handed back.
TEST(OfxRender, WithoutASourceImage) {
  const SourceFormat format = F(BitDepth::Byte, 4, Storage::PreMultiplied);
  const Frame source = CelFrame(format.depth, 4, format.storage, kBounds);
  ofxhost::HostOptions options;
  options.source = ofxhost::HostOptions::SourceClip::Disconnected;
  {
    Host host(BundlePath(), options);
    auto instance = host.CreateInstance(format);
    const ofxhost::RenderResult result = instance->Render(source, 0);
    EXPECT_EQ(result.output.pixels, std::vector<unsigned char>(source.pixels.size(), 0));
    instance.reset();
    ExpectClean(host);
  }
  options.source = ofxhost::HostOptions::SourceClip::Failing;
  Host host(BundlePath(), options);
  auto instance = host.CreateInstance(format);
  try {
    instance->Render(source, 0);
    ADD_FAILURE() << "the render succeeded without its source";
  } catch (const ofxhost::HostError& e) {
    EXPECT_NE(std::string(e.what()).find("the render failed (status 1)"), std::string::npos) << e.what();
  }
  instance.reset();
  ExpectClean(host);
}

TEST(OfxRender, NoSoftnessAndNoKeyIsAnIdentityThatTheHostCopies) {
  Host host(BundlePath());
  const SourceFormat format = F(BitDepth::Short, 4, Storage::PreMultiplied);
  auto instance = host.CreateInstance(format);
  const Frame source = CelFrame(format.depth, format.channels, format.storage, kBounds);
  instance->SetParam("softness", {0});
  const ofxhost::RenderResult identity = instance->Render(source, 0);
  EXPECT_TRUE(identity.identity);
  EXPECT_EQ(Difference(identity.output, source), "");
  // The key still keys at softness 0.
  Settings keyed = Keyed();
  keyed.params.softness = 0;
  Apply(keyed, *instance);
  const ofxhost::RenderResult rendered = instance->Render(source, 0);
  EXPECT_FALSE(rendered.identity);
  EXPECT_EQ(Difference(rendered.output, Expected(source, keyed, instance->OutputFormat())), "");
  EXPECT_NE(Difference(rendered.output, source), "");
  instance.reset();
  ExpectClean(host);
}

TEST(OfxRender, AProxyScaleChangesNoParameter) {
  ofxhost::HostOptions half;
  half.renderScale = 0.5;
  Host host(BundlePath(), half);
  const SourceFormat format = F(BitDepth::Byte, 4, Storage::UnPreMultiplied);
  auto instance = host.CreateInstance(format);
  Apply(Keyed(), *instance);
  const Frame source = CelFrame(format.depth, format.channels, format.storage, kBounds);
  EXPECT_EQ(Difference(instance->Render(source, 0).output, Expected(source, Keyed(), instance->OutputFormat())), "");
  instance.reset();
  ExpectClean(host);
}

TEST(OfxRender, FramesAndTilesOnSeveralThreadsAsOneByOne) {
  Host host(BundlePath());
  const SourceFormat format = F(BitDepth::Float, 4, Storage::PreMultiplied);
  auto first = host.CreateInstance(format);
  auto second = host.CreateInstance(F(BitDepth::Byte, 4, Storage::UnPreMultiplied));
  Apply(Keyed(), *first);
  const Frame a = CelFrame(format.depth, 4, format.storage, kBounds);
  const Frame b = CelFrame(BitDepth::Byte, 4, Storage::UnPreMultiplied, {0, 0, 120, 50});
  const std::vector<OfxRectI> windows = Windows(kBounds);
  std::vector<Frame> alone;
  for (const OfxRectI& w : windows) alone.push_back(first->Render(a, 0, w).output);
  const Frame bAlone = second->Render(b, 0).output;
  std::vector<Frame> together(windows.size());
  std::vector<Frame> bTogether(4);
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t i = t; i < windows.size(); i += 4) together[i] = first->Render(a, 0, windows[i]).output;
      bTogether[t] = second->Render(b, 0).output;
    });
  }
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < windows.size(); ++i) EXPECT_EQ(Difference(together[i], alone[i]), "") << "window " << i;
  for (const Frame& f : bTogether) EXPECT_EQ(Difference(f, bAlone), "");
  first.reset();
  second.reset();
  ExpectClean(host);
}

TEST(OfxParams, TheKeyControlsAreEnabledWhileTheKeyIsOn) {
  Host host(BundlePath());
  auto instance = host.CreateInstance(F(BitDepth::Byte, 4, Storage::UnPreMultiplied));
  const auto enabled = [&] {
    return std::vector<bool>{instance->ParamEnabled("keyColor"), instance->ParamEnabled("keyColorThreshold"),
                             instance->ParamEnabled("invert")};
  };
  EXPECT_EQ(enabled(), std::vector<bool>(3, false));
  instance->SetParam("colorKeyEnable", {1});
  EXPECT_EQ(enabled(), std::vector<bool>(3, true));
  EXPECT_TRUE(instance->ParamEnabled("softness"));
  instance.reset();
  ExpectClean(host);
}

}  // namespace

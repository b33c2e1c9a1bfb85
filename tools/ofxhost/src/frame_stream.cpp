#include "ofxhost/frame_stream.h"

#include <cstring>
#include <stdexcept>

namespace ofxhost::stream {
namespace {

using Read = std::function<std::size_t(void*, std::size_t)>;

void Exactly(const Read& read, void* buffer, std::size_t count, const char* what) {
  if (count != 0 && read(buffer, count) != count) throw std::runtime_error(std::string("the stream ends inside ") + what);
}

template <class T>
T Get(const Read& read, const char* what) {
  T value{};
  Exactly(read, &value, sizeof value, what);
  return value;
}

template <class T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

BitDepth DepthOf(std::uint32_t bits) {
  if (bits == 8) return BitDepth::Byte;
  if (bits == 16) return BitDepth::Short;
  if (bits == 32) return BitDepth::Float;
  throw std::runtime_error("depth " + std::to_string(bits) + " is not 8, 16 or 32");
}

std::uint32_t BitsOf(BitDepth depth) { return static_cast<std::uint32_t>(8 * SampleBytes(depth)); }

Storage StorageOf(std::uint32_t storage) {
  if (storage > 2) throw std::runtime_error("storage " + std::to_string(storage) + " is not 0, 1 or 2");
  return storage == 0 ? Storage::Opaque : storage == 1 ? Storage::PreMultiplied : Storage::UnPreMultiplied;
}

std::uint32_t CodeOf(Storage storage) {
  return storage == Storage::Opaque ? 0 : storage == Storage::PreMultiplied ? 1 : 2;
}

OfxRectI GetRect(const Read& read, const char* what) {
  OfxRectI r;
  r.x1 = Get<std::int32_t>(read, what);
  r.y1 = Get<std::int32_t>(read, what);
  r.x2 = Get<std::int32_t>(read, what);
  r.y2 = Get<std::int32_t>(read, what);
  return r;
}

void PutRect(std::string& out, const OfxRectI& r) {
  for (int v : {r.x1, r.y1, r.x2, r.y2}) Put<std::int32_t>(out, v);
}

// A frame's header fields, checked, and room for its pixels.
Frame MakeFrame(std::uint32_t bits, std::uint32_t channels, std::uint32_t storage, const OfxRectI& bounds) {
  if (channels != 3 && channels != 4) throw std::runtime_error("channels " + std::to_string(channels) + " are not 3 or 4");
  const long long w = static_cast<long long>(bounds.x2) - bounds.x1, h = static_cast<long long>(bounds.y2) - bounds.y1;
  if (w < 0 || h < 0 || w > kMaxSide || h > kMaxSide) throw std::runtime_error("bounds of a frame out of range");
  return Frame(DepthOf(bits), static_cast<int>(channels), StorageOf(storage), bounds);
}

}  // namespace

bool ReadRequest(const Read& read, Request& request) {
  std::uint32_t magic = 0;
  const std::size_t got = read(&magic, sizeof magic);
  if (got == 0) return false;
  if (got != sizeof magic || magic != kRequestMagic) throw std::runtime_error("a request does not start with OXF1");
  const auto bits = Get<std::uint32_t>(read, "a request");
  const auto channels = Get<std::uint32_t>(read, "a request");
  const auto storage = Get<std::uint32_t>(read, "a request");
  const OfxRectI bounds = GetRect(read, "a request");
  request.window = GetRect(read, "a request");
  request.params.clear();
  const auto count = Get<std::uint32_t>(read, "a request");
  if (count > 4096) throw std::runtime_error("more than 4096 parameters in a request");
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto length = Get<std::uint32_t>(read, "a parameter");
    if (length > 1024) throw std::runtime_error("a parameter name longer than 1024 bytes");
    std::string name(length, '\0');
    Exactly(read, name.data(), length, "a parameter");
    const auto values = Get<std::uint32_t>(read, "a parameter");
    if (values > 16) throw std::runtime_error("more than 16 values for a parameter");
    std::vector<double> v(values);
    Exactly(read, v.data(), values * sizeof(double), "a parameter");
    request.params.emplace_back(std::move(name), std::move(v));
  }
  request.source = MakeFrame(bits, channels, storage, bounds);
  Exactly(read, request.source.pixels.data(), request.source.pixels.size(), "a frame's pixels");
  return true;
}

std::string EncodeRequest(const Request& request) {
  std::string out;
  const Frame& f = request.source;
  Put(out, kRequestMagic);
  Put(out, BitsOf(f.depth));
  Put(out, static_cast<std::uint32_t>(f.channels));
  Put(out, CodeOf(f.storage));
  PutRect(out, f.bounds);
  PutRect(out, request.window);
  Put(out, static_cast<std::uint32_t>(request.params.size()));
  for (const auto& [name, values] : request.params) {
    Put(out, static_cast<std::uint32_t>(name.size()));
    out += name;
    Put(out, static_cast<std::uint32_t>(values.size()));
    for (double v : values) Put(out, v);
  }
  out.append(reinterpret_cast<const char*>(f.pixels.data()), f.pixels.size());
  return out;
}

void ReadReply(const Read& read, Reply& reply) {
  if (Get<std::uint32_t>(read, "a reply") != kReplyMagic) throw std::runtime_error("a reply does not start with OXR1");
  reply.status = Get<std::int32_t>(read, "a reply");
  const auto bits = Get<std::uint32_t>(read, "a reply");
  const auto channels = Get<std::uint32_t>(read, "a reply");
  const auto storage = Get<std::uint32_t>(read, "a reply");
  const OfxRectI window = GetRect(read, "a reply");
  const auto length = Get<std::uint32_t>(read, "a reply");
  reply.text.assign(length, '\0');
  Exactly(read, reply.text.data(), length, "a reply's text");
  reply.output = MakeFrame(bits, channels, storage, window);
  if (reply.status == kFailed) return;
  Exactly(read, reply.output.pixels.data(), reply.output.pixels.size(), "a reply's pixels");
}

std::string EncodeReply(const Reply& reply) {
  std::string out;
  const Frame& f = reply.output;
  Put(out, kReplyMagic);
  Put(out, reply.status);
  Put(out, BitsOf(f.depth));
  Put(out, static_cast<std::uint32_t>(f.channels));
  Put(out, CodeOf(f.storage));
  PutRect(out, f.bounds);
  Put(out, static_cast<std::uint32_t>(reply.text.size()));
  out += reply.text;
  if (reply.status != kFailed) out.append(reinterpret_cast<const char*>(f.pixels.data()), f.pixels.size());
  return out;
}

}  // namespace ofxhost::stream

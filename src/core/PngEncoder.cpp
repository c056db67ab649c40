#include "core/PngEncoder.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <memory>
#include <thread>
#include <utility>

#include "core/Bmp.h"

namespace core {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kColourRgb = 2;
constexpr std::uint8_t kColourRgba = 6;
// Compressed bytes per IDAT chunk: large enough that the 12 bytes around each do not count, small enough
// that the buffer stays in the cache.
constexpr std::size_t kIdatBytes = 256 * 1024;

// zlib's deflateTune arguments for noise-like pictures (see kPngNoisyLevel): good length and nice length as level 3
// has them, every string of a match inserted in the hash (258, the longest match), and chains of 8.
struct DeflateTune {
  int goodLength, maxInsert, niceLength, maxChain;
};
constexpr DeflateTune kNoisyTune{4, 258, 32, 8};

// One row in this many is filtered to choose the level: enough rows to see the picture's kind, few enough that the
// sample costs a few percent of the filtering.
constexpr std::uint32_t kSampleEvery = 16;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Length, type, data, and the CRC of type and data. `data.size()` is at most kIdatBytes.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], std::span<const std::uint8_t> data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
  PutU32(out, static_cast<std::uint32_t>(crc));
}

// The image data as one zlib stream, cut into IDAT chunks as the compressed bytes arrive.
class IdatWriter {
 public:
  explicit IdatWriter(std::vector<std::uint8_t>& png) : png_(png), buffer_(kIdatBytes) {}
  IdatWriter(const IdatWriter&) = delete;
  IdatWriter& operator=(const IdatWriter&) = delete;
  ~IdatWriter() {
    if (open_) deflateEnd(&z_);
  }

  bool Open(int level, const DeflateTune* tune) {
    open_ = deflateInit(&z_, level) == Z_OK;
    ResetOutput();
    if (!open_) return false;
    return !tune || deflateTune(&z_, tune->goodLength, tune->maxInsert, tune->niceLength, tune->maxChain) == Z_OK;
  }

  // Compresses `data` (at most a row, far below 4 GB); `last` ends the stream and writes what is left.
  bool Write(std::span<const std::uint8_t> data, bool last) {
    z_.next_in = data.data();
    z_.avail_in = static_cast<uInt>(data.size());
    const int flush = last ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
      const int result = deflate(&z_, flush);
      if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return false;
      if (z_.avail_out == 0) {  // a full chunk; there may be more
        PutChunk(png_, "IDAT", buffer_);
        ResetOutput();
        continue;
      }
      // With room left over, deflate has taken all the input; when finishing, it has also ended the stream.
      if (!last) return true;
      if (result != Z_STREAM_END) return false;
      PutChunk(png_, "IDAT", std::span(buffer_).first(buffer_.size() - z_.avail_out));
      return true;
    }
  }

 private:
  void ResetOutput() {
    z_.next_out = buffer_.data();
    z_.avail_out = static_cast<uInt>(buffer_.size());
  }

  std::vector<std::uint8_t>& png_;
  std::vector<std::uint8_t> buffer_;
  z_stream z_{};
  bool open_ = false;
};

std::uint8_t Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Stores the row less its prediction and returns the result's cost: its bytes read as signed differences, summed
// by magnitude (at most 128 * 4 * kBmpMaxDimension: it fits 32 bits). One pass, which the compiler vectorises.
template <typename Predict>
std::uint32_t Apply(const std::uint8_t* x, std::size_t size, Predict predict, std::uint8_t* out) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const auto v = static_cast<std::uint8_t>(x[i] - predict(i));
    out[i] = v;
    sum += static_cast<std::uint32_t>(std::abs(static_cast<std::int8_t>(v)));
  }
  return sum;
}

// The current and the previous row in PNG byte order, and each row filtered five ways. Both rows start after
// one pixel of zeros, which the filters take as the first pixel's left neighbours; the previous row is all
// zeros for the top row. Every loop reads the rows and writes a candidate only, so each compiles to straight
// arithmetic without branches.
class RowFilter {
 public:
  RowFilter(std::size_t rowBytes, std::size_t pixelBytes)
      : size_(rowBytes),
        pixel_(pixelBytes),
        current_(pixelBytes + rowBytes),
        previous_(pixelBytes + rowBytes) {
    for (std::size_t type = 0; type < candidates_.size(); ++type) {
      candidates_[type].resize(1 + rowBytes);
      candidates_[type][0] = static_cast<std::uint8_t>(type);
    }
  }

  std::uint8_t* Current() { return current_.data() + pixel_; }

  // The cheapest filtering of the current row, its filter type first; the current row becomes the previous.
  // `cost`, when given, receives that filtering's cost.
  std::span<const std::uint8_t> Filter(std::uint32_t* cost = nullptr) {
    const std::uint8_t* x = current_.data() + pixel_;
    const std::uint8_t* left = current_.data();
    const std::uint8_t* up = previous_.data() + pixel_;
    const std::uint8_t* upLeft = previous_.data();
    const std::size_t n = size_;
    std::array<std::uint32_t, 5> costs{};
    if (std::equal(x, x + n, up)) {
      // The row repeats the one above: Up leaves nothing, which nothing beats. Common on screens, and cheap to see.
      std::fill_n(Candidate(2), n, std::uint8_t{0});
      costs.fill(1);
      costs[2] = 0;
    } else {
      costs[0] = Apply(x, n, [](std::size_t) { return 0; }, Candidate(0));
      costs[1] = Apply(x, n, [&](std::size_t i) { return left[i]; }, Candidate(1));
      costs[2] = Apply(x, n, [&](std::size_t i) { return up[i]; }, Candidate(2));
      costs[3] = Apply(x, n, [&](std::size_t i) { return (left[i] + up[i]) >> 1; }, Candidate(3));
      costs[4] = Apply(x, n, [&](std::size_t i) { return Paeth(left[i], up[i], upLeft[i]); }, Candidate(4));
    }
    const std::size_t best = static_cast<std::size_t>(std::min_element(costs.begin(), costs.end()) - costs.begin());
    if (cost) *cost = costs[best];
    std::swap(current_, previous_);
    return candidates_[best];
  }

  // The current row becomes the previous without being filtered.
  void Skip() { std::swap(current_, previous_); }

 private:
  std::uint8_t* Candidate(std::size_t type) { return candidates_[type].data() + 1; }

  std::size_t size_;
  std::size_t pixel_;
  std::vector<std::uint8_t> current_;
  std::vector<std::uint8_t> previous_;
  std::array<std::vector<std::uint8_t>, 5> candidates_;  // None, Sub, Up, Average, Paeth: their type numbers
};

// One stored row of blue, green, red (and a fourth byte) to red, green, blue (and alpha when it is kept).
void ToPngOrder(const std::uint8_t* in, std::uint8_t* out, std::uint32_t width, std::uint32_t inBytes, bool alpha) {
  if (inBytes == 3) {
    for (std::uint32_t x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  } else if (!alpha) {
    for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  } else {
    for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
  }
}

bool Describable(const PngSource& s) {
  if (s.bytesPerPixel != 3 && s.bytesPerPixel != 4) return false;
  if (s.alpha && s.bytesPerPixel != 4) return false;
  if (s.width == 0 || s.height == 0 || s.width > kBmpMaxDimension || s.height > kBmpMaxDimension) return false;
  const std::uint64_t rowBytes = static_cast<std::uint64_t>(s.width) * s.bytesPerPixel;
  if (s.stride < rowBytes || s.pixels.size() < rowBytes) return false;
  // Division instead of multiplication: a huge stride cannot overflow.
  return (s.pixels.size() - rowBytes) / s.stride >= s.height - 1;
}

const std::uint8_t* StoredRow(const PngSource& s, std::uint32_t y) {
  const std::uint64_t stored = s.topDown ? y : s.height - 1 - y;
  return s.pixels.data() + stored * s.stride;
}

// The level for this picture: filters every kSampleEvery-th row (below the one above it) and compares the mean
// cost a byte with kPngNoisyMeanCost.
int ChooseLevel(const PngSource& s, std::uint32_t channels) {
  const std::size_t rowBytes = static_cast<std::size_t>(s.width) * channels;
  RowFilter filter(rowBytes, channels);
  std::uint64_t total = 0;
  std::uint64_t bytes = 0;
  for (std::uint32_t y = 1; y < s.height; y += kSampleEvery) {
    ToPngOrder(StoredRow(s, y - 1), filter.Current(), s.width, s.bytesPerPixel, s.alpha);
    filter.Skip();
    ToPngOrder(StoredRow(s, y), filter.Current(), s.width, s.bytesPerPixel, s.alpha);
    std::uint32_t cost = 0;
    filter.Filter(&cost);
    total += cost;
    bytes += rowBytes;
  }
  if (bytes == 0) return kPngScreenLevel;  // one row: nothing to choose by, and little to compress
  return static_cast<double>(total) / static_cast<double>(bytes) >= kPngNoisyMeanCost ? kPngNoisyLevel
                                                                                      : kPngScreenLevel;
}


// deflate's window: a strip is primed with this much of the filtered bytes before it.
constexpr std::size_t kWindowBytes = 32 * 1024;

// Strips a thread: enough that the threads finish together when some run slower, few enough that the strips' seams
// (a sync flush and a block's code tables each) stay a few hundred bytes.
constexpr std::uint64_t kStripsPerThread = 4;

// The two bytes that start a zlib stream with a 32 KB window, as deflateInit writes them for `level`.
std::array<std::uint8_t, 2> ZlibHeader(int level) {
  if (level == Z_DEFAULT_COMPRESSION) level = 6;
  const unsigned levelFlags = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
  unsigned header = (0x78u << 8) | (levelFlags << 6);
  header += 31 - header % 31;
  return {static_cast<std::uint8_t>(header >> 8), static_cast<std::uint8_t>(header)};
}

// One strip of rows, deflated as raw deflate data (no header, no checksum) and wrapped in finished IDAT chunks, with
// the checksum of its filtered bytes alone.
struct Strip {
  std::uint32_t first = 0, end = 0;  // its rows
  std::vector<std::uint8_t> chunks;  // the first strip's start with the zlib header
  uLong adler = 1;
  bool ok = false;
};

// Deflates one strip; the last ends the deflate data, the others end on a byte with a sync flush. Rows before the
// strip are filtered again (as one stream filters them) to prime the window. The chunks and their checksums are made
// here too, so that the thread that joins the strips only copies them. Never throws: it runs on its own thread.
void DeflateStrip(const PngSource& s, std::uint32_t channels, int level, const DeflateTune* tune, bool last,
                  Strip& strip) noexcept {
  z_stream z{};
  bool open = false;
  try {
    const std::size_t rowBytes = static_cast<std::size_t>(s.width) * channels;
    RowFilter filter(rowBytes, channels);
    std::vector<std::uint8_t> window;
    if (strip.first > 0) {
      const auto primeRows = static_cast<std::uint32_t>((kWindowBytes + rowBytes) / (rowBytes + 1));
      const std::uint32_t from = strip.first > primeRows ? strip.first - primeRows : 0;
      if (from > 0) {
        ToPngOrder(StoredRow(s, from - 1), filter.Current(), s.width, s.bytesPerPixel, s.alpha);
        filter.Skip();
      }
      for (std::uint32_t y = from; y < strip.first; ++y) {
        ToPngOrder(StoredRow(s, y), filter.Current(), s.width, s.bytesPerPixel, s.alpha);
        const std::span<const std::uint8_t> row = filter.Filter();
        window.insert(window.end(), row.begin(), row.end());
      }
      if (window.size() > kWindowBytes) window.erase(window.begin(), window.end() - kWindowBytes);
    }
    open = deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    if (!open) return;
    if (tune && deflateTune(&z, tune->goodLength, tune->maxInsert, tune->niceLength, tune->maxChain) != Z_OK) {
      deflateEnd(&z);
      return;
    }
    if (!window.empty() && deflateSetDictionary(&z, window.data(), static_cast<uInt>(window.size())) != Z_OK) {
      deflateEnd(&z);
      return;
    }
    // The output is not zeroed first: of a buffer as large as the bound, deflate writes a third or less.
    std::size_t capacity = deflateBound(&z, static_cast<uLong>((rowBytes + 1) * (strip.end - strip.first))) + 64;
    auto out = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    std::size_t used = 0;
    if (strip.first == 0) {
      const std::array<std::uint8_t, 2> header = ZlibHeader(level);
      std::copy(header.begin(), header.end(), out.get());
      used = header.size();
    }
    const auto room = [&] {  // the output from `used` on
      z.next_out = out.get() + used;
      z.avail_out = static_cast<uInt>(std::min<std::size_t>(capacity - used, 0x40000000));
    };
    room();
    bool done = true;
    for (std::uint32_t y = strip.first; y < strip.end && done; ++y) {
      ToPngOrder(StoredRow(s, y), filter.Current(), s.width, s.bytesPerPixel, s.alpha);
      const std::span<const std::uint8_t> row = filter.Filter();
      strip.adler = adler32(strip.adler, row.data(), static_cast<uInt>(row.size()));
      z.next_in = row.data();
      z.avail_in = static_cast<uInt>(row.size());
      const int flush = y + 1 < strip.end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
      for (;;) {
        const int result = deflate(&z, flush);
        used = static_cast<std::size_t>(z.next_out - out.get());
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
          done = false;
        } else if (z.avail_out == 0) {  // out of room, with more to come perhaps
          auto larger = std::make_unique_for_overwrite<std::uint8_t[]>(capacity * 2);
          std::copy_n(out.get(), used, larger.get());
          out = std::move(larger);
          capacity *= 2;
          room();
          continue;
        } else if (flush == Z_FINISH && result != Z_STREAM_END) {
          done = false;
        }
        break;  // with room left over, deflate has taken the row and done the flush asked for
      }
    }
    deflateEnd(&z);
    open = false;
    if (!done) return;
    strip.chunks.reserve(used + (used / kIdatBytes + 1) * 12);
    for (std::size_t at = 0; at < used; at += kIdatBytes) {
      PutChunk(strip.chunks, "IDAT", std::span(out.get() + at, std::min(kIdatBytes, used - at)));
    }
    strip.ok = true;
  } catch (...) {  // out of memory: the strip fails, and with it the picture
    if (open) deflateEnd(&z);
    strip.ok = false;
  }
}

// The image data deflated in `count` strips on up to `threads` threads (this one included), appended to the PNG as
// IDAT chunks that hold one zlib stream; false when a strip fails. Each thread takes the next strip left until none
// is: a core that runs slower than the others (a virtual machine's, a hybrid processor's efficient core) then holds
// the rest back by a strip at most, not by half the picture.
bool DeflateInStrips(const PngSource& s, std::uint32_t channels, int level, const DeflateTune* tune,
                     std::uint32_t count, std::uint32_t threads, std::vector<std::uint8_t>& png) {
  std::vector<Strip> strips(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    strips[i].first = static_cast<std::uint32_t>(std::uint64_t{s.height} * i / count);
    strips[i].end = static_cast<std::uint32_t>(std::uint64_t{s.height} * (i + 1) / count);
  }
  std::atomic<std::uint32_t> next{0};
  const auto work = [&]() noexcept {
    for (std::uint32_t i = next++; i < count; i = next++) {
      DeflateStrip(s, channels, level, tune, i + 1 == count, strips[i]);
    }
  };
  std::vector<std::thread> workers;
  for (std::uint32_t i = 1; i < threads; ++i) {
    try {
      workers.emplace_back(work);
    } catch (const std::exception&) {  // no thread to be had: the others do its strips
      break;
    }
  }
  work();
  for (std::thread& worker : workers) worker.join();

  uLong adler = 1;
  const auto rowBytes = static_cast<z_off_t>(std::uint64_t{s.width} * channels + 1);
  std::size_t size = png.size() + 12 + 4 + 12;  // and the checksum's chunk and IEND
  for (const Strip& strip : strips) {
    if (!strip.ok) return false;
    size += strip.chunks.size();
  }
  png.reserve(size);
  for (const Strip& strip : strips) {
    png.insert(png.end(), strip.chunks.begin(), strip.chunks.end());
    adler = adler32_combine(adler, strip.adler, rowBytes * static_cast<z_off_t>(strip.end - strip.first));
  }
  std::vector<std::uint8_t> checksum;
  PutU32(checksum, static_cast<std::uint32_t>(adler));
  PutChunk(png, "IDAT", checksum);
  return true;
}

// How many threads and strips the picture is deflated on: kStripsPerThread strips a thread, each of at least the
// minimum; one strip means one stream.
struct StripPlan {
  std::uint32_t strips = 1;
  std::uint32_t threads = 1;
};

StripPlan PlanStrips(const PngSource& s, std::uint32_t channels, const PngThreads& threads) {
  const std::uint64_t count = std::max(threads.count ? threads.count : std::thread::hardware_concurrency(), 1u);
  if (count == 1) return {};
  const std::uint64_t bytes = (std::uint64_t{s.width} * channels + 1) * s.height;
  const std::uint64_t fit = std::max<std::uint64_t>(bytes / std::max<std::uint64_t>(threads.minStripBytes, 1), 1);
  const auto strips = static_cast<std::uint32_t>(std::min<std::uint64_t>({count * kStripsPerThread, fit, s.height}));
  return {strips, static_cast<std::uint32_t>(std::min<std::uint64_t>(count, strips))};
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngSource& source, int level, PngThreads threads) {
  if (!Describable(source)) return {};
  const std::uint32_t channels = source.alpha ? 4 : 3;
  const bool choose = level == kPngChooseLevel;
  if (choose) level = ChooseLevel(source, channels);

  std::vector<std::uint8_t> png(kSignature.begin(), kSignature.end());
  std::vector<std::uint8_t> header;
  PutU32(header, source.width);
  PutU32(header, source.height);
  // Bit depth, colour type, then compression, filter method and interlace: the only defined methods, no interlace.
  header.insert(header.end(), {8, source.alpha ? kColourRgba : kColourRgb, 0, 0, 0});
  PutChunk(png, "IHDR", header);

  const DeflateTune* tune = choose && level == kPngNoisyLevel ? &kNoisyTune : nullptr;
  if (const StripPlan plan = PlanStrips(source, channels, threads); plan.strips > 1) {
    if (!DeflateInStrips(source, channels, level, tune, plan.strips, plan.threads, png)) return {};
    PutChunk(png, "IEND", {});
    return png;
  }

  IdatWriter idat(png);
  if (!idat.Open(level, tune)) return {};
  RowFilter filter(static_cast<std::size_t>(source.width) * channels, channels);
  for (std::uint32_t y = 0; y < source.height; ++y) {
    ToPngOrder(StoredRow(source, y), filter.Current(), source.width, source.bytesPerPixel, source.alpha);
    if (!idat.Write(filter.Filter(), y + 1 == source.height)) return {};
  }
  PutChunk(png, "IEND", {});
  return png;
}

std::vector<std::uint8_t> EncodeBmpAsPng(std::span<const std::uint8_t> file, int level, PngThreads threads) {
  const BmpCheck check = CheckBmp(file);
  if (!check.ok()) return {};
  const BmpLayout& l = check.layout;
  PngSource source;
  source.pixels = file.subspan(static_cast<std::size_t>(l.pixelOffset), static_cast<std::size_t>(l.pixelBytes));
  source.width = l.width;
  source.height = l.height;
  source.stride = l.stride;
  source.topDown = l.topDown;
  if (l.bitsPerPixel == 24 && l.compression == kBiRgb) {
    source.bytesPerPixel = 3;
  } else if (l.bitsPerPixel == 32 && l.compression == kBiRgb) {
    source.bytesPerPixel = 4;  // the fourth byte is padding
  } else if (l.bitsPerPixel == 32 && l.compression == kBiBitfields && l.redMask == 0xFF0000 &&
             l.greenMask == 0xFF00 && l.blueMask == 0xFF && (l.alphaMask == 0 || l.alphaMask == 0xFF000000)) {
    source.bytesPerPixel = 4;
    source.alpha = l.alphaMask != 0;
  } else {
    return {};
  }
  return EncodePng(source, level, threads);
}

}  // namespace core

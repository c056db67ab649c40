// pixelart: turns pixel art written as text into a Windows .ico or .cur file. Runs on the build machine.
//
//   pixelart <art.txt> <out.ico|out.cur>
//
// The art file, line by line ('#' starts a comment line outside images; blank lines are ignored there):
//   kind icon | cursor
//   bits 1 | 4 | 32         1: black and white; 4: the standard 16-colour palette; 32: any colour, with alpha
//   hotspot X Y             cursors only: the pixel that is the pointer's position
//   color C VALUE           the legend: pixel character C means VALUE, which is "transparent", one of the
//                           16 standard colour names (black, maroon, ..., white) or #RRGGBB
//   image WxH               followed by exactly H rows of exactly W pixel characters; repeat for more sizes
//
// Any mistake (a row of the wrong length, a character without a legend entry, a colour that the depth cannot hold)
// stops with "file:line: message" and writes nothing, so a typo fails the build instead of producing garbage.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Ink {
  bool transparent = false;
  Rgb colour;
};

struct NamedColour {
  std::string_view name;
  Rgb rgb;
};

// The 16-colour palette every Windows display driver knows, in its index order.
constexpr NamedColour kStandardPalette[16] = {
    {"black", {0x00, 0x00, 0x00}},  {"maroon", {0x80, 0x00, 0x00}}, {"green", {0x00, 0x80, 0x00}},
    {"olive", {0x80, 0x80, 0x00}},  {"navy", {0x00, 0x00, 0x80}},   {"purple", {0x80, 0x00, 0x80}},
    {"teal", {0x00, 0x80, 0x80}},   {"silver", {0xC0, 0xC0, 0xC0}}, {"gray", {0x80, 0x80, 0x80}},
    {"red", {0xFF, 0x00, 0x00}},    {"lime", {0x00, 0xFF, 0x00}},   {"yellow", {0xFF, 0xFF, 0x00}},
    {"blue", {0x00, 0x00, 0xFF}},   {"fuchsia", {0xFF, 0x00, 0xFF}}, {"aqua", {0x00, 0xFF, 0xFF}},
    {"white", {0xFF, 0xFF, 0xFF}},
};
constexpr Rgb kBlack{0x00, 0x00, 0x00};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
constexpr int kMaxSide = 256;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Ink> pixels;  // top row first
};

struct Art {
  bool cursor = false;
  int bits = 0;
  std::optional<std::pair<int, int>> hotspot;
  std::vector<Image> images;
};

// A mistake in the art file; line 0 means the file as a whole.
class ArtError : public std::runtime_error {
 public:
  explicit ArtError(const std::string& message, int line = 0) : std::runtime_error(message), line_(line) {}
  int Line() const { return line_; }

 private:
  int line_;
};

std::string Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return std::string(s.substr(first, last - first + 1));
}

std::optional<int> ParseInt(const std::string& s) {
  if (s.empty() || s.size() > 6) return std::nullopt;
  int value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<Ink> ParseInk(const std::string& value) {
  if (value == "transparent") return Ink{true, {}};
  for (const auto& named : kStandardPalette) {
    if (value == named.name) return Ink{false, named.rgb};
  }
  if (value.size() == 7 && value[0] == '#') {
    std::uint8_t parts[3] = {};
    for (int i = 0; i < 3; ++i) {
      const auto high = HexDigit(value[1 + 2 * i]);
      const auto low = HexDigit(value[2 + 2 * i]);
      if (!high || !low) return std::nullopt;
      parts[i] = static_cast<std::uint8_t>(*high * 16 + *low);
    }
    return Ink{false, {parts[0], parts[1], parts[2]}};
  }
  return std::nullopt;
}

std::optional<int> StandardIndex(const Rgb& rgb) {
  for (int i = 0; i < 16; ++i) {
    if (kStandardPalette[i].rgb == rgb) return i;
  }
  return std::nullopt;
}

// Reads the whole art description; throws ArtError, carrying the line, on the first mistake.
Art ParseArt(std::istream& in) {
  Art art;
  bool haveKind = false;
  std::map<char, Ink> legend;
  std::string line;
  int lineNo = 0;
  auto fail = [&lineNo](const std::string& message) -> ArtError {
    return ArtError(message, lineNo);
  };

  while (std::getline(in, line)) {
    ++lineNo;
    const std::string text = Trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    std::istringstream words(text);
    std::string keyword;
    words >> keyword;
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);

    if (keyword == "kind") {
      if (haveKind) throw fail("kind given twice");
      if (args.size() != 1 || (args[0] != "icon" && args[0] != "cursor"))
        throw fail("expected \"kind icon\" or \"kind cursor\"");
      art.cursor = args[0] == "cursor";
      haveKind = true;
    } else if (keyword == "bits") {
      if (art.bits != 0) throw fail("bits given twice");
      const auto bits = args.size() == 1 ? ParseInt(args[0]) : std::nullopt;
      if (!bits || (*bits != 1 && *bits != 4 && *bits != 32)) throw fail("bits must be 1, 4 or 32");
      art.bits = *bits;
    } else if (keyword == "hotspot") {
      if (art.hotspot) throw fail("hotspot given twice");
      const auto x = args.size() == 2 ? ParseInt(args[0]) : std::nullopt;
      const auto y = args.size() == 2 ? ParseInt(args[1]) : std::nullopt;
      if (!x || !y) throw fail("expected \"hotspot X Y\" with two non-negative numbers");
      art.hotspot = std::make_pair(*x, *y);
    } else if (keyword == "color") {
      if (art.bits == 0) throw fail("give \"bits\" before the colours");
      if (args.size() != 2 || args[0].size() != 1) throw fail("expected \"color C VALUE\" with a single character C");
      const char c = args[0][0];
      if (legend.count(c)) throw fail(std::string("character '") + c + "' defined twice");
      const auto ink = ParseInk(args[1]);
      if (!ink) throw fail("unknown colour \"" + args[1] + "\" (a standard colour name, #RRGGBB or transparent)");
      if (!ink->transparent) {
        if (art.bits == 1 && ink->colour != kBlack && ink->colour != kWhite)
          throw fail("a 1-bit image holds only black, white and transparent");
        if (art.bits == 4 && !StandardIndex(ink->colour))
          throw fail("\"" + args[1] + "\" is not in the standard 16-colour palette");
      }
      legend[c] = *ink;
    } else if (keyword == "image") {
      if (legend.empty()) throw fail("give the colours before the first image");
      const auto x = args.size() == 1 ? args[0].find('x') : std::string::npos;
      const auto w = x != std::string::npos ? ParseInt(args[0].substr(0, x)) : std::nullopt;
      const auto h = x != std::string::npos ? ParseInt(args[0].substr(x + 1)) : std::nullopt;
      if (!w || !h || *w < 1 || *h < 1 || *w > kMaxSide || *h > kMaxSide)
        throw fail("expected \"image WxH\" with sides from 1 to 256");
      for (const auto& other : art.images) {
        if (other.width == *w && other.height == *h) throw fail("a " + args[0] + " image is there already");
      }
      Image image{*w, *h, {}};
      image.pixels.reserve(static_cast<std::size_t>(*w) * *h);
      for (int row = 0; row < *h; ++row) {
        if (!std::getline(in, line)) throw fail("the image ends after " + std::to_string(row) + " of " +
                                                std::to_string(*h) + " rows");
        ++lineNo;
        // Trailing blanks and a carriage return (a checkout with CRLF line ends) are not pixels.
        const auto end = line.find_last_not_of(" \t\r");
        const std::string_view pixels(line.data(), end == std::string::npos ? 0 : end + 1);
        if (static_cast<int>(pixels.size()) != *w)
          throw fail("row has " + std::to_string(pixels.size()) + " pixels, expected " + std::to_string(*w));
        for (std::size_t col = 0; col < pixels.size(); ++col) {
          const auto found = legend.find(pixels[col]);
          if (found == legend.end())
            throw fail(std::string("unknown character '") + pixels[col] + "' in column " + std::to_string(col + 1));
          image.pixels.push_back(found->second);
        }
      }
      art.images.push_back(std::move(image));
    } else {
      throw fail("unknown keyword \"" + keyword + "\"");
    }
  }

  if (!haveKind) throw ArtError("missing \"kind icon\" or \"kind cursor\"");
  if (art.bits == 0) throw ArtError("missing \"bits\"");
  if (art.images.empty()) throw ArtError("no image");
  if (art.cursor && !art.hotspot) throw ArtError("a cursor needs \"hotspot X Y\"");
  if (!art.cursor && art.hotspot) throw ArtError("only a cursor has a hot spot");
  if (art.hotspot) {
    for (const auto& image : art.images) {
      if (art.hotspot->first >= image.width || art.hotspot->second >= image.height)
        throw ArtError("the hot spot lies outside the " + std::to_string(image.width) + "x" +
                       std::to_string(image.height) + " image");
    }
  }
  return art;
}

class ByteWriter {
 public:
  void U8(unsigned v) { bytes_.push_back(static_cast<char>(v & 0xFF)); }
  void U16(unsigned v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Zeros(std::size_t n) { bytes_.append(n, '\0'); }
  std::size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

std::size_t RowBytes(int width, int bits) { return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4; }

// One image as stored in the file: BITMAPINFOHEADER (height doubled for colour plus mask), colour table,
// colour bitmap and AND mask, both bottom-up with rows padded to 32 bits.
std::string EncodeImage(const Image& image, int bits) {
  const std::size_t colourRow = RowBytes(image.width, bits);
  const std::size_t maskRow = RowBytes(image.width, 1);
  ByteWriter out;
  out.U32(40);
  out.U32(static_cast<std::uint32_t>(image.width));
  out.U32(static_cast<std::uint32_t>(image.height * 2));
  out.U16(1);
  out.U16(static_cast<unsigned>(bits));
  out.U32(0);  // BI_RGB
  out.U32(static_cast<std::uint32_t>((colourRow + maskRow) * image.height));
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  if (bits == 1) {
    out.U32(0x000000);
    out.U32(0xFFFFFF);
  } else if (bits == 4) {
    for (const auto& named : kStandardPalette) {
      out.U8(named.rgb.b);
      out.U8(named.rgb.g);
      out.U8(named.rgb.r);
      out.U8(0);
    }
  }

  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(colourRow, 0);
    for (int x = 0; x < image.width; ++x) {
      const Ink& ink = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      if (bits == 32) {
        // Transparent pixels are zero in colour and alpha; the mask marks them too for older readers.
        if (!ink.transparent) {
          row[4 * x] = ink.colour.b;
          row[4 * x + 1] = ink.colour.g;
          row[4 * x + 2] = ink.colour.r;
          row[4 * x + 3] = 0xFF;
        }
        continue;
      }
      // A transparent pixel has colour index 0 (black), so screen AND 1 XOR 0 leaves the screen unchanged.
      const int index = ink.transparent ? 0 : (bits == 1 ? (ink.colour == kWhite ? 1 : 0) : *StandardIndex(ink.colour));
      if (bits == 1) {
        if (index) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else {
        row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
      }
    }
    for (auto b : row) out.U8(b);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskRow, 0);
    for (int x = 0; x < image.width; ++x) {
      if (image.pixels[static_cast<std::size_t>(y) * image.width + x].transparent)
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    for (auto b : row) out.U8(b);
  }
  return out.Bytes();
}

// ICONDIR, one ICONDIRENTRY per image (for a cursor the planes and bit-count fields hold the hot spot), the images.
std::string EncodeFile(const Art& art) {
  std::vector<std::string> images;
  for (const auto& image : art.images) images.push_back(EncodeImage(image, art.bits));
  ByteWriter out;
  out.U16(0);
  out.U16(art.cursor ? 2 : 1);
  out.U16(static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const Image& image = art.images[i];
    out.U8(image.width == kMaxSide ? 0 : static_cast<unsigned>(image.width));
    out.U8(image.height == kMaxSide ? 0 : static_cast<unsigned>(image.height));
    out.U8(art.bits < 8 ? (1u << art.bits) : 0u);
    out.U8(0);
    if (art.cursor) {
      out.U16(static_cast<unsigned>(art.hotspot->first));
      out.U16(static_cast<unsigned>(art.hotspot->second));
    } else {
      out.U16(1);
      out.U16(static_cast<unsigned>(art.bits));
    }
    out.U32(static_cast<std::uint32_t>(images[i].size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  std::string bytes = out.Bytes();
  for (const auto& image : images) bytes += image;
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: pixelart <art.txt> <out.ico|out.cur>\n";
    return 2;
  }
  const std::string source = argv[1];
  const std::string target = argv[2];
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::cerr << source << ": cannot open\n";
    return 1;
  }
  std::string bytes;
  try {
    const Art art = ParseArt(in);
    const bool wantCursor = target.size() >= 4 && target.compare(target.size() - 4, 4, ".cur") == 0;
    if (wantCursor != art.cursor)
      throw ArtError(std::string("the art is ") + (art.cursor ? "a cursor" : "an icon") + " but " + target +
                     " is named as " + (wantCursor ? "a cursor" : "an icon"));
    bytes = EncodeFile(art);
  } catch (const ArtError& e) {
    std::cerr << source;
    if (e.Line() > 0) std::cerr << ":" << e.Line();
    std::cerr << ": error: " << e.what() << "\n";
    return 1;
  }
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::cerr << target << ": cannot write\n";
    std::remove(target.c_str());
    return 1;
  }
  return 0;
}

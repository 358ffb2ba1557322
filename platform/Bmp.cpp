// Windows BMP decoding into Bitmaps: the core (12-byte) and info (40, 52, 56, 108, 124-byte)
// headers; 1, 2, 4 and 8-bit indexed, 16, 24 and 32-bit direct colour; uncompressed, bit
// fields, RLE8 and RLE4; bottom-up and top-down rows. Every header field and size is
// checked against the file before anything is allocated.
#include "platform/Picture.h"

#include <array>
#include <cstring>

namespace platform {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

uint32_t Le16(std::span<const uint8_t> b, size_t at) { return static_cast<uint32_t>(b[at] | (b[at + 1] << 8)); }
uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

[[noreturn]] void Refuse(const std::string& why) { throw EPictureError("BMP: cannot be decoded: " + why); }

// The picture is allocated from the header's size, so its claims are checked against the
// file first.
void CheckBmpHeader(std::span<const uint8_t> b) {
    if (b.size() < 26) throw EPictureError("BMP: file too short");
    const uint32_t headerSize = Le32(b, 14);
    long long w = 0, h = 0;
    uint32_t bits = 0, compression = 0;
    if (headerSize == 12) {
        w = Le16(b, 18);
        h = Le16(b, 20);
        bits = Le16(b, 24);
    } else {
        if (b.size() < 34) throw EPictureError("BMP: file too short");
        w = static_cast<int32_t>(Le32(b, 18));
        h = static_cast<int32_t>(Le32(b, 22));
        if (h < 0) h = -h;
        bits = Le16(b, 28);
        compression = Le32(b, 30);
    }
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels)
        throw EPictureError("BMP: unsupported picture size " + std::to_string(w) + " x " + std::to_string(h));
    if ((compression == kRgb || compression == kBitFields) && bits > 0 && bits <= 32) {
        const long long stride = ((w * bits + 31) / 32) * 4;
        if (static_cast<long long>(Le32(b, 10)) + stride * h > static_cast<long long>(b.size()))
            throw EPictureError("BMP: pixel data cut short");
    }
}

// One colour channel of a direct-colour pixel: where it sits and how many bits it has.
struct Channel {
    int Shift = 0;
    int Bits = 0;

    static Channel FromMask(uint32_t mask) {
        Channel c;
        if (mask == 0) return c;
        while (!(mask & 1)) {
            mask >>= 1;
            ++c.Shift;
        }
        while (mask & 1) {
            mask >>= 1;
            ++c.Bits;
        }
        return c;
    }
    // The channel (of at most 8 bits) scaled to 0..255, rounding down.
    uint8_t Expand(uint32_t pixel) const {
        const uint32_t top = (1u << Bits) - 1;
        return static_cast<uint8_t>(((pixel >> Shift) & top) * 255 / top);
    }
};

struct Masks {
    uint32_t R, G, B, A;
    friend bool operator==(const Masks&, const Masks&) = default;
};

// The bit-field layouts accepted: the usual 16 and 32-bit arrangements of red, green, blue
// and alpha.
constexpr std::array<Masks, 12> kMasks16 = {{
    {0x7C00, 0x03E0, 0x001F, 0},
    {0x001F, 0x03E0, 0x7C00, 0},
    {0xF800, 0x07E0, 0x001F, 0},
    {0x001F, 0x07E0, 0xF800, 0},
    {0x0F00, 0x00F0, 0x000F, 0xF000},
    {0xF000, 0x0F00, 0x00F0, 0x000F},
    {0x000F, 0x00F0, 0x0F00, 0xF000},
    {0x00F0, 0x0F00, 0xF000, 0x000F},
    {0x7C00, 0x03E0, 0x001F, 0x8000},
    {0xF800, 0x07C0, 0x003E, 0x0001},
    {0x001F, 0x03E0, 0x7C00, 0x8000},
    {0x003E, 0x07C0, 0xF800, 0x0001},
}};
constexpr std::array<Masks, 8> kMasks32 = {{
    {0x00FF0000, 0x0000FF00, 0x000000FF, 0},
    {0xFF000000, 0x00FF0000, 0x0000FF00, 0},
    {0x000000FF, 0x0000FF00, 0x00FF0000, 0},
    {0x0000FF00, 0x00FF0000, 0xFF000000, 0},
    {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
    {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
}};

template <size_t N>
bool Known(const std::array<Masks, N>& table, const Masks& m) {
    for (const Masks& k : table)
        if (k == m) return true;
    return false;
}

struct Header {
    uint32_t PixelOffset = 0;
    uint32_t Size = 0;  // of the info header
    int Width = 0, Height = 0;
    bool TopDown = false;
    int Bits = 0;
    uint32_t Compression = kRgb;
    uint32_t ColoursUsed = 0;
    Masks Fields{0, 0, 0, 0};
};

Header ReadHeader(std::span<const uint8_t> b) {
    Header h;
    h.PixelOffset = Le32(b, 10);
    h.Size = Le32(b, 14);
    if (h.Size == 12) {
        h.Width = static_cast<int>(Le16(b, 18));
        h.Height = static_cast<int>(Le16(b, 20));
        h.Bits = static_cast<int>(Le16(b, 24));
    } else if (h.Size == 40 || h.Size == 52 || h.Size == 56 || h.Size == 108 || h.Size == 124) {
        if (b.size() < 14 + 40) throw EPictureError("BMP: file too short");
        const int32_t height = static_cast<int32_t>(Le32(b, 22));
        h.Width = static_cast<int32_t>(Le32(b, 18));
        h.TopDown = height < 0;
        h.Height = h.TopDown ? -height : height;  // the size check has bounded it
        h.Bits = static_cast<int>(Le16(b, 28));
        h.Compression = Le32(b, 30);
        h.ColoursUsed = Le32(b, 46);
        if (h.Compression == kBitFields) {
            // The masks follow a 40-byte header, or are part of a longer one; only the longer
            // ones carry an alpha mask.
            const size_t need = 14 + 40 + (h.Size >= 56 ? 16 : 12);
            if (b.size() < need) throw EPictureError("BMP: file too short");
            h.Fields = Masks{Le32(b, 54), Le32(b, 58), Le32(b, 62), h.Size >= 56 ? Le32(b, 66) : 0};
        }
    } else {
        Refuse("unsupported header size " + std::to_string(h.Size));
    }
    if (b.size() < 14 + static_cast<size_t>(h.Size)) throw EPictureError("BMP: file too short");
    if (h.PixelOffset < 14 + h.Size || h.PixelOffset >= b.size()) Refuse("pixel data offset out of range");

    switch (h.Compression) {
        case kRgb:
            if (h.Bits != 1 && h.Bits != 2 && h.Bits != 4 && h.Bits != 8 && h.Bits != 16 && h.Bits != 24 &&
                h.Bits != 32)
                Refuse(std::to_string(h.Bits) + "-bit pixels are not supported");
            break;
        case kRle8:
        case kRle4:
            if (h.Bits != (h.Compression == kRle8 ? 8 : 4)) Refuse("run-length coding does not match the depth");
            if (h.TopDown) Refuse("run-length coded rows cannot be top-down");
            break;
        case kBitFields:
            if (!(h.Bits == 16 && Known(kMasks16, h.Fields)) && !(h.Bits == 32 && Known(kMasks32, h.Fields)))
                Refuse("unsupported bit fields");
            break;
        default: Refuse("unsupported compression " + std::to_string(h.Compression));
    }
    return h;
}

// The colour table of an indexed picture: its entries (as many as the header says, or the
// depth allows when it says none) go to the Bitmap's palette; the rest stay black.
int ReadColourTable(std::span<const uint8_t> b, const Header& h, Bitmap& image) {
    int count = h.ColoursUsed == 0 ? 1 << h.Bits : (h.ColoursUsed > 256 ? 256 : static_cast<int>(h.ColoursUsed));
    const size_t entry = h.Size == 12 ? 3 : 4;
    const size_t at = 14 + static_cast<size_t>(h.Size);
    if (at + entry * count > b.size()) Refuse("colour table cut short");
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = &b[at + entry * i];
        image.Palette()[i] = RGB{e[2], e[1], e[0]};
    }
    return count;
}

void ReadIndexedRows(std::span<const uint8_t> b, const Header& h, int colours, Bitmap& image) {
    const size_t stride = ((static_cast<size_t>(h.Width) * h.Bits + 31) / 32) * 4;
    const int perByte = 8 / h.Bits;
    const unsigned mask = (1u << h.Bits) - 1;
    for (int r = 0; r < h.Height; ++r) {
        const uint8_t* src = &b[h.PixelOffset + stride * r];
        uint8_t* dst = image.Row(h.TopDown ? r : h.Height - 1 - r);
        for (int x = 0; x < h.Width; ++x) {
            const int shift = 8 - h.Bits * (x % perByte + 1);
            const uint8_t v = static_cast<uint8_t>((src[x / perByte] >> shift) & mask);
            if (v >= colours) Refuse("a pixel names a colour outside the colour table");
            dst[x] = v;
        }
    }
}

// RLE8 and RLE4: runs and literal stretches from the bottom row up, with end-of-line,
// end-of-picture and skip escapes. Pixels that land outside the picture are dropped.
void ReadRunLengthRows(std::span<const uint8_t> b, const Header& h, Bitmap& image) {
    const bool rle8 = h.Compression == kRle8;
    size_t at = h.PixelOffset;
    long long x = 0, row = h.Height - 1;  // row counts down as the picture is read bottom-up
    auto put = [&](uint8_t v) {
        if (row >= 0 && x < h.Width) image.Row(static_cast<int>(row))[x] = v;
        ++x;
    };
    auto next = [&]() -> uint8_t {
        if (at >= b.size()) Refuse("run-length data ends before the end-of-picture mark");
        return b[at++];
    };
    for (;;) {
        const uint8_t count = next();
        if (count != 0) {
            const uint8_t v = next();
            for (int i = 0; i < count; ++i) put(rle8 ? v : static_cast<uint8_t>(i % 2 ? v & 0x0F : v >> 4));
            continue;
        }
        const uint8_t code = next();
        if (code == 0) {  // end of line
            x = 0;
            --row;
        } else if (code == 1) {  // end of picture
            return;
        } else if (code == 2) {  // skip right and up
            x += next();
            row -= next();
        } else {  // a literal stretch of `code` pixels, padded to an even number of bytes
            const int bytes = rle8 ? code : (code + 1) / 2;
            for (int i = 0; i < code; ++i) {
                if (rle8) {
                    put(next());
                } else {
                    const uint8_t v = i % 2 ? b[at - 1] : next();
                    put(static_cast<uint8_t>(i % 2 ? v & 0x0F : v >> 4));
                }
            }
            if (bytes % 2) next();
        }
        if (row < -1) row = -1;  // far above the top: everything after is dropped anyway
        if (x > h.Width) x = h.Width;
    }
}

void ReadDirectRows(std::span<const uint8_t> b, const Header& h, Bitmap& image) {
    const size_t stride = ((static_cast<size_t>(h.Width) * h.Bits + 31) / 32) * 4;
    const size_t rowBytes = static_cast<size_t>(h.Width) * image.BytesPerPixel();
    if (h.Bits == 24) {  // already the Bitmap's layout: B, G, R
        for (int r = 0; r < h.Height; ++r)
            std::memcpy(image.Row(h.TopDown ? r : h.Height - 1 - r), &b[h.PixelOffset + stride * r], rowBytes);
        return;
    }
    // Uncompressed pictures have fixed layouts: 5-5-5 and 8-8-8 with the top byte unused.
    const Masks m = h.Compression == kBitFields ? h.Fields
                    : h.Bits == 16              ? Masks{0x7C00, 0x03E0, 0x001F, 0}
                                                : Masks{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    const Channel red = Channel::FromMask(m.R), green = Channel::FromMask(m.G), blue = Channel::FromMask(m.B);
    // A 32-bit picture already in the Bitmap's own layout keeps its fourth byte as it is.
    const bool asIs = h.Bits == 32 && h.Compression == kBitFields && m == Masks{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    for (int r = 0; r < h.Height; ++r) {
        const size_t src = h.PixelOffset + stride * r;
        uint8_t* dst = image.Row(h.TopDown ? r : h.Height - 1 - r);
        if (asIs) {
            std::memcpy(dst, &b[src], rowBytes);
            continue;
        }
        for (int x = 0; x < h.Width; ++x) {
            const uint32_t p = h.Bits == 16 ? Le16(b, src + 2 * x) : Le32(b, src + 4 * x);
            uint8_t* d = dst + x * image.BytesPerPixel();
            d[0] = blue.Expand(p);
            d[1] = green.Expand(p);
            d[2] = red.Expand(p);
            if (h.Bits == 32) d[3] = 0;
        }
    }
}

}  // namespace

Picture DecodeBMP(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') throw EPictureError("BMP: not a bitmap file");
    CheckBmpHeader(bytes);
    const Header h = ReadHeader(bytes);

    Picture p;
    if (h.Bits <= 8) {
        // Indexed: the pixels stay indices and the colour table becomes the palette.
        p.Image = Bitmap(h.Width, h.Height, 8);
        const int colours = ReadColourTable(bytes, h, p.Image);
        if (h.Compression == kRgb) ReadIndexedRows(bytes, h, colours, p.Image);
        else ReadRunLengthRows(bytes, h, p.Image);
        p.HasPalette = true;
        p.IndexedDIB = true;
        return p;
    }
    p.Image = Bitmap(h.Width, h.Height, h.Bits == 32 ? 32 : 24);
    ReadDirectRows(bytes, h, p.Image);
    return p;
}

}  // namespace platform

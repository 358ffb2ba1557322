// BMP (through SDL's loader) and JPEG (through libjpeg) decoding into Bitmaps.
#include "platform/Picture.h"

#include <SDL.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>

#include "platform/Files.h"

namespace platform {

namespace {

// Pictures beyond this many pixels are refused rather than allocated.
constexpr long long kMaxPixels = 16LL * 1024 * 1024;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Copies a surface of the given SDL format, row by row, into a Bitmap of the same layout.
void CopyRows(SDL_Surface* s, Bitmap& dst) {
    const int rowBytes = dst.Width() * dst.BytesPerPixel();
    SDL_LockSurface(s);
    for (int y = 0; y < dst.Height(); ++y)
        std::memcpy(dst.Row(y), static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch,
                    static_cast<size_t>(rowBytes));
    SDL_UnlockSurface(s);
}

// ---------------------------------------------------------------------------------------
// JPEG

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char firstWarning[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// Warnings are counted (a damaged picture is refused afterwards), never printed.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    if (level < 0) {
        if (err->mgr.num_warnings == 0) (*cinfo->err->format_message)(cinfo, err->firstWarning);
        ++err->mgr.num_warnings;
        // A damaged picture is refused anyway: stop at once rather than decode the rest.
        longjmp(err->jump, 1);
    }
}

void JpegOutputMessage(j_common_ptr) {}

struct JpegDecompressor {
    jpeg_decompress_struct cinfo{};
    JpegError err{};
    bool created = false;
    ~JpegDecompressor() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
};

}  // namespace

namespace {

constexpr long long kMaxSide = 32768;

uint32_t Le16(std::span<const uint8_t> b, size_t at) { return static_cast<uint32_t>(b[at] | (b[at + 1] << 8)); }
uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The decoder below allocates the whole picture from the header before it reads a pixel,
// so the header's claims are checked against the file first.
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
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels)
        throw EPictureError("BMP: unsupported picture size " + std::to_string(w) + " x " + std::to_string(h));
    if ((compression == 0 || compression == 3) && bits > 0 && bits <= 32) {
        const long long stride = ((w * bits + 31) / 32) * 4;
        if (static_cast<long long>(Le32(b, 10)) + stride * h > static_cast<long long>(b.size()))
            throw EPictureError("BMP: pixel data cut short");
    }
}

}  // namespace

Picture DecodeBMP(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') throw EPictureError("BMP: not a bitmap file");
    CheckBmpHeader(bytes);
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) throw EPictureError(std::string("BMP: ") + SDL_GetError());
    SurfacePtr s(SDL_LoadBMP_RW(rw, 1));
    if (!s) throw EPictureError(std::string("BMP: cannot be decoded: ") + SDL_GetError());
    if (s->w <= 0 || s->h <= 0) throw EPictureError("BMP: empty picture");
    if (static_cast<long long>(s->w) * s->h > kMaxPixels) throw EPictureError("BMP: picture too large");

    Picture p;
    SDL_PixelFormat* fmt = s->format;
    if (fmt->BitsPerPixel <= 8) {
        // Indexed: keep the pixels as indices and the colour table as the palette.
        SurfacePtr idx(fmt->format == SDL_PIXELFORMAT_INDEX8 ? nullptr
                                                             : SDL_ConvertSurfaceFormat(s.get(), SDL_PIXELFORMAT_INDEX8, 0));
        SDL_Surface* src = idx ? idx.get() : s.get();
        if (src->format->format != SDL_PIXELFORMAT_INDEX8) throw EPictureError("BMP: unsupported indexed layout");
        p.Image = Bitmap(src->w, src->h, 8);
        CopyRows(src, p.Image);
        if (SDL_Palette* pal = fmt->palette) {
            for (int i = 0; i < pal->ncolors && i < 256; ++i)
                p.Image.Palette()[i] = RGB{pal->colors[i].r, pal->colors[i].g, pal->colors[i].b};
        }
        p.HasPalette = true;
        p.IndexedDIB = true;
        return p;
    }
    const bool wide = fmt->BitsPerPixel == 32;
    SurfacePtr conv(SDL_ConvertSurfaceFormat(s.get(), wide ? SDL_PIXELFORMAT_XRGB8888 : SDL_PIXELFORMAT_BGR24, 0));
    if (!conv) throw EPictureError(std::string("BMP: cannot be converted: ") + SDL_GetError());
    p.Image = Bitmap(conv->w, conv->h, wide ? 32 : 24);
    CopyRows(conv.get(), p.Image);
    return p;
}

Picture DecodeJPEG(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) throw EPictureError("JPEG: not a JPEG file");
    // Declared before setjmp: a longjmp back here leaves them intact and they clean up.
    JpegDecompressor d;
    Picture p;
    d.cinfo.err = jpeg_std_error(&d.err.mgr);
    d.err.mgr.error_exit = JpegErrorExit;
    d.err.mgr.emit_message = JpegEmitMessage;
    d.err.mgr.output_message = JpegOutputMessage;
    if (setjmp(d.err.jump)) {
        char msg[JMSG_LENGTH_MAX];
        (*d.cinfo.err->format_message)(reinterpret_cast<j_common_ptr>(&d.cinfo), msg);
        throw EPictureError(std::string("JPEG: cannot be decoded: ") + msg);
    }
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    jpeg_mem_src(&d.cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.cinfo, TRUE);
    if (d.cinfo.image_width == 0 || d.cinfo.image_height == 0 || d.cinfo.image_width > kMaxSide ||
        d.cinfo.image_height > kMaxSide ||
        static_cast<long long>(d.cinfo.image_width) * d.cinfo.image_height > kMaxPixels)
        throw EPictureError("JPEG: unsupported picture size " + std::to_string(d.cinfo.image_width) + " x " +
                            std::to_string(d.cinfo.image_height));
    d.cinfo.out_color_space = JCS_EXT_BGR;  // the 24-bit layout: B, G, R
    jpeg_start_decompress(&d.cinfo);
    const int w = static_cast<int>(d.cinfo.output_width), h = static_cast<int>(d.cinfo.output_height);
    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPixels || d.cinfo.output_components != 3) {
        jpeg_abort_decompress(&d.cinfo);
        throw EPictureError("JPEG: unsupported picture size or colour layout");
    }
    p.Image = Bitmap(w, h, 24);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = p.Image.Row(static_cast<int>(d.cinfo.output_scanline));
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    if (d.err.mgr.num_warnings > 0)
        throw EPictureError(std::string("JPEG: corrupt data: ") + d.err.firstWarning);
    return p;
}

Picture DecodePicture(std::span<const uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBMP(bytes);
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return DecodeJPEG(bytes);
    throw EPictureError("Unknown picture format");
}

Picture LoadPicture(std::string_view programName) {
    std::vector<uint8_t> bytes = ReadFileBytes(programName);
    try {
        if (bytes.size() >= 2 && ((bytes[0] == 'B' && bytes[1] == 'M') || (bytes[0] == 0xFF && bytes[1] == 0xD8)))
            return DecodePicture(bytes);
        // No known signature: let the extension name the decoder, whose error says what is wrong.
        const std::string lower = Lower(programName);
        if (EndsWith(lower, ".bmp") || EndsWith(lower, ".dib")) return DecodeBMP(bytes);
        if (EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg")) return DecodeJPEG(bytes);
        return DecodePicture(bytes);
    } catch (const EPictureError& e) {
        throw EPictureError(std::string(programName) + ": " + e.what());
    }
}

}  // namespace platform

// Picture files into Bitmaps: JPEG here (through the libjpeg helper), BMP in Bmp.cpp, and
// the choice between them by content or by name.
#include "platform/Picture.h"

#include <string>

#include "platform/Files.h"
#include "platform/Jpeg.h"

namespace platform {

namespace {

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Picture DecodeJPEG(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) throw EPictureError("JPEG: not a JPEG file");
    try {
        JpegReader reader(bytes);
        const unsigned hw = reader.HeaderWidth(), hh = reader.HeaderHeight();
        if (hw == 0 || hh == 0 || hw > kMaxPictureSide || hh > kMaxPictureSide ||
            static_cast<long long>(hw) * hh > kMaxPicturePixels)
            throw EPictureError("JPEG: unsupported picture size " + std::to_string(hw) + " x " + std::to_string(hh));
        reader.Start(JpegOrder::BGR);  // the 24-bit layout: B, G, R
        const int w = reader.Width(), h = reader.Height();
        if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPicturePixels || reader.Components() != 3)
            throw EPictureError("JPEG: unsupported picture size or colour layout");
        Picture p;
        p.Image = Bitmap(w, h, 24);
        for (int y = 0; y < h; ++y) reader.ReadRow(p.Image.Row(y));
        reader.Finish();
        return p;
    } catch (const EJpegError& e) { throw EPictureError(std::string("JPEG: cannot be decoded: ") + e.what()); }
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
    } catch (const EPictureError& e) { throw EPictureError(std::string(programName) + ": " + e.what()); }
}

}  // namespace platform

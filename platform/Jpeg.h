// JPEG in memory through libjpeg: a strict reader (any error or warning refuses the data)
// and a writer. Both report libjpeg's own wording through EJpegError.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace platform {

// Data libjpeg refused (or a warning it raised about damaged data); what() is its message.
class EJpegError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The order of the three bytes of a decoded pixel.
enum class JpegOrder { RGB, BGR };

// Reads one JPEG held in memory, row by row. The constructor reads the header; nothing is
// decoded before Start. Every step raises EJpegError at the first error or warning, so a
// damaged picture is refused rather than shown half-grey.
class JpegReader {
public:
    explicit JpegReader(std::span<const uint8_t> bytes);
    ~JpegReader();
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    // The size the header declares.
    unsigned HeaderWidth() const;
    unsigned HeaderHeight() const;
    // Begins decoding to three bytes a pixel in the given order.
    void Start(JpegOrder order);
    // After Start: the decoded size and bytes per pixel.
    int Width() const;
    int Height() const;
    int Components() const;
    // The next row (Width() * 3 bytes) into `row`; rows come top to bottom.
    void ReadRow(uint8_t* row);
    // After the last row: checks the end of the data.
    void Finish();

private:
    struct State;
    std::unique_ptr<State> s_;
};

// A whole picture decoded to tightly packed rows (width * 3 bytes each).
struct JpegPixels {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Pixels;
};
JpegPixels DecodeJpeg(std::span<const uint8_t> bytes, JpegOrder order);

struct JpegWriteOptions {
    int Quality = 75;
    // Two passes for the smallest Huffman tables.
    bool OptimizeCoding = false;
    // Colour at full resolution instead of halved in each direction.
    bool FullColour = false;
};
// Encodes tightly packed RGB rows (width * 3 bytes each).
std::vector<uint8_t> EncodeJpeg(int width, int height, std::span<const uint8_t> rgb, const JpegWriteOptions& options);

}  // namespace platform

// libjpeg behind a strict error manager: libjpeg reports through callbacks that may not
// return, so each call is made under a setjmp and a jump back becomes an exception.
#include "platform/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

namespace platform {

namespace {

struct ErrorManager {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void OnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }

// A warning means damaged data, which is refused anyway: stop at once rather than decode the rest.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        ++cinfo->err->num_warnings;
        std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
    }
}

void Silent(j_common_ptr) {}

void Install(ErrorManager& e, jpeg_common_struct& cinfo) {
    cinfo.err = jpeg_std_error(&e.mgr);
    e.mgr.error_exit = OnError;
    e.mgr.emit_message = OnMessage;
    e.mgr.output_message = Silent;
}

std::string Message(j_common_ptr cinfo) {
    char msg[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, msg);
    return msg;
}

}  // namespace

// Lives on the heap so libjpeg's pointers into it stay put, and so nothing a jump skips
// over needs destroying.
struct JpegReader::State {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    bool created = false;
    ~State() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
    [[noreturn]] void Raise() { throw EJpegError(Message(reinterpret_cast<j_common_ptr>(&cinfo))); }
};

// Each step runs its libjpeg call under its own setjmp, in the frame that makes the call.
#define SB_JPEG_GUARD(state) \
    if (setjmp((state).err.jump)) (state).Raise()

JpegReader::JpegReader(std::span<const uint8_t> bytes) : s_(std::make_unique<State>()) {
    Install(s_->err, *reinterpret_cast<jpeg_common_struct*>(&s_->cinfo));
    SB_JPEG_GUARD(*s_);
    jpeg_create_decompress(&s_->cinfo);
    s_->created = true;
    jpeg_mem_src(&s_->cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&s_->cinfo, TRUE);
}

JpegReader::~JpegReader() = default;

unsigned JpegReader::HeaderWidth() const { return s_->cinfo.image_width; }
unsigned JpegReader::HeaderHeight() const { return s_->cinfo.image_height; }

void JpegReader::Start(JpegOrder order) {
    SB_JPEG_GUARD(*s_);
    s_->cinfo.out_color_space = order == JpegOrder::BGR ? JCS_EXT_BGR : JCS_RGB;
    s_->cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&s_->cinfo);
}

int JpegReader::Width() const { return static_cast<int>(s_->cinfo.output_width); }
int JpegReader::Height() const { return static_cast<int>(s_->cinfo.output_height); }
int JpegReader::Components() const { return s_->cinfo.output_components; }

void JpegReader::ReadRow(uint8_t* row) {
    SB_JPEG_GUARD(*s_);
    JSAMPROW r = row;
    jpeg_read_scanlines(&s_->cinfo, &r, 1);
}

void JpegReader::Finish() {
    SB_JPEG_GUARD(*s_);
    jpeg_finish_decompress(&s_->cinfo);
}

#undef SB_JPEG_GUARD

JpegPixels DecodeJpeg(std::span<const uint8_t> bytes, JpegOrder order) {
    JpegReader reader(bytes);
    reader.Start(order);
    JpegPixels out;
    out.Width = reader.Width();
    out.Height = reader.Height();
    if (reader.Components() != 3) throw EJpegError("unsupported colour layout");
    const size_t stride = static_cast<size_t>(out.Width) * 3;
    out.Pixels.assign(stride * out.Height, 0);
    for (int y = 0; y < out.Height; ++y) reader.ReadRow(&out.Pixels[stride * y]);
    reader.Finish();
    return out;
}

namespace {

struct Compressor {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    ~Compressor() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

}  // namespace

std::vector<uint8_t> EncodeJpeg(int width, int height, std::span<const uint8_t> rgb, const JpegWriteOptions& options) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3)
        throw EJpegError("picture size does not match its pixels");
    auto c = std::make_unique<Compressor>();
    Install(c->err, *reinterpret_cast<jpeg_common_struct*>(&c->cinfo));
    if (setjmp(c->err.jump)) throw EJpegError(Message(reinterpret_cast<j_common_ptr>(&c->cinfo)));
    jpeg_create_compress(&c->cinfo);
    c->created = true;
    jpeg_mem_dest(&c->cinfo, &c->buffer, &c->size);
    c->cinfo.image_width = static_cast<JDIMENSION>(width);
    c->cinfo.image_height = static_cast<JDIMENSION>(height);
    c->cinfo.input_components = 3;
    c->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c->cinfo);
    jpeg_set_quality(&c->cinfo, options.Quality, TRUE);
    c->cinfo.dct_method = JDCT_ISLOW;
    c->cinfo.optimize_coding = options.OptimizeCoding ? TRUE : FALSE;
    if (options.FullColour)
        for (int i = 0; i < c->cinfo.num_components; ++i)
            c->cinfo.comp_info[i].h_samp_factor = c->cinfo.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c->cinfo, TRUE);
    const size_t stride = static_cast<size_t>(width) * 3;
    while (c->cinfo.next_scanline < c->cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[stride * c->cinfo.next_scanline]);
        jpeg_write_scanlines(&c->cinfo, &row, 1);
    }
    jpeg_finish_compress(&c->cinfo);
    return std::vector<uint8_t>(c->buffer, c->buffer + c->size);
}

}  // namespace platform

// JPEG decoding for the about box through libjpeg, from memory into BGR rows.
#include "aboutbox/jpeg_pixels.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ravlet {

namespace {

// libjpeg's default error handler ends the process; ours jumps back instead.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void leaveDecoder(j_common_ptr cinfo) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    std::longjmp(trap->jump, 1);
}

// Warnings and errors are not printed: a failed picture simply stays empty.
void ignoreMessage(j_common_ptr) {}

void installTrap(jpeg_decompress_struct* cinfo, ErrorTrap* trap) {
    cinfo->err = jpeg_std_error(&trap->manager);
    trap->manager.error_exit = leaveDecoder;
    trap->manager.output_message = ignoreMessage;
}

// Runs `use` on a decompressor that has read the stream's header and destroys
// it on every way out; false when libjpeg fails anywhere, `use` included. The
// jump lands in this frame, skipping destructors: `use` must hold only plain data.
template <typename Use>
bool withHeaderRead(const unsigned char* stream, std::size_t size, Use use) {
    jpeg_decompress_struct cinfo;
    ErrorTrap trap;
    installTrap(&cinfo, &trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, stream, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    bool done = use(cinfo);
    jpeg_destroy_decompress(&cinfo);
    return done;
}

}  // namespace

std::size_t pictureStride(int width) { return (std::size_t(width) * 3 + 3) & ~std::size_t(3); }

bool readPictureSize(const unsigned char* stream, std::size_t size, int* width, int* height) {
    if (!stream || size == 0) return false;
    return withHeaderRead(stream, size, [&](jpeg_decompress_struct& cinfo) {
        *width = int(cinfo.image_width);
        *height = int(cinfo.image_height);
        return true;
    });
}

// Any libjpeg warning (truncated data, bad Huffman codes) counts as a failure,
// so a damaged picture is never shown half grey.
bool decodePicture(const unsigned char* stream, std::size_t size, unsigned char* pixels, int width, int height,
                   std::size_t stride) {
    if (!stream || size == 0 || !pixels || width <= 0 || height <= 0 || stride < std::size_t(width) * 3) {
        return false;
    }
    return withHeaderRead(stream, size, [&](jpeg_decompress_struct& cinfo) {
        if (int(cinfo.image_width) != width || int(cinfo.image_height) != height) return false;
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            unsigned char* row = pixels + std::size_t(cinfo.output_scanline) * stride;
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&cinfo, rows, 1);
            for (int x = 0; x < width; ++x) {
                unsigned char red = row[x * 3];
                row[x * 3] = row[x * 3 + 2];
                row[x * 3 + 2] = red;
            }
        }
        jpeg_finish_decompress(&cinfo);
        return cinfo.err->num_warnings == 0;
    });
}

}  // namespace ravlet

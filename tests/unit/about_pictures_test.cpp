// The about box's embedded pictures: their format, their decoding into BGR
// rows, and clean failure on damaged streams.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "aboutbox/jpeg_pixels.h"
#include "aboutbox/pictures.h"

namespace {

using ravlet::PictureStream;

struct SlotSize {
    int slot;
    int width;
    int height;
};

constexpr SlotSize SLOT_SIZES[] = {
    {ravlet::PICTURE_DOWNLOAD, 112, 46},
    {ravlet::PICTURE_CLOSE, 75, 41},
    {ravlet::PICTURE_BACKGROUND, 383, 202},
};

struct Trap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void trapExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<Trap*>(cinfo->err)->jump, 1); }

// libjpeg's own view of a stream, independent of the code under test.
struct HeaderFacts {
    bool read = false;
    int width = 0, height = 0, components = 0, precision = 0;
    bool progressive = true, jfif = false, allFullSize = false;
};

HeaderFacts readHeaderFacts(const PictureStream& stream) {
    HeaderFacts facts;
    jpeg_decompress_struct cinfo;
    Trap trap;
    cinfo.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = trapExit;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return facts;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, stream.bytes, static_cast<unsigned long>(stream.size));
    jpeg_read_header(&cinfo, TRUE);
    facts.read = true;
    facts.width = int(cinfo.image_width);
    facts.height = int(cinfo.image_height);
    facts.components = cinfo.num_components;
    facts.precision = cinfo.data_precision;
    facts.progressive = cinfo.progressive_mode;
    facts.jfif = cinfo.saw_JFIF_marker;
    facts.allFullSize = true;
    for (int c = 0; c < cinfo.num_components; ++c) {
        if (cinfo.comp_info[c].h_samp_factor != 1 || cinfo.comp_info[c].v_samp_factor != 1) facts.allFullSize = false;
    }
    jpeg_destroy_decompress(&cinfo);
    return facts;
}

// Plain RGB rows decoded straight through libjpeg, for comparison.
std::vector<unsigned char> referenceRgb(const PictureStream& stream) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, stream.bytes, static_cast<unsigned long>(stream.size));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> rgb(std::size_t(cinfo.output_width) * cinfo.output_height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rgb.data() + std::size_t(cinfo.output_scanline) * cinfo.output_width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return rgb;
}

constexpr unsigned char SENTINEL = 0xA5;

}  // namespace

TEST(AboutPictures, EmbeddedStreamsAreBaselineJfifWithFullSizeColour) {
    for (const SlotSize& expected : SLOT_SIZES) {
        SCOPED_TRACE(expected.slot);
        PictureStream stream = ravlet::pictureStream(expected.slot);
        ASSERT_NE(stream.bytes, nullptr);
        EXPECT_EQ(stream.width, expected.width);
        EXPECT_EQ(stream.height, expected.height);
        HeaderFacts facts = readHeaderFacts(stream);
        ASSERT_TRUE(facts.read);
        EXPECT_EQ(facts.width, expected.width);
        EXPECT_EQ(facts.height, expected.height);
        EXPECT_FALSE(facts.progressive);
        EXPECT_TRUE(facts.jfif);
        EXPECT_EQ(facts.components, 3);
        EXPECT_EQ(facts.precision, 8);
        EXPECT_TRUE(facts.allFullSize);
    }
    EXPECT_EQ(ravlet::pictureStream(ravlet::PICTURE_SLOTS).bytes, nullptr);
}

// Rows come out top-down, blue-green-red, and the padding up to the four-byte
// stride is left alone.
TEST(AboutPictures, EmbeddedStreamsDecodeToPaddedBgrRows) {
    for (const SlotSize& expected : SLOT_SIZES) {
        SCOPED_TRACE(expected.slot);
        PictureStream stream = ravlet::pictureStream(expected.slot);
        int width = 0, height = 0;
        ASSERT_TRUE(ravlet::readPictureSize(stream.bytes, stream.size, &width, &height));
        ASSERT_EQ(width, expected.width);
        ASSERT_EQ(height, expected.height);
        std::size_t stride = ravlet::pictureStride(width);
        EXPECT_EQ(stride % 4, 0u);
        EXPECT_LT(stride - std::size_t(width) * 3, 4u);
        std::vector<unsigned char> pixels(stride * height + 16, SENTINEL);
        ASSERT_TRUE(ravlet::decodePicture(stream.bytes, stream.size, pixels.data(), width, height, stride));

        std::vector<unsigned char> rgb = referenceRgb(stream);
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned char* bgr = &pixels[y * stride + x * 3];
                const unsigned char* ref = &rgb[(std::size_t(y) * width + x) * 3];
                if (bgr[0] != ref[2] || bgr[1] != ref[1] || bgr[2] != ref[0]) ++mismatches;
            }
            for (std::size_t pad = std::size_t(width) * 3; pad < stride; ++pad)
                EXPECT_EQ(pixels[y * stride + pad], SENTINEL);
        }
        EXPECT_EQ(mismatches, 0);
        for (std::size_t i = stride * height; i < pixels.size(); ++i) EXPECT_EQ(pixels[i], SENTINEL);
    }
}

// Damaged data must neither end the process nor show a half-grey picture.
TEST(AboutPictures, DamagedStreamsFailWithoutCrashing) {
    PictureStream good = ravlet::pictureStream(ravlet::PICTURE_CLOSE);
    std::vector<unsigned char> original(good.bytes, good.bytes + good.size);
    std::size_t stride = ravlet::pictureStride(good.width);
    std::vector<unsigned char> pixels(stride * good.height);
    int width = 0, height = 0;

    std::vector<unsigned char> notJpeg = original;
    notJpeg[0] = 0;
    notJpeg[1] = 0;
    EXPECT_FALSE(ravlet::readPictureSize(notJpeg.data(), notJpeg.size(), &width, &height));
    EXPECT_FALSE(ravlet::decodePicture(notJpeg.data(), notJpeg.size(), pixels.data(), good.width, good.height, stride));

    std::vector<unsigned char> headerOnly(original.begin(), original.begin() + 24);
    EXPECT_FALSE(ravlet::readPictureSize(headerOnly.data(), headerOnly.size(), &width, &height));
    EXPECT_FALSE(
        ravlet::decodePicture(headerOnly.data(), headerOnly.size(), pixels.data(), good.width, good.height, stride));

    std::vector<unsigned char> truncated(original.begin(), original.begin() + original.size() / 2);
    EXPECT_TRUE(ravlet::readPictureSize(truncated.data(), truncated.size(), &width, &height));
    EXPECT_FALSE(
        ravlet::decodePicture(truncated.data(), truncated.size(), pixels.data(), good.width, good.height, stride));

    EXPECT_FALSE(ravlet::readPictureSize(nullptr, 0, &width, &height));
    EXPECT_FALSE(ravlet::decodePicture(nullptr, 0, pixels.data(), good.width, good.height, stride));
}

// A buffer laid out for another size is never written.
TEST(AboutPictures, SizeMismatchLeavesTheBufferUntouched) {
    PictureStream background = ravlet::pictureStream(ravlet::PICTURE_BACKGROUND);
    int width = 112, height = 46;
    std::size_t stride = ravlet::pictureStride(width);
    std::vector<unsigned char> pixels(stride * height, SENTINEL);
    EXPECT_FALSE(ravlet::decodePicture(background.bytes, background.size, pixels.data(), width, height, stride));
    EXPECT_FALSE(ravlet::decodePicture(background.bytes, background.size, pixels.data(), 383, 202, 383 * 3 - 1));
    for (unsigned char byte : pixels) ASSERT_EQ(byte, SENTINEL);
}

// The embedded picture streams (arrays generated from aboutbox/pictures/*.jpg).
#include "aboutbox/pictures.h"

extern const unsigned char ABOUT_DOWNLOAD_JPEG[];
extern const std::size_t ABOUT_DOWNLOAD_JPEG_size;
extern const unsigned char ABOUT_CLOSE_JPEG[];
extern const std::size_t ABOUT_CLOSE_JPEG_size;
extern const unsigned char ABOUT_BACKGROUND_JPEG[];
extern const std::size_t ABOUT_BACKGROUND_JPEG_size;

namespace ravlet {

PictureStream pictureStream(int slot) {
    switch (slot) {
    case PICTURE_DOWNLOAD:
        return {ABOUT_DOWNLOAD_JPEG, ABOUT_DOWNLOAD_JPEG_size, 112, 46};
    case PICTURE_CLOSE:
        return {ABOUT_CLOSE_JPEG, ABOUT_CLOSE_JPEG_size, 75, 41};
    case PICTURE_BACKGROUND:
        return {ABOUT_BACKGROUND_JPEG, ABOUT_BACKGROUND_JPEG_size, 383, 202};
    default:
        return {nullptr, 0, 0, 0};
    }
}

}  // namespace ravlet

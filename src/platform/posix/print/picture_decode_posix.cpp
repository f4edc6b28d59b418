#include "platform/posix/print/picture_decode_posix.hpp"

#include <dlfcn.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/process.hpp"

namespace platform::posix {
namespace {

// The functions of gdk-pixbuf (and of glib beneath it) that decoding uses.
struct Pixbuf {
    decltype(&gdk_pixbuf_get_file_info) getFileInfo;
    decltype(&gdk_pixbuf_format_get_name) formatName;
    decltype(&gdk_pixbuf_new_from_file) newFromFile;
    decltype(&gdk_pixbuf_scale_simple) scaleSimple;
    decltype(&gdk_pixbuf_get_colorspace) colorspace;
    decltype(&gdk_pixbuf_get_bits_per_sample) bitsPerSample;
    decltype(&gdk_pixbuf_get_width) width;
    decltype(&gdk_pixbuf_get_height) height;
    decltype(&gdk_pixbuf_get_n_channels) channels;
    decltype(&gdk_pixbuf_get_rowstride) rowstride;
    decltype(&gdk_pixbuf_read_pixels) readPixels;
    decltype(&g_object_unref) unref;
    decltype(&g_error_free) errorFree;
    decltype(&g_free) free;
};

template <class Function>
bool Resolve(void* library, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(dlsym(library, name));
    return *function != nullptr;
}

// The library, loaded once; null when it is not installed.
const Pixbuf* Library() {
    static Pixbuf pixbuf;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libgdk_pixbuf-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        // dlsym on the library also finds what its own dependencies (glib, gobject) define.
        loaded = library != nullptr &&
                 Resolve(library, "gdk_pixbuf_get_file_info", &pixbuf.getFileInfo) &&
                 Resolve(library, "gdk_pixbuf_format_get_name", &pixbuf.formatName) &&
                 Resolve(library, "gdk_pixbuf_new_from_file", &pixbuf.newFromFile) &&
                 Resolve(library, "gdk_pixbuf_scale_simple", &pixbuf.scaleSimple) &&
                 Resolve(library, "gdk_pixbuf_get_colorspace", &pixbuf.colorspace) &&
                 Resolve(library, "gdk_pixbuf_get_bits_per_sample", &pixbuf.bitsPerSample) &&
                 Resolve(library, "gdk_pixbuf_get_width", &pixbuf.width) &&
                 Resolve(library, "gdk_pixbuf_get_height", &pixbuf.height) &&
                 Resolve(library, "gdk_pixbuf_get_n_channels", &pixbuf.channels) &&
                 Resolve(library, "gdk_pixbuf_get_rowstride", &pixbuf.rowstride) &&
                 Resolve(library, "gdk_pixbuf_read_pixels", &pixbuf.readPixels) &&
                 Resolve(library, "g_object_unref", &pixbuf.unref) &&
                 Resolve(library, "g_error_free", &pixbuf.errorFree) &&
                 Resolve(library, "g_free", &pixbuf.free);
    });
    return loaded ? &pixbuf : nullptr;
}

bool Fail(uint32_t code) {
    SetLastError(code);
    return false;
}

uint32_t Little32(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
}

// Whether the file holds all the bytes its own header says it has: a bitmap file's size
// field, every image an icon directory lists. The decoder fills a cut-off picture with
// blank pixels rather than reporting it, so a truncated file is caught here.
bool Complete(const char* path, ImageType type, off_t size) {
    unsigned char head[6 + 16 * 64] = {};
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    const size_t read = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (type == kImageBitmap) return read >= 6 && Little32(head + 2) <= uint64_t(size);
    const size_t images = read >= 6 ? head[4] | (head[5] << 8) : 0;
    if (images == 0 || 6 + 16 * images > read) return false;
    for (size_t i = 0; i < images; ++i) {
        const unsigned char* entry = head + 6 + 16 * i;
        if (uint64_t{Little32(entry + 8)} + Little32(entry + 12) > uint64_t(size)) return false;
    }
    return true;
}

// The decoded pixels, as a picture of our own; the decoder's object is released.
void Copy(const Pixbuf& lib, GdkPixbuf* pixels, PictureData* picture) {
    picture->width = lib.width(pixels);
    picture->height = lib.height(pixels);
    picture->channels = lib.channels(pixels);
    const int rowstride = lib.rowstride(pixels);
    const guchar* in = lib.readPixels(pixels);
    const size_t rowBytes = size_t(picture->width) * picture->channels;
    picture->pixels.resize(rowBytes * picture->height);
    for (int32_t y = 0; y < picture->height; ++y) {
        std::memcpy(picture->pixels.data() + rowBytes * y, in + size_t(rowstride) * y, rowBytes);
    }
    lib.unref(pixels);
}

}  // namespace

bool DecodePictureFile(const char* path, ImageType type, int32_t width, int32_t height,
                       PictureData* picture) {
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return Fail(kErrorFileNotFound);
    if (!Complete(path, type, status.st_size)) return Fail(kErrorInvalidData);
    const Pixbuf* lib = Library();
    if (lib == nullptr) return Fail(kErrorNotSupported);

    int fileWidth = 0;
    int fileHeight = 0;
    GdkPixbufFormat* format = lib->getFileInfo(path, &fileWidth, &fileHeight);
    gchar* name = format != nullptr ? lib->formatName(format) : nullptr;
    const bool wanted =
        name != nullptr && std::strcmp(name, type == kImageIcon ? "ico" : "bmp") == 0;
    lib->free(name);
    if (!wanted || fileWidth <= 0 || fileHeight <= 0) return Fail(kErrorInvalidData);
    if (int64_t{fileWidth} * fileHeight > kMaxPicturePixels) return Fail(kErrorNotEnoughMemory);

    GError* error = nullptr;
    GdkPixbuf* pixels = lib->newFromFile(path, &error);
    if (error != nullptr) {
        lib->errorFree(error);
        if (pixels != nullptr) lib->unref(pixels);
        return Fail(kErrorInvalidData);
    }
    // The decoder's own idea of the size must agree with what the header promised.
    if (pixels == nullptr || lib->colorspace(pixels) != GDK_COLORSPACE_RGB ||
        lib->bitsPerSample(pixels) != 8 ||
        int64_t{lib->width(pixels)} * lib->height(pixels) > kMaxPicturePixels) {
        if (pixels != nullptr) lib->unref(pixels);
        return Fail(kErrorInvalidData);
    }
    if (type == kImageIcon && width > 0 && height > 0 &&
        (width != lib->width(pixels) || height != lib->height(pixels))) {
        if (int64_t{width} * height > kMaxPicturePixels) {
            lib->unref(pixels);
            return Fail(kErrorNotEnoughMemory);
        }
        // Pixel for pixel, as a Windows icon is stretched: its mask stays a mask, without the
        // half-transparent edges that blending would give it.
        GdkPixbuf* sized = lib->scaleSimple(pixels, width, height, GDK_INTERP_NEAREST);
        lib->unref(pixels);
        if (sized == nullptr) return Fail(kErrorNotEnoughMemory);
        pixels = sized;
    }
    Copy(*lib, pixels, picture);
    return true;
}

}  // namespace platform::posix

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/print_drawing.hpp"
#include "platform/process.hpp"

namespace platform {
namespace {

class PicturePosixTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/virodaro-pictures-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string Path(const std::string& name) const { return directory_ + "/" + name; }

    // A picture whose pixel (x, y) is (x, y, 7) in red, green and blue.
    std::string Save(const char* type, const std::string& name, int width, int height) {
        GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
        guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
        const int stride = gdk_pixbuf_get_rowstride(pixbuf);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                guchar* p = pixels + y * stride + x * 3;
                p[0] = static_cast<guchar>(x);
                p[1] = static_cast<guchar>(y);
                p[2] = 7;
            }
        }
        EXPECT_TRUE(gdk_pixbuf_save(pixbuf, Path(name).c_str(), type, nullptr, nullptr));
        g_object_unref(pixbuf);
        return Path(name);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }

    static Handle Load(const std::string& path, ImageType type, int32_t size = 0) {
        return LoadImageA(kNullHandle, {path.c_str(), 0}, type, size, size,
                          kLrLoadFromFile | kLrCreateDibSection);
    }

    std::string directory_;
};

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(PicturePosixTest, ABitmapFileComesOutAsABottomUpDib) {
    const Handle bitmap = Load(Save("bmp", "a.bmp", 3, 2), kImageBitmap);
    ASSERT_NE(bitmap, kNullHandle);
    Bitmap description;
    ASSERT_TRUE(GetObjectA(bitmap, &description));
    EXPECT_EQ(description.width, 3);
    EXPECT_EQ(description.height, 2);
    EXPECT_EQ(description.bitsPixel, 24);
    BitmapInfo info;
    info.width = 3;
    info.height = 2;
    info.bitCount = 24;
    std::vector<uint8_t> bits(2 * 12, 0xEE);
    const Handle screen = GetDC();
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, 2, bits.data(), &info, kDibRgbColors), 2);
    EXPECT_TRUE(ReleaseDC(screen));
    // Row 0 is the picture's bottom row (y = 1); each pixel is blue, green, red; rows are
    // padded to 4 bytes with zeros.
    const std::vector<uint8_t> bottom = {7, 1, 0, 7, 1, 1, 7, 1, 2, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bits.begin(), bits.begin() + 12), bottom);
    EXPECT_EQ(bits[12 + 4], 0);  // the top row's second pixel: green 0
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(GetObjectA(bitmap, &description));
}

TEST_F(PicturePosixTest, IconsLoadAtTheSizeAskedForAndOnlyAsIcons) {
    const std::string icon = Save("ico", "a.ico", 16, 16);
    const std::string bitmap = Save("bmp", "b.bmp", 16, 16);
    EXPECT_EQ(Load(icon, kImageBitmap), kNullHandle);
    EXPECT_EQ(Load(bitmap, kImageIcon), kNullHandle);
    const Handle loaded = Load(icon, kImageIcon, 40);
    ASSERT_NE(loaded, kNullHandle);
    Bitmap description;
    EXPECT_FALSE(GetObjectA(loaded, &description));  // an icon is no bitmap
    EXPECT_TRUE(DestroyIcon(loaded));
    EXPECT_FALSE(DestroyIcon(loaded));
}

TEST_F(PicturePosixTest, DamagedMissingOrEnormousFilesAreRefused) {
    const std::string good = Bytes(Save("bmp", "good.bmp", 64, 64));
    // A header claiming 100,000 x 100,000 pixels over the good file's pixels.
    std::string enormous = good;
    const int32_t huge = 100000;
    enormous.replace(18, 4, reinterpret_cast<const char*>(&huge), 4);
    enormous.replace(22, 4, reinterpret_cast<const char*>(&huge), 4);
    const std::vector<std::string> refused = {
        Write("truncated.bmp", good.substr(0, good.size() / 2)),
        Write("header.bmp", good.substr(0, 20)),
        Write("garbage.bmp", std::string(500, '\x5A')),
        Write("empty.bmp", ""),
        Write("enormous.bmp", enormous),
        Save("png", "png.bmp", 8, 8),
        Path("missing.bmp"),
        directory_,
    };
    for (const std::string& path : refused) {
        EXPECT_EQ(Load(path, kImageBitmap), kNullHandle) << path;
        EXPECT_NE(GetLastError(), 0u) << path;
    }
    EXPECT_EQ(Load(Path("missing.bmp"), kImageBitmap), kNullHandle);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(PicturePosixTest, ResourcesAreNeverFoundAndDrawingNeedsAPage) {
    EXPECT_EQ(LoadImageA(0x400000, {"LOGO", 0}, kImageBitmap, 0, 0, kLrCreateDibSection),
              kNullHandle);
    EXPECT_EQ(LoadImageA(kNullHandle, {nullptr, 32512}, kImageIcon, 0, 0, 0), kNullHandle);
    BitmapInfo info;
    info.width = 1;
    info.height = 1;
    info.bitCount = 24;
    const uint8_t pixel[4] = {};
    EXPECT_EQ(StretchDIBits(0x1234, 0, 0, 1, 1, 0, 0, 1, 1, pixel, info, kDibRgbColors, kSrcCopy),
              0);
}

}  // namespace
}  // namespace platform

#include "printer/image.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/process.hpp"
#include "printer/coordinates.hpp"
#include "printer/drawing_state.hpp"
#include "runtime/startup.hpp"
#include "testing/sim_printer.hpp"

namespace {

using Strings = std::vector<std::string>;

class PrinterImageTest : public SimPrinterTest {
  protected:
    // Start-up takes the program's module handle; this fixture starts only the runtime.
    void SetUp() override {
        SimPrinterTest::SetUp();
        RtInstance = platform::GetModuleHandleA();
    }

    static sim::Picture Picture(sim::PictureKind kind, sim::PictureHome home, const char* name,
                                uint16_t id = 0) {
        sim::Picture picture;
        picture.kind = kind;
        picture.home = home;
        picture.name = name;
        picture.id = id;
        return picture;
    }
    static Strings Loads() { return Calls({"LoadImageA"}); }
};

TEST_F(PrinterImageTest, ANameWithoutAFullStopIsTriedAsResourcesFirstThenAsFiles) {
    AttachDefault();
    PrnImage("LOGO", 10, 20, 109, 69);
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_EQ(Loads(), (Strings{"LoadImageA(program,LOGO,bitmap,0,0,0x2000)",
                                "LoadImageA(program,LOGO,icon,100,50,0x2000)",
                                "LoadImageA(file,LOGO,bitmap,0,0,0x2010)",
                                "LoadImageA(file,LOGO,icon,100,50,0x2010)"}));
    EXPECT_TRUE(Calls({"StretchDIBits", "DrawIconEx"}).empty());
}

TEST_F(PrinterImageTest, ANameWithAFullStopIsOnlyAFile) {
    sim::AddPicture(Picture(sim::PictureKind::kIcon, sim::PictureHome::kFile, "app.ico"));
    AttachDefault();
    PrnImage("app.ico", 10, 20, 41, 51);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(Loads(), (Strings{"LoadImageA(file,app.ico,bitmap,0,0,0x2010)",
                                "LoadImageA(file,app.ico,icon,32,32,0x2010)"}));
    EXPECT_EQ(Calls({"DrawIconEx", "DestroyIcon"}),
              (Strings{"DrawIconEx(10,20,32x32,3)", "DestroyIcon()"}));
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterImageTest, FourBytesBelow0x8000AreASystemResourceNumber) {
    sim::AddPicture(Picture(sim::PictureKind::kIcon, sim::PictureHome::kSystem, "", 32516));
    AttachDefault();
    const uint32_t id = 32516;
    PrnImage(Text(std::string_view(reinterpret_cast<const char*>(&id), 4)), 0, 0, 63, 63);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(Loads(), (Strings{"LoadImageA(system,#32516,bitmap,0,0,0x2000)",
                                "LoadImageA(system,#32516,icon,64,64,0x2000)"}));
    // A number names no file: nothing else is tried when the system has no such picture.
    PrnImage(Text(std::string_view("\x01\x00\x00\x00", 4)), 0, 0, 63, 63);
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_EQ(Loads().size(), 4u);
}

TEST_F(PrinterImageTest, ABitmapIsCopiedThroughTheScreenAndStretchedIntoTheBox) {
    sim::Picture bitmap = Picture(sim::PictureKind::kBitmap, sim::PictureHome::kProgram, "LOGO");
    bitmap.width = 100;
    bitmap.height = 50;
    sim::AddPicture(bitmap);
    AttachDefault();
    PrnImage("LOGO", 0, 0, 199, 99);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(
        Calls({"GetObjectA", "GetDC", "GetDIBits", "StretchDIBits", "ReleaseDC", "DeleteObject"}),
        (Strings{"GetObjectA()", "GetDC()", "GetDIBits(0,50,bits 24,colors 0,0)",
                 "StretchDIBits(0,0,200,100,0,0,100,50,bits 24,0,0xCC0020)", "ReleaseDC()",
                 Calls({"DeleteObject"}).front()}));
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterImageTest, TheColourTableHasRoomForEveryColourOfTheDepth) {
    const std::vector<std::pair<uint16_t, size_t>> depths = {
        {1, 2}, {4, 16}, {8, 256}, {16, 65536}, {32, 0}};
    for (const auto& [bits, colors] : depths) {
        sim::Picture bitmap = Picture(sim::PictureKind::kBitmap, sim::PictureHome::kFile,
                                      ("b" + std::to_string(bits) + ".bmp").c_str());
        bitmap.bitsPixel = bits;
        sim::AddPicture(bitmap);
    }
    AttachDefault();
    for (const auto& [bits, colors] : depths) {
        PrnImage(Text("b" + std::to_string(bits) + ".bmp"), 0, 0, 9, 9);
        EXPECT_EQ(Calls({"GetDIBits"}).back(), "GetDIBits(0,32,bits " + std::to_string(bits) +
                                                   ",colors " + std::to_string(colors) + ",0)");
    }
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterImageTest, FailuresRaise57AndReleaseWhatWasMade) {
    sim::Picture bitmap = Picture(sim::PictureKind::kBitmap, sim::PictureHome::kFile, "a.bmp");
    sim::AddPicture(bitmap);
    bitmap.name = "huge.bmp";
    bitmap.width = 40000;
    bitmap.height = 40000;
    bitmap.bitsPixel = 32;
    sim::AddPicture(bitmap);
    AttachDefault();
    for (const char* step : {"GetObjectA", "GetDC", "GetDIBits", "StretchDIBits"}) {
        RtErrorFrame frame;
        sim::FailPrintCall(step);
        PrnImage("a.bmp", 0, 0, 9, 9);
        EXPECT_EQ(RtErrorNumber(), 57) << step;
    }
    RtErrorFrame frame;
    sim::ClearPrintCalls();
    PrnImage("huge.bmp", 0, 0, 9, 9);
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_TRUE(Calls({"GetDC", "GetDIBits", "StretchDIBits"}).empty());
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);

    RtErrorFrame unattached;
    PrnImage("a.bmp", 0, 0, 9, 9);
    EXPECT_EQ(RtErrorNumber(), 57);
}

}  // namespace

// Looks at a rasterised page (a binary greyscale PGM, as `pdftoppm -gray` or Ghostscript's
// pgmraw device writes it) for the print tests, and makes the picture files they print. One
// command per run:
//   rows FILE X0 X1 Y0 Y1       the rows of Y0..Y1 with ink in columns X0..X1, as ranges
//   cols FILE Y0 Y1 X0 X1       the columns of X0..X1 with ink in rows Y0..Y1, as ranges
//   box FILE X0 Y0 X1 Y1 ...    the bounding box of the ink in the region, or "none"; one
//                               line for each region given
//   outside FILE X0 Y0 X1 Y1    the bounding box of the ink outside the region, or "none"
//   runs FILE Y X0 X1           the lengths of the inked and blank runs along row Y
//   period FILE X0 Y0 X1 Y1     the smallest shift (1..32) that maps the region's ink onto
//                               itself across and down, or 0
//   level FILE X Y              the grey level of one pixel
//   compare A B RADIUS [X0 Y0 X1 Y1]
//                               "unmatched N of M": the inked pixels of either page (in the
//                               region, when given) with no inked pixel of the other within
//                               RADIUS, of all inked pixels
//   bmp FILE W H | ico FILE W H writes a picture: red left half, blue right half, a black
//                               top row (the icon's right half is transparent)
// A pixel has ink when it is darker than 200 of 255.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kInk = 200;

struct Page {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    int At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 255;
        return pixels[static_cast<size_t>(y) * width + x];
    }
    bool Ink(int x, int y) const { return At(x, y) < kInk; }
};

Page Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    Page page;
    // Ghostscript writes a comment line after the magic number.
    const auto number = [&](int* value) {
        in >> std::ws;
        while (in.peek() == '#') {
            in.ignore(1 << 20, '\n');
            in >> std::ws;
        }
        in >> *value;
    };
    in >> magic;
    number(&page.width);
    number(&page.height);
    number(&maximum);
    in.get();
    if (magic != "P5" || maximum != 255) {
        std::cerr << path << ": not an 8-bit binary PGM\n";
        std::exit(2);
    }
    page.pixels.resize(static_cast<size_t>(page.width) * page.height);
    in.read(reinterpret_cast<char*>(page.pixels.data()), page.pixels.size());
    return page;
}

// Prints the indices where `inked` holds as ranges "a-b c".
template <class Inked>
void Ranges(int from, int to, Inked inked) {
    std::string out;
    for (int i = from; i <= to; ++i) {
        if (!inked(i)) continue;
        int end = i;
        while (end + 1 <= to && inked(end + 1))
            ++end;
        out += (out.empty() ? "" : " ") + std::to_string(i);
        if (end > i) out += "-" + std::to_string(end);
        i = end;
    }
    std::cout << (out.empty() ? "none" : out) << "\n";
}

struct Region {
    int x0;
    int y0;
    int x1;
    int y1;
    bool Holds(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The bounding box of the inked pixels of `scan` that `counts` accepts.
template <class Counts>
void Box(const Page& page, const Region& scan, Counts counts) {
    int left = scan.x1 + 1, top = scan.y1 + 1, right = scan.x0 - 1, bottom = scan.y0 - 1;
    for (int y = scan.y0; y <= scan.y1; ++y) {
        for (int x = scan.x0; x <= scan.x1; ++x) {
            if (!page.Ink(x, y) || !counts(x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < left) {
        std::cout << "none\n";
    } else {
        std::cout << left << " " << top << " " << right << " " << bottom << "\n";
    }
}

void Runs(const Page& page, int y, int x0, int x1) {
    std::string out;
    for (int x = x0; x <= x1;) {
        const bool ink = page.Ink(x, y);
        int end = x;
        while (end + 1 <= x1 && page.Ink(end + 1, y) == ink)
            ++end;
        out +=
            (out.empty() ? "" : " ") + std::string(ink ? "d" : "l") + std::to_string(end - x + 1);
        x = end + 1;
    }
    std::cout << out << "\n";
}

int Period(const Page& page, int x0, int y0, int x1, int y1) {
    for (int shift = 1; shift <= 32; ++shift) {
        bool repeats = true;
        for (int y = y0; y <= y1 && repeats; ++y) {
            for (int x = x0; x <= x1 && repeats; ++x) {
                if (x + shift <= x1) repeats = page.Ink(x, y) == page.Ink(x + shift, y);
                if (y + shift <= y1 && repeats) repeats = page.Ink(x, y) == page.Ink(x, y + shift);
            }
        }
        if (repeats) return shift;
    }
    return 0;
}

// Inked pixels of `a` in the region without an inked pixel of `b` within `radius`.
long Unmatched(const Page& a, const Page& b, int radius, const Region& region, long* inked) {
    long unmatched = 0;
    for (int y = region.y0; y <= region.y1; ++y) {
        for (int x = region.x0; x <= region.x1; ++x) {
            if (!a.Ink(x, y)) continue;
            ++*inked;
            bool found = false;
            for (int dy = -radius; dy <= radius && !found; ++dy) {
                for (int dx = -radius; dx <= radius && !found; ++dx)
                    found = b.Ink(x + dx, y + dy);
            }
            if (!found) ++unmatched;
        }
    }
    return unmatched;
}

bool WritePicture(const char* type, const char* path, int width, int height) {
    const bool icon = std::string(type) == "ico";
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, icon, 8, width, height);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            guchar* p = pixels + y * stride + x * channels;
            const bool left = x < width / 2;
            p[0] = y == 0 ? 0 : (left ? 255 : 0);
            p[1] = 0;
            p[2] = y == 0 ? 0 : (left ? 0 : 255);
            if (icon) p[3] = left || y == 0 ? 255 : 0;
        }
    }
    GError* error = nullptr;
    const bool saved = gdk_pixbuf_save(pixbuf, path, type, &error, nullptr);
    if (error != nullptr) {
        std::cerr << error->message << "\n";
        g_error_free(error);
    }
    g_object_unref(pixbuf);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto number = [&](size_t i) { return std::atoi(args.at(i).c_str()); };
    if (args.size() == 6 && args[0] == "rows") {
        const Page page = Read(args[1]);
        Ranges(number(4), number(5), [&](int y) {
            for (int x = number(2); x <= number(3); ++x)
                if (page.Ink(x, y)) return true;
            return false;
        });
    } else if (args.size() == 6 && args[0] == "cols") {
        const Page page = Read(args[1]);
        Ranges(number(4), number(5), [&](int x) {
            for (int y = number(2); y <= number(3); ++y)
                if (page.Ink(x, y)) return true;
            return false;
        });
    } else if (args.size() >= 6 && args.size() % 4 == 2 && args[0] == "box") {
        const Page page = Read(args[1]);
        for (size_t i = 2; i < args.size(); i += 4) {
            Box(page, Region{number(i), number(i + 1), number(i + 2), number(i + 3)},
                [](int, int) { return true; });
        }
    } else if (args.size() == 6 && args[0] == "outside") {
        const Page page = Read(args[1]);
        const Region inside{number(2), number(3), number(4), number(5)};
        Box(page, Region{0, 0, page.width - 1, page.height - 1},
            [&](int x, int y) { return !inside.Holds(x, y); });
    } else if (args.size() == 5 && args[0] == "runs") {
        Runs(Read(args[1]), number(2), number(3), number(4));
    } else if (args.size() == 6 && args[0] == "period") {
        std::cout << Period(Read(args[1]), number(2), number(3), number(4), number(5)) << "\n";
    } else if (args.size() == 4 && args[0] == "level") {
        std::cout << Read(args[1]).At(number(2), number(3)) << "\n";
    } else if ((args.size() == 4 || args.size() == 8) && args[0] == "compare") {
        const Page a = Read(args[1]);
        const Page b = Read(args[2]);
        const Region region = args.size() == 8 ? Region{number(4), number(5), number(6), number(7)}
                                               : Region{0, 0, a.width - 1, a.height - 1};
        long inked = 0;
        const long unmatched =
            Unmatched(a, b, number(3), region, &inked) + Unmatched(b, a, number(3), region, &inked);
        std::cout << "unmatched " << unmatched << " of " << inked << "\n";
    } else if (args.size() == 4 && (args[0] == "bmp" || args[0] == "ico")) {
        return WritePicture(args[0].c_str(), args[1].c_str(), number(2), number(3)) ? 0 : 1;
    } else {
        std::cerr << "usage: see the head of raster_probe.cpp\n";
        return 2;
    }
    return 0;
}

#include "platform/posix/print/page_groups_posix.hpp"

#include <cairo-pdf.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <qpdf/qpdf-c.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace platform::posix {
namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Two A4 pages drawn as the backend draws: one with a line, one with a filled box.
std::string TwoPageDocument() {
    std::string pdf;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Append, &pdf, 595, 842);
    cairo_t* cairo = cairo_create(surface);
    cairo_move_to(cairo, 10, 421);
    cairo_line_to(cairo, 585, 421);
    cairo_set_line_width(cairo, 0.48);
    cairo_stroke(cairo);
    cairo_show_page(cairo);
    cairo_set_source_rgb(cairo, 1, 0, 0);
    cairo_rectangle(cairo, 100, 100, 50, 50);
    cairo_fill(cairo);
    cairo_show_page(cairo);
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return pdf;
}

struct PageRead {
    bool hasGroup;
    std::string content;
};

std::vector<PageRead> ReadPages(const std::string& pdf) {
    qpdf_data document = qpdf_init();
    qpdf_silence_errors(document);
    std::vector<PageRead> pages;
    if ((qpdf_read_memory(document, "test", pdf.data(), pdf.size(), nullptr) & QPDF_ERRORS) == 0) {
        for (int i = 0; i < qpdf_get_num_pages(document); ++i) {
            const qpdf_oh page = qpdf_get_page_n(document, i);
            unsigned char* content = nullptr;
            size_t length = 0;
            qpdf_oh_get_page_content_data(document, page, &content, &length);
            pages.push_back({qpdf_oh_has_key(document, page, "/Group") == QPDF_TRUE,
                             std::string(reinterpret_cast<const char*>(content), length)});
            std::free(content);
        }
    }
    qpdf_cleanup(&document);
    return pages;
}

TEST(PageGroupsTest, EveryPageLosesItsGroupAndKeepsItsDrawing) {
    const std::string original = TwoPageDocument();
    const std::vector<PageRead> before = ReadPages(original);
    ASSERT_EQ(before.size(), 2u);
    // The reason for the edit: cairo marks every page, whatever it holds.
    EXPECT_TRUE(before[0].hasGroup && before[1].hasGroup);

    std::string edited = original;
    ASSERT_TRUE(RemovePageGroups(&edited));
    const std::vector<PageRead> after = ReadPages(edited);
    ASSERT_EQ(after.size(), 2u);
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_FALSE(after[i].hasGroup) << "page " << i + 1;
        EXPECT_EQ(after[i].content, before[i].content) << "page " << i + 1;
    }
    EXPECT_EQ(edited.find("/Transparency"), std::string::npos);
}

TEST(PageGroupsTest, WhatIsNoPdfIsLeftAsItIs) {
    std::string damaged = TwoPageDocument().substr(0, 300);
    const std::string copy = damaged;
    EXPECT_FALSE(RemovePageGroups(&damaged));
    EXPECT_EQ(damaged, copy);
    std::string empty;
    EXPECT_FALSE(RemovePageGroups(&empty));
    EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace platform::posix

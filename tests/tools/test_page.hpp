#pragma once
// The drawings the printer probe puts on a page: the program's calibration page, and a page
// of every other drawing operation, at fixed places that the print tests check in the
// rasterised PDF.

#include <string>

/// The program's own page with offsets 0: marks, cut lines, guide lines, the four circles and
/// the caption "50,100,150,200 Circles" in 8-point Arial, in the program's order of calls.
void DrawCalibrationPage();

/// Hatched boxes, styled one-pixel lines, an arc, a pie, polygons by both fill rules, a
/// polyline, a rounded box and text in bold, italic, underlined, struck-out and turned fonts,
/// at the places test_page.cpp gives them.
void DrawShapesPage();

/// The picture file stretched into the box (100, 3300)-(299, 3399).
void DrawPicture(const std::string& path);

/// Every drawing operation across every edge of the printable area, ten of them along each
/// edge, in the order and at the places test_page.cpp gives; half of each lies outside, and
/// one line runs wholly in each margin. With a shift, the page is drawn through a user
/// window that moves every point by that many pixels, so it lands where it does without.
void DrawEdgesPage(const std::string& picture, double shift);

// A small RGBA raster for drawing the generated pictures: anti-aliased
// discs, ellipses, thick lines and smooth curves, filled polygons and a 5 x 7
// bitmap font. Coordinates are pixels with y down (the first row is the top,
// as the packs store pictures); pixel centres lie at +0.5.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Colour {
    float r, g, b, a;
};

struct Point {
    double x, y;
};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> px; // premultiplied RGBA

    Canvas(int w, int h);
    void blend(int x, int y, const Colour &c, double coverage);
    std::vector<uint8_t> rgba() const; // straight alpha, 8 bits per channel

    void fill(const Colour &c);
    void fillRect(double x0, double y0, double x1, double y1, const Colour &c);
    void fillDisc(double cx, double cy, double r, const Colour &c);
    // Ellipse with radii rx, ry, turned by `angle` radians.
    void fillEllipse(double cx, double cy, double rx, double ry, double angle, const Colour &c);
    // Ring between an outer ellipse and an inner one (both turned by angle).
    void ellipseRing(double cx, double cy, double rx, double ry, double irx, double iry,
                     double angle, const Colour &c);
    void line(double x0, double y0, double x1, double y1, double width, const Colour &c);
    void polyline(const std::vector<Point> &pts, double width, const Colour &c);
    // A smooth curve through the points (Catmull-Rom), drawn as a polyline.
    void curve(const std::vector<Point> &pts, double width, const Colour &c);
    void fillPolygon(const std::vector<Point> &pts, const Colour &c);
    // Text in the 5 x 7 font, each font pixel scale x scale; returns the width.
    int text(double x, double y, const std::string &s, int scale, const Colour &c);
    static int textWidth(const std::string &s, int scale);
};

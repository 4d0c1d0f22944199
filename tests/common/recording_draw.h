// A drawing facade that records each frame as text, one line per call
// ("picture 7073 148 446 198 513 -10"), so tests read pictures and geometry
// without a window.
#pragma once
#include "frame/controls.h"
#include "frame/immediate_draw.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordingDraw final : ImmediateDraw {
    std::vector<std::string> ops; // the last frame (cleared by beginFrame)
    int frames = 0;
    void add(const std::string &s) { ops.push_back(s); }
    void beginFrame() override
    {
        ops.clear();
        add("begin");
    }
    void endFrame() override
    {
        add("end");
        ++frames;
    }
    void colour(float r, float g, float b, float a) override;
    void lineWidth(float w) override { add("width " + std::to_string(w)); }
    void quad(double x0, double y0, double x1, double y1, double z) override;
    void triangle(double x0, double y0, double x1, double y1, double x2, double y2, double z) override;
    void line(double x0, double y0, double x1, double y1, double z) override;
    void lineStrip(const double *xy, int n, double z) override;
    void lineLoop(const double *xy, int n, double z) override;
    void text(DrawnText kind, int32_t font, std::string_view s, double x, double y) override;
    void picture(uint32_t texture, double x0, double y0, double x1, double y1, double z) override;
    void pushTranslate(double x, double y) override;
    void pop() override { add("pop"); }
    void frameAnimation(int32_t n) override { add("animation " + std::to_string(n)); }
    void controls() override { add("controls"); }
    void popupList() override { add("popup"); }
    void lessonMessagePanel(int32_t icon, std::string_view status) override
    {
        add("panel " + std::to_string(icon) + " " + std::string(status));
    }
    void lineDepths(double x0, double y0, double z0, double x1, double y1, double z1) override;
    void point(double x, double y, double z, float size) override;
    void polygon4(const double *xy, double z) override;
    void picture4(uint32_t texture, const double *xy, double z) override;
    // Ops of the last frame that start with prefix.
    void fan(const double *xy, int n, double z) override;
    void ellipseOutline(int32_t cx, int32_t cy, int32_t n, double rx, double ry, int32_t lineWidth) override;
    void control(ControlRecord *c) override;
    void arrow(bool big, int32_t style, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width) override;
    void trebleStaff(int32_t x1, int32_t x2) override;
    void trebleClef(int32_t x) override;
    void staffNote(int32_t x, int32_t key, int32_t note, int32_t colour) override;
    std::vector<std::string> matching(const std::string &prefix) const;
};


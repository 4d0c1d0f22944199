// Which of the large pictures (the diagrams of Images51, the slides of
// Images50) the introduction's pages draw, by topic and step. The lesson holds
// only the pictures its current topic draws from a little before their first
// step to their last: a topic's pictures are read while it runs, one ahead
// per frame, and freed once the topic has drawn them for the last time (or is
// left), instead of all of them for the whole lesson.
#pragma once
#include <cstdint>

struct IntroPictureUse {
    int8_t pack;    // 50 or 51
    int8_t picture; // 1-based in the pack
    int8_t topic;   // 1..9
    int16_t first;  // the steps of the topic that draw it
    int16_t last;
};
extern const IntroPictureUse introPictureUses[];
extern const int32_t introPictureUseCount;

// Steps before its first drawing at which a picture is read.
constexpr int32_t introPictureLead = 12;

// Masks: bit p - 1 stands for picture p of the pack.
struct IntroPictureMasks {
    uint64_t images51 = 0;
    uint32_t images50 = 0;
};
// The pictures of `topic` drawn at some step from `step` to `step + lead`
// (lead 0: the ones the frame at `step` may draw).
IntroPictureMasks introPicturesWanted(int32_t topic, int32_t step, int32_t lead);
// Of the pictures in `wanted` but not in `loaded`, the one drawn first (the
// lower picture of equal first steps); the masks hold just it, or nothing.
IntroPictureMasks nextIntroPictureToRead(int32_t topic, const IntroPictureMasks &wanted,
                                         const IntroPictureMasks &loaded);

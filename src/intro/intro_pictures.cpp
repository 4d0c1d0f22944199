#include "intro/intro_pictures.h"

// From a run of every topic drawn step by step (the pages draw nothing else
// of these packs): each picture's first and last drawing step in each topic.
const IntroPictureUse introPictureUses[] = {
    // Welcome: the accuracy graph
    {50, 10, 1, 154, 1327}, {50, 11, 1, 154, 1327}, {50, 13, 1, 154, 1327},
    // Use of absolute and perfect pitch
    {51, 5, 2, 1586, 2594}, {51, 4, 2, 1884, 2428}, {51, 6, 2, 2086, 2594},
    {50, 10, 2, 2595, 2726}, {50, 11, 2, 2595, 2726}, {50, 13, 2, 2595, 2726},
    {51, 31, 2, 2803, 3280}, {51, 32, 2, 2803, 3280}, {51, 2, 2, 3365, 3583}, {51, 3, 2, 3584, 3848},
    // Brimble's pitch point
    {51, 31, 3, 4498, 5852}, {51, 32, 3, 4498, 5852}, {51, 33, 3, 5853, 5975}, {51, 34, 3, 5976, 6180},
    // Training programme overview: the mock, the pairs and the travelling icons
    {51, 1, 4, 6227, 8301}, {51, 11, 4, 6748, 6807}, {51, 12, 4, 6748, 6807}, {51, 41, 4, 6799, 6807},
    {51, 13, 4, 6808, 6940}, {51, 14, 4, 6808, 6940}, {51, 27, 4, 6941, 6950}, {51, 28, 4, 6941, 6950},
    {51, 42, 4, 6942, 6950}, {51, 15, 4, 6951, 6960}, {51, 16, 4, 6951, 6960}, {51, 43, 4, 6952, 6960},
    {51, 17, 4, 6961, 6970}, {51, 18, 4, 6961, 6970}, {51, 44, 4, 6962, 6970}, {51, 19, 4, 6971, 6980},
    {51, 20, 4, 6971, 6980}, {51, 45, 4, 6972, 6980}, {51, 21, 4, 6981, 6990}, {51, 22, 4, 6981, 6990},
    {51, 46, 4, 6982, 6990}, {51, 23, 4, 6991, 7000}, {51, 24, 4, 6991, 7000}, {51, 47, 4, 6992, 7000},
    {51, 25, 4, 7001, 7010}, {51, 26, 4, 7001, 7010}, {51, 48, 4, 7002, 7010}, {51, 29, 4, 7011, 7055},
    {51, 30, 4, 7011, 7055},
    // Commented exercise: diagram pair 7
    {51, 35, 7, 13850, 14057}, {51, 36, 7, 13850, 14057},
    // How to train muscle memory
    {51, 37, 8, 14151, 14240}, {51, 38, 8, 14241, 14496}, {51, 1, 8, 14497, 17577},
    {51, 34, 8, 14736, 14836}, {51, 33, 8, 14837, 14916},
    // The Orvale
    {51, 1, 9, 17623, 21388}, {51, 39, 9, 20317, 20571}, {51, 40, 9, 20486, 20571},
};
const int32_t introPictureUseCount = int32_t(sizeof introPictureUses / sizeof introPictureUses[0]);

static void add(IntroPictureMasks &m, const IntroPictureUse &u)
{
    if (u.pack == 51) m.images51 |= uint64_t{1} << (u.picture - 1);
    else m.images50 |= uint32_t{1} << (u.picture - 1);
}

static bool in(const IntroPictureMasks &m, const IntroPictureUse &u)
{
    return u.pack == 51 ? (m.images51 >> (u.picture - 1) & 1) != 0 : (m.images50 >> (u.picture - 1) & 1) != 0;
}

IntroPictureMasks introPicturesWanted(int32_t topic, int32_t step, int32_t lead)
{
    IntroPictureMasks m;
    for (const IntroPictureUse &u : introPictureUses)
        if (u.topic == topic && u.first <= step + lead && step <= u.last) add(m, u);
    return m;
}

IntroPictureMasks nextIntroPictureToRead(int32_t topic, const IntroPictureMasks &wanted,
                                         const IntroPictureMasks &loaded)
{
    const IntroPictureUse *next = nullptr;
    for (const IntroPictureUse &u : introPictureUses) {
        if (u.topic != topic || !in(wanted, u) || in(loaded, u)) continue;
        if (next == nullptr || u.first < next->first || (u.first == next->first && u.picture < next->picture))
            next = &u;
    }
    IntroPictureMasks m;
    if (next != nullptr) add(m, *next);
    return m;
}

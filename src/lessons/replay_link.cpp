#include "lessons/replay_link.h"

static ReplayLink link;

void setReplayLink(const ReplayLink &l) { link = l; }

void resetReplayPosition()
{
    if (link.resetPlayPosition) link.resetPlayPosition();
}

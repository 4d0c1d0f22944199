// What the lesson side and the introduction ask of the replay, which stands
// above them: app wires it at start-up, as it hands the screen table down.
// Until then each request does nothing (tests leave it so).
#pragma once

struct ReplayLink {
    void (*resetPlayPosition)() = nullptr; // the replay starts at the recording's beginning
};
void setReplayLink(const ReplayLink &link);

// The next replay plays from the start of the recording (a new exercise run,
// the introduction's sample lesson).
void resetReplayPosition();

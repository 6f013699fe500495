#pragma once

// What one frame's reading of a toggle key asks for.
struct ToggleStep {
    bool on = false;        // the key's on action runs: toggled, or the key is held
    bool turnedOn = false;  // the on transition happened this frame
    bool turnedOff = false; // the off transition happened this frame
};

// Debounce record of one toggle key. Transitions happen at releases: the first release
// switches the toggle on, the second off. A record that starts with `current` true sees a
// release in its first frame, which is how a feature comes up switched on.
struct KeyToggle {
    bool toggled = false;
    bool previous = false;
    bool current = false;

    // Reads the key once; called at the key's fixed place in the frame.
    ToggleStep update(bool down);
};

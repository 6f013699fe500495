#include "app/KeyToggle.h"

ToggleStep KeyToggle::update(bool down) {
    previous = current;
    current = down;
    ToggleStep step;
    if (previous && !current) {
        toggled = !toggled;
        step.turnedOn = toggled;
        step.turnedOff = !toggled;
    }
    step.on = toggled || down;
    return step;
}

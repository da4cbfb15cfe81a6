#pragma once
#include "core/model/controls.h"

#include <array>

// The controls of the Alarm Set window as the engine sees them. Its two list boxes hold the
// program's alarm list for as long as the window is loaded.
struct Form4Controls {
    Form4Controls();  // every control in its design state
    Form4Controls(const Form4Controls&) = delete;
    Form4Controls& operator=(const Form4Controls&) = delete;

    ListBox lstData;
    ListBox lstMessage;
    std::array<TextBox, 4> txtTime;  // indices 1 to 3: hour, minute, second
    TextBox txtAm;
    ComboBox cbHour;
    ComboBox cbMin;
    ComboBox cbSec;
    ComboBox cbPlayTimes;
    ComboBox cmbSong;
    ComboBox cbEMPlay;
    CheckBox chkEMPlay;
    Shape shpInputTime;
    Shape shpClickTime;
    Shape imgSha;  // hourglass shown in the alarm list's place while a message is typed
    TextBox txtViewM;
    Button cmdViewM;
};

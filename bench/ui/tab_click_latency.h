#pragma once

#include <vector>

namespace m797::ui {
class TForm1;
}

// Clicks the tabs of the main window's page control from a thread of its own, as a window system
// delivers input whatever the main thread is doing, alternating between the live-data and the
// fault page, and returns for each click the milliseconds from the press to the first paint of
// the page it chose.  Runs the event loop meanwhile.
std::vector<double> TabClickLatencies(m797::ui::TForm1& form, int clicks, int apart_ms);

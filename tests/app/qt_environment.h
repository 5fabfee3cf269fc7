#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <vector>

class QMessageBox;

namespace tamarind::testing {

// The window tests share one QApplication, made by a GoogleTest environment before the first test
// (qt_environment.cpp). The platform comes from QT_QPA_PLATFORM: offscreen, or xcb under Xvfb.

// Runs the event loop until `done` holds or `timeout` has passed; true when `done` held.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// The error boxes now open among the application's top-level windows.
std::vector<QMessageBox*> OpenErrorBoxes();

}  // namespace tamarind::testing

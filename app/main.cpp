#include <QApplication>
#include <QByteArray>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/model.h"
#include "app/stop_signals.h"
#include "app/tf1.h"

namespace {

bool PlatformNamed(int argc, char** argv) {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0) return true;
  }
  return false;
}

// Without a display the toolkit would abort; an unattended rig runs the same program headless.
void StartHeadlessWithoutDisplay(int argc, char** argv) {
  if (PlatformNamed(argc, argv) || !qEnvironmentVariableIsEmpty("DISPLAY") ||
      !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    return;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::fputs("tamarind: no display (DISPLAY and WAYLAND_DISPLAY unset): running headless\n",
             stderr);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // the date and time texts of the receive log follow the locale
  StartHeadlessWithoutDisplay(argc, argv);
  QApplication application(argc, argv);

  tamarind::Model model;
  tamarind::TF1 F1(model);  // Timer1 starts counting here
  F1.SetOnClosed([] { QCoreApplication::exit(0); });
  tamarind::CallOnStopSignals(&F1, [&F1] { F1.close(); });

  F1.RunFormCreate();
  F1.show();
  QApplication::exec();
  return 0;
}

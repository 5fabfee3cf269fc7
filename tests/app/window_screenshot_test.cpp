#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWindow>
#include <chrono>

#include "app/tf1.h"
#include "tests/app/qt_environment.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::PtyDevice;
using testing::ScratchDir;
using testing::WaitUntil;
using testing::WritePortMap;

// The window as the creation sequence leaves it on a real X server (Xvfb), with COM1, COM12 and
// COM23 mapped to pseudo-terminals and so shown available; the rest stay grey.
TEST(WindowScreenshot, WritesThePngIntoTheBuildFolder) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run";
  ScratchDir scratch;
  PtyDevice com1, com12, com23;
  WritePortMap({{1, com1.path()}, {12, com12.path()}, {23, com23.path()}});
  Model model;
  TF1 F1(model);
  F1.RunFormCreate();
  F1.show();
  ASSERT_TRUE(WaitUntil([&] { return F1.windowHandle() && F1.windowHandle()->isExposed(); }));

  const QFontInfo font(F1.findChild<QLabel*>("Label4")->font());
  EXPECT_EQ(font.family(), "IPAPGothic");
  const QImage image = F1.grab().toImage();
  EXPECT_EQ(image.size(), QSize(351, 301));
  ASSERT_TRUE(image.save(TAMARIND_SCREENSHOT)) << TAMARIND_SCREENSHOT;
}

}  // namespace
}  // namespace tamarind

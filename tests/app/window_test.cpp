#include "app/tf1.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "app/settings_file.h"
#include "tests/app/qt_environment.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::OpenErrorBoxes;
using testing::PtyDevice;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;
using testing::WritePortMap;

std::string ThirtyPortLines(const std::string& line = "38400,E,8") {
  std::string text;
  for (int k = 0; k < 30; ++k) text += line + "\r\n";
  return text;
}

// A scratch working folder whose port map names all thirty ports before anything probes, and a
// window over a fresh model.
class Window : public ::testing::Test {
 protected:
  explicit Window(const std::map<int, std::string>& devices = {}) { WritePortMap(devices); }

  TF1& F1() {
    if (!window_) window_ = std::make_unique<TF1>(model);
    return *window_;
  }
  template <typename Widget = QWidget>
  Widget& Find(const char* name) {
    auto* widget = F1().findChild<Widget*>(name);
    if (widget == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *widget;
  }
  QLabel& Label(const std::string& name) { return Find<QLabel>(name.c_str()); }

  ScratchDir scratch;
  Model model;

 private:
  std::unique_ptr<TF1> window_;
};

// Types `text` into `edit` key by key, as the user would.
void Type(QWidget& edit, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(&edit, &press);
  }
}

void PressKey(QWidget& widget, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &press);
}

QString TextOf(QWidget& control) {
  if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) return edit->text();
  if (auto* memo = qobject_cast<QPlainTextEdit*>(&control)) return memo->toPlainText();
  if (auto* box = qobject_cast<QGroupBox*>(&control)) return box->title();
  return "<no text>";
}

struct Place {
  std::string name;
  const char* parent;
  QRect geometry;
  QString text;
};

TEST_F(Window, EveryControlSitsWhereTheLayoutPutsItWithItsCaption) {
  std::vector<Place> places = {
      {"GroupBox1", "F1", {5, 0, 113, 169}, ""},    {"GroupBox2", "F1", {120, 0, 113, 169}, ""},
      {"GroupBox3", "F1", {235, 0, 113, 169}, ""},  {"EdTx", "F1", {8, 175, 340, 20}, "送信データ"},
      {"Me1", "F1", {5, 192, 343, 87}, ""},         {"Label4", "F1", {5, 283, 48, 12}, "送信間隔"},
      {"EdTm", "F1", {56, 281, 41, 20}, "500"},     {"Label3", "F1", {101, 285, 15, 12}, "ms"},
      {"Label1", "F1", {152, 283, 24, 12}, "繰返"}, {"EdCnt", "F1", {179, 281, 70, 20}, "0"},
      {"LbCnt", "F1", {253, 285, 12, 12}, "回"},
  };
  const char* const boxes[] = {"GroupBox1", "GroupBox2", "GroupBox3"};
  for (int port = 1; port <= 30; ++port) {
    const int k = (port - 1) % 10;
    const char* box = boxes[(port - 1) / 10];
    const std::string name = "COM" + std::to_string(port);
    places.push_back({name, box, {8, 8 + 16 * k, port < 10 ? 31 : 37, 12}, name.c_str()});
    places.push_back({"COM_S" + std::to_string(port), box, {56, 8 + 16 * k, 47, 12}, "38400,E,8"});
  }

  F1().show();
  for (const Place& place : places) {
    QWidget& control = Find(place.name.c_str());
    EXPECT_EQ(control.parentWidget()->objectName(), place.parent) << place.name;
    EXPECT_EQ(control.geometry(), place.geometry) << place.name;
    EXPECT_EQ(TextOf(control), place.text) << place.name;
    EXPECT_TRUE(control.isVisible()) << place.name;
    if (auto* label = qobject_cast<QLabel*>(&control)) {
      EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
          << place.name << ": the caption fits its label, narrowed where it must be";
      EXPECT_EQ(QFontInfo(label->font()).pixelSize(), 12) << place.name;
    }
  }
}

TEST_F(Window, IsFixedInSizeWithTheCaptionPlaceFontAndIcon) {
  F1().show();
  EXPECT_EQ(F1().objectName(), "F1");
  EXPECT_EQ(F1().windowTitle(), "Tamarind");
  EXPECT_EQ(F1().size(), QSize(351, 301));
  EXPECT_EQ(F1().minimumSize(), QSize(351, 301)) << "cannot be resized";
  EXPECT_EQ(F1().maximumSize(), QSize(351, 301)) << "cannot be resized";
  EXPECT_FALSE(F1().windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(F1().windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(F1().windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_EQ(F1().pos(), QPoint(192, 125));

  const QFontInfo font(Label("Label4").font());
  EXPECT_EQ(font.family(), "IPAPGothic") << "the design font's metric-compatible stand-in";
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_TRUE(F1().windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(Window, RecordsAndLastLineAreReadOnlyAndTheRecordsNeitherWrapNorScroll) {
  auto& records = Find<QPlainTextEdit>("Me1");
  EXPECT_TRUE(records.isReadOnly());
  EXPECT_EQ(records.lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(records.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(records.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  auto& last_sent = Find<QLineEdit>("EdTx");
  EXPECT_TRUE(last_sent.isReadOnly());
  EXPECT_FALSE(last_sent.hasFrame());
  EXPECT_EQ(last_sent.palette().color(QPalette::Base), F1().palette().color(QPalette::Window));
}

TEST_F(Window, NoControlIsATabStop) {
  for (QWidget* widget : F1().findChildren<QWidget*>()) {
    EXPECT_FALSE(widget->focusPolicy() & Qt::TabFocus)
        << widget->objectName().toStdString() << " " << widget->metaObject()->className();
  }
  F1().show();
  QApplication::setActiveWindow(&F1());
  auto& interval = Find<QLineEdit>("EdTm");
  interval.setFocus();
  PressKey(interval, Qt::Key_Tab);
  EXPECT_TRUE(QApplication::focusWidget() == nullptr || QApplication::focusWidget() == &interval);
}

TEST_F(Window, TimersArePreciseThePollTimerRunsFromTheStartTheStepTimerNot) {
  const auto& poll = Find<QTimer>("Timer1");
  const auto& step = Find<QTimer>("Timer2");
  EXPECT_TRUE(poll.isActive()) << "counting before the creation sequence";
  EXPECT_EQ(poll.interval(), 3000);
  EXPECT_EQ(poll.timerType(), Qt::PreciseTimer);
  EXPECT_FALSE(step.isActive());
  EXPECT_EQ(step.interval(), 100);
  EXPECT_EQ(step.timerType(), Qt::PreciseTimer);
}

TEST_F(Window, TypingStopsAtTheLimitButProgramTextsAreNotCut) {
  WriteFile(kSettingsFileName, ThirtyPortLines() + "1234567\r\n0\r\n");
  F1().RunFormCreate();
  auto& interval = Find<QLineEdit>("EdTm");
  EXPECT_EQ(interval.text(), "1234567") << "a text from the file is kept whole";
  Type(interval, "8");
  EXPECT_EQ(interval.text(), "1234567") << "no more may be typed";
  PressKey(interval, Qt::Key_Backspace);
  EXPECT_EQ(interval.text(), "123456") << "but it may be shortened";
  EXPECT_EQ(model.EdTm, "123456");

  auto& repeat = Find<QLineEdit>("EdCnt");
  repeat.setFocus();
  Type(repeat, "123456789012");
  EXPECT_EQ(repeat.text(), "012345678") << "9 characters typed after the 0";
  EXPECT_EQ(model.EdCnt, "012345678");
}

TEST_F(Window, APastedLineBreakAndWhatFollowsItAreDropped) {
  F1().RunFormCreate();
  auto& repeat = Find<QLineEdit>("EdCnt");
  repeat.clear();
  QGuiApplication::clipboard()->setText("12\r\n34");
  repeat.paste();
  EXPECT_EQ(repeat.text(), "12");
  EXPECT_EQ(model.EdCnt, "12") << "one line, so the settings file keeps its shape";
}

TEST_F(Window, WithoutASettingsFileShowsTheDefaults) {
  F1().RunFormCreate();
  for (int port = 1; port <= 30; ++port) {
    EXPECT_EQ(Label("COM_S" + std::to_string(port)).text(), "38400,E,8") << port;
  }
  EXPECT_EQ(Find<QLineEdit>("EdTm").text(), "500");
  EXPECT_EQ(Find<QLineEdit>("EdCnt").text(), "0");
}

TEST_F(Window, AnIntervalOf1000InTheFileShowsInEdTm) {
  WriteFile(kSettingsFileName, ThirtyPortLines("9600,N,8") + "1000\r\n5\r\n");
  F1().RunFormCreate();
  EXPECT_EQ(Find<QLineEdit>("EdTm").text(), "1000");
  EXPECT_EQ(Find<QLineEdit>("EdCnt").text(), "5");
  EXPECT_EQ(Label("COM_S30").text(), "9600,N,8");
}

TEST_F(Window, SettingsBytesShowAsLatin1WhereTheyAreNoUtf8AndStayBytes) {
  WriteFile(kSettingsFileName,
            "9600,\xC9,8\r\n<b>bold</b>\r\n" + ThirtyPortLines() + "500\r\n0\r\n");
  F1().RunFormCreate();
  EXPECT_EQ(Label("COM_S1").text(), "9600,É,8");
  EXPECT_EQ(Label("COM_S2").text(), "<b>bold</b>") << "never taken as markup";
  EXPECT_EQ(model.Slot(1).settings, "9600,\xC9,8");
}

TEST_F(Window, ASettingsFileHeldOpenForWritingShowsTheErrorAndSkipsTheProbe) {
  WriteFile(kSettingsFileName, ThirtyPortLines() + "500\r\n0\r\n");
  const int writer = ::open(kSettingsFileName, O_WRONLY | O_APPEND);
  F1().RunFormCreate();
  ::close(writer);
  F1().show();

  const auto boxes = OpenErrorBoxes();
  ASSERT_EQ(boxes.size(), 1u) << "shown without blocking the event loop";
  EXPECT_EQ(boxes[0]->icon(), QMessageBox::Critical);
  EXPECT_EQ(boxes[0]->windowTitle(), "Tamarind");
  EXPECT_EQ(boxes[0]->text(), "ファイル Tamarindinf.txt は開けません.");
  for (int port = 1; port <= 30; ++port) {
    EXPECT_EQ(Label("COM" + std::to_string(port)).foregroundRole(), QPalette::Dark) << port;
  }
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "<missing>") << "no start-up header";
  EXPECT_TRUE(Find<QTimer>("Timer1").isActive()) << "the poll timer still runs";
}

TEST_F(Window, AFailedSaveKeepsTheWindowOpenAndALaterCloseTriesAgain) {
  bool closed = false;
  F1().SetOnClosed([&closed] { closed = true; });
  F1().RunFormCreate();
  F1().show();
  std::filesystem::create_directory(kSettingsFileName);

  EXPECT_FALSE(F1().close());
  EXPECT_TRUE(F1().isVisible());
  EXPECT_FALSE(closed);
  ASSERT_EQ(OpenErrorBoxes().size(), 1u);
  EXPECT_EQ(OpenErrorBoxes()[0]->text(), "ファイル Tamarindinf.txt は開けません.");

  EXPECT_FALSE(F1().close());
  EXPECT_EQ(OpenErrorBoxes().size(), 1u) << "the same error does not pile up a second box";
  OpenErrorBoxes()[0]->close();
  EXPECT_FALSE(F1().close());
  EXPECT_EQ(OpenErrorBoxes().size(), 1u) << "once closed, the next failure shows again";

  std::filesystem::remove(kSettingsFileName);
  Type(Find("EdCnt"), "7");
  EXPECT_TRUE(F1().close());
  EXPECT_TRUE(closed);
  EXPECT_EQ(ReadFile(kSettingsFileName), ThirtyPortLines() + "500\r\n07\r\n");
}

TEST_F(Window, PortMapAndLogProblemsAreShownOnceWithoutABox) {
  std::string map = ReadFile("Tamarindports.txt");
  WriteFile("Tamarindports.txt", map + "COM31=/dev/null\n");
  std::filesystem::create_directory("RxDataLog.txt");
  F1().RunFormCreate();

  EXPECT_EQ(F1().windowTitle(), "Tamarind (!)");
  const std::string tip = F1().toolTip().toStdString();
  EXPECT_NE(tip.find("COM31=/dev/null"), std::string::npos) << tip;
  EXPECT_NE(tip.find("RxDataLog.txt"), std::string::npos) << tip;
  EXPECT_TRUE(OpenErrorBoxes().empty());
}

// Three pseudo-terminals, made before the window's fixture maps COM2, COM15 and COM30 to them.
struct ThreeDevices {
  PtyDevice com2, com15, com30;
};

class WindowWithPorts : private ThreeDevices, public Window {
 protected:
  WindowWithPorts() : Window({{2, com2.path()}, {15, com15.path()}, {30, com30.path()}}) {}
  using ThreeDevices::com15;
};

TEST_F(WindowWithPorts, EveryNameIsGreyBeforeTheProbeAndMappedPortsTurnToTextColour) {
  for (int port = 1; port <= 30; ++port) {
    QLabel& name = Label("COM" + std::to_string(port));
    EXPECT_EQ(name.foregroundRole(), QPalette::Dark) << port;
    EXPECT_EQ(name.palette().color(name.foregroundRole()), F1().palette().color(QPalette::Dark));
  }

  F1().RunFormCreate();

  for (int port = 1; port <= 30; ++port) {
    QLabel& name = Label("COM" + std::to_string(port));
    const bool mapped = port == 2 || port == 15 || port == 30;
    EXPECT_EQ(name.foregroundRole(), mapped ? QPalette::WindowText : QPalette::Dark) << port;
  }
  EXPECT_EQ(Label("COM15").toolTip().toStdString(), "COM15 → " + com15.path() + ": available");
  EXPECT_EQ(Label("COM16").toolTip().toStdString(), "COM16: no device in the port map");
}

}  // namespace
}  // namespace tamarind

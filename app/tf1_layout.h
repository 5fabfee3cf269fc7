#pragma once

#include <string>
#include <vector>

namespace tamarind {

// The main window's visible face as a table: every control's name, kind, parent, place and
// caption, in client-area pixels. Plain data; the window builds its widgets from it.
enum class ControlKind {
  GroupBox,   // a frame without caption holding ten ports
  NameLabel,  // COMn, coloured by availability
  SettingsLabel,
  Label,       // a fixed caption
  LastSent,    // EdTx: borderless, read-only, in the face colour
  Records,     // Me1: read-only, no wrap, no scroll bars
  NumberEdit,  // EdTm, EdCnt: editable, typing limited to max_typed characters
};

struct ControlPlace {
  std::string name;  // the control's name, also its objectName
  ControlKind kind;
  std::string parent;  // "" for the client area, else a group box's name
  int left, top, width, height;
  std::string caption;  // fixed caption, UTF-8; "" where the model fills it
  int max_typed = 0;    // NumberEdit only
  int port = 0;         // NameLabel and SettingsLabel: the port number 1 … 30
};

inline constexpr int kClientWidth = 351;
inline constexpr int kClientHeight = 301;
inline constexpr int kWindowLeft = 192;
inline constexpr int kWindowTop = 125;
inline constexpr const char* kWindowCaption = "Tamarind";
inline constexpr const char* kWindowFontFamily = "ＭＳ Ｐゴシック";
inline constexpr const char* kWindowFontStandIn = "IPAPGothic";  // installed in its place
inline constexpr int kWindowFontPixels = 12;

// Parents come before their children.
const std::vector<ControlPlace>& Tf1Layout();

}  // namespace tamarind

#include "app/tf1_layout.h"

namespace tamarind {
namespace {

std::vector<ControlPlace> MakeLayout() {
  std::vector<ControlPlace> layout;
  const int group_left[3] = {5, 120, 235};
  for (int group = 0; group < 3; ++group) {
    const std::string box = "GroupBox" + std::to_string(group + 1);
    layout.push_back({box, ControlKind::GroupBox, "", group_left[group], 0, 113, 169, ""});
    for (int k = 0; k < 10; ++k) {
      const int port = group * 10 + k + 1;
      const int top = 8 + 16 * k;
      const std::string name = "COM" + std::to_string(port);
      layout.push_back(
          {name, ControlKind::NameLabel, box, 8, top, port < 10 ? 31 : 37, 12, name, 0, port});
      layout.push_back({"COM_S" + std::to_string(port), ControlKind::SettingsLabel, box, 56, top,
                        47, 12, "", 0, port});
    }
  }
  layout.push_back({"EdTx", ControlKind::LastSent, "", 8, 175, 340, 20, ""});
  layout.push_back({"Me1", ControlKind::Records, "", 5, 192, 343, 87, ""});
  layout.push_back({"Label4", ControlKind::Label, "", 5, 283, 48, 12, "送信間隔"});
  layout.push_back({"EdTm", ControlKind::NumberEdit, "", 56, 281, 41, 20, "", 6});
  layout.push_back({"Label3", ControlKind::Label, "", 101, 285, 15, 12, "ms"});
  layout.push_back({"Label1", ControlKind::Label, "", 152, 283, 24, 12, "繰返"});
  layout.push_back({"EdCnt", ControlKind::NumberEdit, "", 179, 281, 70, 20, "", 9});
  layout.push_back({"LbCnt", ControlKind::Label, "", 253, 285, 12, 12, "回"});
  return layout;
}

}  // namespace

const std::vector<ControlPlace>& Tf1Layout() {
  static const std::vector<ControlPlace> layout = MakeLayout();
  return layout;
}

}  // namespace tamarind

#pragma once

#include <QWidget>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/model.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

namespace tamarind {

// The main window F1: a thin binding between the widgets and the model. It shows the model, feeds
// the user's edits of EdTm and EdCnt into it, and wires the poll timer Timer1 (3000 ms) and the
// step timer Timer2 (100 ms) to the core's handlers. It holds no logic of its own.
//
// Every handler (creation, a timer tick, close) runs to its end; an error it raises is caught at
// the handler's boundary and shown, after the widgets are brought up to date, in a non-blocking
// error box, so the timers keep ticking while the box is open.
class TF1 : public QWidget {
 public:
  // Builds every control from the layout table and starts Timer1 (the first poll comes 3000 ms
  // after this); Timer2 starts disabled.
  explicit TF1(Model& model, QWidget* parent = nullptr);
  ~TF1() override;

  // The creation sequence, run once while the window is still hidden.
  void RunFormCreate();

  // Called after a close went through (the settings were saved).
  void SetOnClosed(std::function<void()> on_closed) { on_closed_ = std::move(on_closed); }

 protected:
  // The close sequence: saves the settings; on failure shows the error and stays open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // Runs a handler, catches its error, refreshes the widgets, then shows the error.
  void RunHandler(const std::function<void()>& handler);
  void ShowError(const std::string& message);

  void Refresh();
  void RefreshPorts();
  void RefreshRecords();
  void RefreshProblems();

  Model& model_;
  std::array<QLabel*, kPortCount> name_labels_{};
  std::array<QLabel*, kPortCount> settings_labels_{};
  QLineEdit* EdTx_ = nullptr;
  QPlainTextEdit* Me1_ = nullptr;
  QLineEdit* EdTm_ = nullptr;
  QLineEdit* EdCnt_ = nullptr;
  QTimer* Timer1_ = nullptr;
  QTimer* Timer2_ = nullptr;

  struct NumberField;
  std::vector<std::unique_ptr<NumberField>> number_fields_;  // EdTm and EdCnt

  // What the port labels show, so that a tick repaints only what changed.
  struct PortShown {
    bool valid = false;
    Availability availability = Availability::NotProbed;
    std::string settings;
    std::string device;
  };
  std::array<PortShown, kPortCount> ports_shown_{};

  std::size_t records_shown_ = 0;  // lines of model.Me1 already in the Me1 widget
  std::string last_record_shown_;
  std::string problems_shown_;
  std::function<void()> on_closed_;
};

}  // namespace tamarind

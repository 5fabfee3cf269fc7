#include "app/tf1.h"

#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>

#include "app/form_sequences.h"
#include "app/tf1_layout.h"
#include "app/window_texts.h"
#include "engine/run_control.h"

namespace tamarind {
namespace {

QString Shown(const std::string& bytes) {
  return QString::fromStdString(DisplayText(bytes));
}

void SyncTimer(QTimer& timer, bool enabled) {
  // Enabling starts the period afresh; a timer that stays enabled keeps its rhythm.
  if (enabled && !timer.isActive()) timer.start();
  if (!enabled && timer.isActive()) timer.stop();
}

QFont WindowFont() {
  // fontconfig knows no alias for the design font; the Japanese P gothic face stands in for it.
  QFont::insertSubstitution(QString::fromUtf8(kWindowFontFamily),
                            QString::fromUtf8(kWindowFontStandIn));
  QFont font(QString::fromUtf8(kWindowFontFamily));
  font.setPixelSize(kWindowFontPixels);
  return font;
}

// The stand-in face's Latin letters are wider at 12 px than the design font's, for which the labels
// were sized: narrow a caption that would not fit its label rather than cut it off.
void SetCaption(QLabel& label, const QString& caption) {
  if (label.text() == caption) return;  // already fitted
  label.setText(caption);
  constexpr int kNarrowest = 60;  // percent of the normal width
  QFont font = label.font();
  int stretch = QFont::Unstretched;
  const auto width_at = [&](int percent) {
    font.setStretch(percent);
    return QFontMetrics(font).horizontalAdvance(caption);
  };
  const int full_width = width_at(stretch);
  if (full_width > label.width()) {
    stretch = std::max(kNarrowest, 100 * label.width() / full_width);
    while (stretch > kNarrowest && width_at(stretch) > label.width()) --stretch;
  }
  font.setStretch(stretch);
  label.setFont(font);
}

void PrintLines(const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::fprintf(stderr, "tamarind: %.*s\n", static_cast<int>(end - start), text.data() + start);
    start = end + 1;
  }
}

}  // namespace

// One of the two number fields. The typing limit applies to what the user types only: a longer
// text set by the program is kept, and the user may still shorten it.
struct TF1::NumberField {
  QLineEdit* edit = nullptr;
  int max_typed = 0;
  std::string* model_text = nullptr;
  std::string shown;  // the model bytes the field was last set from or edited to
  QString last_text;  // the field's text after the last accepted change

  void Refresh() {
    if (*model_text == shown) return;
    shown = *model_text;
    last_text = Shown(shown);
    edit->setText(last_text);
  }

  // A user edit: refused when it makes the text longer than the limit, else copied into the model.
  // A pasted line break and what follows it are dropped, as a one-line field does: the text goes
  // into the settings file as one line.
  void Edited() {
    QString text = edit->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
        text.truncate(i);
        edit->setText(text);
        break;
      }
    }
    if (text.size() > max_typed && text.size() > last_text.size()) {
      const int cursor = edit->cursorPosition() - static_cast<int>(text.size() - last_text.size());
      edit->setText(last_text);
      edit->setCursorPosition(std::max(cursor, 0));
      return;
    }
    last_text = text;
    *model_text = text.toStdString();
    shown = *model_text;
  }
};

TF1::TF1(Model& model, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      model_(model) {
  setObjectName("F1");
  setWindowTitle(kWindowCaption);
  setWindowIcon(QIcon(":/tamarind/tamarind.png"));
  setFont(WindowFont());
  setFixedSize(kClientWidth, kClientHeight);
  move(kWindowLeft, kWindowTop);
  BuildControls();

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName("Timer1");
  Timer1_->setTimerType(Qt::PreciseTimer);
  Timer1_->setInterval(kPollPeriodMs);
  connect(Timer1_, &QTimer::timeout, this, [this] { RunHandler([this] { Timer1Timer(model_); }); });

  Timer2_ = new QTimer(this);
  Timer2_->setObjectName("Timer2");
  Timer2_->setTimerType(Qt::PreciseTimer);
  Timer2_->setInterval(kStepPeriodMs);
  connect(Timer2_, &QTimer::timeout, this, [this] { RunHandler([this] { Timer2Timer(model_); }); });

  Refresh();  // starts Timer1 as the model says, before the creation sequence
}

TF1::~TF1() = default;

void TF1::BuildControls() {
  std::map<std::string, QWidget*> boxes;
  for (const ControlPlace& place : Tf1Layout()) {
    QWidget* parent = place.parent.empty() ? this : boxes.at(place.parent);
    const QString caption = QString::fromUtf8(place.caption);
    QWidget* control = nullptr;
    switch (place.kind) {
      case ControlKind::GroupBox:
        control = boxes[place.name] = new QGroupBox(parent);
        break;
      case ControlKind::NameLabel:
      case ControlKind::SettingsLabel:
      case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);  // settings texts are bytes, never markup
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(place.left, place.top, place.width, place.height);
        SetCaption(*label, caption);
        const auto index = static_cast<std::size_t>(place.port - 1);
        if (place.kind == ControlKind::NameLabel) name_labels_[index] = label;
        if (place.kind == ControlKind::SettingsLabel) settings_labels_[index] = label;
        control = label;
        break;
      }
      case ControlKind::LastSent: {
        EdTx_ = new QLineEdit(parent);
        EdTx_->setReadOnly(true);
        EdTx_->setFrame(false);
        QPalette face = EdTx_->palette();
        face.setColor(QPalette::Base, face.color(QPalette::Window));
        EdTx_->setPalette(face);
        control = EdTx_;
        break;
      }
      case ControlKind::Records:
        Me1_ = new QPlainTextEdit(parent);
        Me1_->setReadOnly(true);
        Me1_->setUndoRedoEnabled(false);
        Me1_->setLineWrapMode(QPlainTextEdit::NoWrap);
        Me1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        Me1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        control = Me1_;
        break;
      case ControlKind::NumberEdit: {
        auto* edit = new QLineEdit(parent);
        auto field = std::make_unique<NumberField>();
        field->edit = edit;
        field->max_typed = place.max_typed;
        field->model_text = place.name == "EdTm" ? &model_.EdTm : &model_.EdCnt;
        NumberField* raw = field.get();
        connect(edit, &QLineEdit::textEdited, this, [raw] { raw->Edited(); });
        (place.name == "EdTm" ? EdTm_ : EdCnt_) = edit;
        number_fields_.push_back(std::move(field));
        control = edit;
        break;
      }
    }
    control->setObjectName(QString::fromStdString(place.name));
    control->setGeometry(place.left, place.top, place.width, place.height);
    // No control is a tab stop; the edits still take the focus when clicked.
    const bool clickable = place.kind == ControlKind::NumberEdit ||
                           place.kind == ControlKind::Records ||
                           place.kind == ControlKind::LastSent;
    control->setFocusPolicy(clickable ? Qt::ClickFocus : Qt::NoFocus);
  }
}

void TF1::RunFormCreate() {
  RunHandler([this] { FormCreate(model_); });
}

void TF1::closeEvent(QCloseEvent* event) {
  try {
    FormClose(model_);
  } catch (const std::exception& error) {
    event->ignore();
    ShowError(error.what());
    return;
  }
  event->accept();
  if (on_closed_) on_closed_();
}

void TF1::RunHandler(const std::function<void()>& handler) {
  std::optional<std::string> error;
  try {
    handler();
  } catch (const std::exception& caught) {
    error = caught.what();
  }
  Refresh();
  if (error) ShowError(*error);
}

void TF1::ShowError(const std::string& message) {
  const std::string text = ErrorBoxText(message);
  PrintLines(DisplayText(text));
  // A failure that repeats at every tick while nobody is there to close its box (a job file held
  // open all night) must not pile up boxes without end: one open box per text is enough.
  for (const QMessageBox* open : findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly)) {
    if (open->isVisible() && open->text() == Shown(text)) return;
  }
  // Opened, not executed: the handler has ended and the timers go on ticking behind the box.
  auto* box =
      new QMessageBox(QMessageBox::Critical, kWindowCaption, Shown(text), QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void TF1::Refresh() {
  RefreshPorts();
  const QString last_sent = Shown(model_.EdTx);
  if (EdTx_->text() != last_sent) EdTx_->setText(last_sent);
  RefreshRecords();
  for (const auto& field : number_fields_) field->Refresh();
  EdTm_->setEnabled(model_.EdTm_enabled);
  SyncTimer(*Timer1_, model_.Timer1_enabled);
  SyncTimer(*Timer2_, model_.Timer2_enabled);
  RefreshProblems();
}

void TF1::RefreshPorts() {
  // Runs at every tick: touch a label only when what it shows has changed, since restyling one
  // repaints it, and a window that repaints sixty labels ten times a second costs far more than
  // the job itself.
  for (std::size_t i = 0; i < kPortCount; ++i) {
    const PortSlot& slot = model_.slots[i];
    PortShown& shown = ports_shown_[i];
    if (shown.valid && shown.availability == slot.availability && shown.settings == slot.settings &&
        shown.device == slot.device) {
      continue;
    }
    QLabel& name = *name_labels_[i];
    SetCaption(name, Shown(slot.name));
    name.setForegroundRole(slot.IsAvailable() ? QPalette::WindowText : QPalette::Dark);
    name.setToolTip(QString::fromStdString(PortToolTip(slot)));
    SetCaption(*settings_labels_[i], Shown(slot.settings));
    shown = {true, slot.availability, slot.settings, slot.device};
  }
}

void TF1::RefreshRecords() {
  const LineList& records = model_.Me1;
  // The list only grows while a job runs and is cleared when one starts; append what is new.
  const bool cleared =
      records.Count() < records_shown_ ||
      (records_shown_ > 0 && records.WholeLine(records_shown_ - 1) != last_record_shown_);
  if (cleared) {
    Me1_->clear();
    records_shown_ = 0;
  }
  if (records.Count() == records_shown_) return;
  QString added;
  for (std::size_t i = records_shown_; i < records.Count(); ++i) {
    if (i > records_shown_) added += QLatin1Char('\n');
    added += Shown(records.WholeLine(i));
  }
  Me1_->appendPlainText(added);
  records_shown_ = records.Count();
  last_record_shown_ = records.WholeLine(records_shown_ - 1);
}

void TF1::RefreshProblems() {
  const std::string problems = ProblemSummary(model_);
  if (problems == problems_shown_) return;
  problems_shown_ = problems;
  // Shown once and without blocking: a mark in the caption, the details in the tooltip.
  setWindowTitle(problems.empty() ? QString(kWindowCaption)
                                  : QString(kWindowCaption) + QStringLiteral(" (!)"));
  setToolTip(QString::fromStdString(problems));
  if (!problems.empty()) PrintLines(problems);
}

}  // namespace tamarind

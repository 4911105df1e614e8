#include "pedal_learn_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/pedal_learner.h"

namespace {

const char* const kPrompts[] = {"Press the LEFT switch of the pedal (rewind).",
                                "Press the MIDDLE switch (play).",
                                "Press the RIGHT switch (fast forward)."};

}  // namespace

PedalLearnDialog::PedalLearnDialog(std::unique_ptr<PedalLearner> learner, QWidget* parent)
    : QDialog(parent), learner_(std::move(learner)) {
  setObjectName("PedalLearnDialog");
  setWindowTitle("Learn Pedal");
  auto* layout = new QVBoxLayout(this);
  prompt_ = new QLabel(this);
  prompt_->setObjectName("Prompt");
  recorded_ = new QLabel(this);
  recorded_->setObjectName("Recorded");
  layout->addWidget(prompt_);
  layout->addWidget(recorded_);

  // Devices that could not be opened are no secret: an unlisted pedal is likely among them.
  const auto refused = learner_->Refused().size();
  QString note;
  if (refused > 0) {
    note = QString("%1 input device(s) may not be read by this user. A pedal among them needs the "
                   "udev rule for it, or the user in the \"input\" group (see the README).")
               .arg(refused);
  } else if (learner_->Listening() == 0) {
    note = "No device with keys or buttons is plugged in yet: plug the pedal in.";
  }
  if (!note.isEmpty()) {
    auto* label = new QLabel(note, this);
    label->setObjectName("Note");
    label->setWordWrap(true);
    layout->addWidget(label);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(learner_.get(), &PedalLearner::Pressed, this,
          [this](const platform::InputDeviceInfo& device, int code) { pressed(device, code); });
  showStep();
}

PedalLearnDialog::~PedalLearnDialog() = default;

QString PedalLearnDialog::Prompt() const { return prompt_->text(); }

void PedalLearnDialog::showStep() {
  prompt_->setText(kPrompts[step_]);
  QString text;
  const int codes[] = {switches_.left, switches_.middle};
  const char* const names[] = {"Left", "Middle"};
  for (int i = 0; i < step_; ++i) {
    text += QString("%1: %2\n").arg(names[i], QString::fromStdString(platform::KeyCodeName(codes[i])));
  }
  if (step_ > 0) text += QString::fromStdString(device_.label).simplified();
  recorded_->setText(text);
  recorded_->setVisible(!text.isEmpty());
}

void PedalLearnDialog::pressed(const platform::InputDeviceInfo& device, int code) {
  if (step_ > 0 && device.node != device_.node) return;
  if (code == switches_.left || code == switches_.middle) return;
  if (step_ == 0) {
    device_ = device;
    switches_.left = code;
  } else if (step_ == 1) {
    switches_.middle = code;
  } else {
    switches_.right = code;
    emit Learned(device_, switches_);
    accept();
    return;
  }
  ++step_;
  showStep();
}

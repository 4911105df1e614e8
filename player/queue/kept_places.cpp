#include "kept_places.h"

namespace quillmark {

KeptPlaces::KeptPlaces(std::filesystem::path file)
    : file_(std::move(file)),
      positions_(ResumePositions::ReadFile(file_)),
      writer_([this] { WriteWhatWaits(); }) {}

KeptPlaces::~KeptPlaces() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  writer_.join();
}

std::optional<double> KeptPlaces::ResumeAt(const RecordingIdentity& recording) const {
  return positions_.ResumeAt(recording);
}

WriteResult KeptPlaces::Keep(const RecordingIdentity& recording, double position,
                             double duration) {
  // A recording the player has not loaded yet has no length: where it is says nothing, and the
  // place kept from before must not be lost to it.
  if (!(duration > 0)) {
    std::lock_guard lock(mutex_);
    return lastWrite_;
  }
  const bool changed = WorthResuming(position, duration)
                           ? positions_.Remember(recording, position, duration)
                           : positions_.Forget(recording.path);
  if (changed) Save();
  std::lock_guard lock(mutex_);
  return lastWrite_;
}

void KeptPlaces::Forget(const std::filesystem::path& recording) {
  if (positions_.Forget(recording)) Save();
}

WriteResult KeptPlaces::Flush() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return !waiting_ && !writing_; });
  return lastWrite_;
}

void KeptPlaces::Save() {
  // A copy of the places, made here; the text is made and written on the writer's thread.
  auto snapshot = std::make_shared<const ResumePositions>(positions_);
  {
    std::lock_guard lock(mutex_);
    waiting_ = std::move(snapshot);
  }
  wake_.notify_one();
}

void KeptPlaces::WriteWhatWaits() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return waiting_ || ending_; });
    if (!waiting_) break;  // ending, and everything is written
    const std::shared_ptr<const ResumePositions> next = std::move(waiting_);
    waiting_.reset();
    writing_ = true;
    lock.unlock();
    const WriteResult result = next->WriteFile(file_);
    lock.lock();
    writing_ = false;
    lastWrite_ = result;
    if (!waiting_) done_.notify_all();
  }
}

}  // namespace quillmark

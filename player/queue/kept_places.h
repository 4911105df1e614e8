#pragma once
// The places a window keeps: read from the file once, looked up and changed in memory, and
// written back whole after each change by a thread of its own, so that a slow disk never holds up
// the window (a place is kept on every pause of the pedal). Only the newest state waits to be
// written: one overtaken before its turn is dropped. What waits is written before the object
// goes.

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "resume_positions.h"

namespace quillmark {

class KeptPlaces {
 public:
  explicit KeptPlaces(std::filesystem::path file);
  ~KeptPlaces();
  KeptPlaces(const KeptPlaces&) = delete;
  KeptPlaces& operator=(const KeptPlaces&) = delete;

  std::optional<double> ResumeAt(const RecordingIdentity& recording) const;
  // Keeps `position` for `recording` when it is worth carrying on from; a place near either end
  // forgets the recording's place instead; with no length known (not loaded yet) nothing
  // changes. Returns how the last write that ended went.
  WriteResult Keep(const RecordingIdentity& recording, double position, double duration);
  void Forget(const std::filesystem::path& recording);
  // Returns once every change made so far is on disk, with how the last write went.
  WriteResult Flush();

 private:
  void Save();
  void WriteWhatWaits();

  const std::filesystem::path file_;
  ResumePositions positions_;

  std::mutex mutex_;
  std::condition_variable wake_;  // something to write, or the end
  std::condition_variable done_;  // nothing waits and nothing is being written
  std::shared_ptr<const ResumePositions> waiting_;
  bool writing_ = false;
  bool ending_ = false;
  WriteResult lastWrite_ = WriteResult::Written;
  std::thread writer_;
};

}  // namespace quillmark

#include "envelope_job.h"

#include <system_error>
#include <thread>

#include "envelope_cache.h"

namespace waveform {
namespace {

std::atomic<int> running{0};

}  // namespace

std::shared_ptr<EnvelopeJob> EnvelopeJob::Start(const std::filesystem::path& file,
                                                const std::filesystem::path& cacheFolder,
                                                Pace pace) {
  std::shared_ptr<EnvelopeJob> job(new EnvelopeJob);
  job->work_.pace = pace;
  running.fetch_add(1);
  try {
    // The thread holds the job as long as it runs, whoever else lets go of it.
    std::thread([job, file, cacheFolder] {
      job->Run(file, cacheFolder);
      running.fetch_sub(1);
    }).detach();
  } catch (const std::system_error&) {
    running.fetch_sub(1);
    job->work_.outcome.store(Outcome::Unreadable);
  }
  return job;
}

int EnvelopeJob::Running() { return running.load(); }

void EnvelopeJob::Run(const std::filesystem::path& file, const std::filesystem::path& cacheFolder) {
  const std::optional<RecordingKey> key = KeyOf(file);
  const EnvelopeCache cache(cacheFolder);
  const bool cached = !cacheFolder.empty() && key.has_value();
  if (cached && cache.Load(*key, work_.envelope)) {
    work_.seconds.store(static_cast<double>(work_.envelope.Size()) / kPairsPerSecond);
    fromCache_.store(true);
    work_.outcome.store(Outcome::Complete);
    return;
  }
  const Outcome outcome = ComputeEnvelope(file, work_);
  // Only a whole envelope of the file as it still is goes into the cache.
  if (outcome == Outcome::Complete && cached && KeyOf(file) == key) cache.Store(*key, work_.envelope);
}

}  // namespace waveform

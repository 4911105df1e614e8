// Any modified time, captions and durations, including ones no clock or player gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "time_of_day.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  timecode::LocalDateTime t;
  t.year = input.ConsumeIntegral<int>();
  t.month = input.ConsumeIntegral<int>();
  t.day = input.ConsumeIntegral<int>();
  t.hour = input.ConsumeIntegralInRange<int>(-1, 100);
  t.minute = input.ConsumeIntegral<int>();
  t.second = input.ConsumeIntegral<int>();
  const std::string stc = input.ConsumeBool() ? "00:00:00:00" : input.ConsumeRandomLengthString(12);
  const std::string framerate = input.ConsumeRandomLengthString(12);
  timecode::TimeOfDayInputs in{stc, framerate, input.ConsumeFloatingPoint<double>(),
                               input.ConsumeFloatingPoint<double>()};
  const timecode::TimeOfDayTimeCode tod = timecode::TimeOfDayTimeCodeAt(t, in);
  if (tod.outcome == timecode::TimeOfDayOutcome::StartSet && tod.stc.empty()) std::abort();
  return 0;
}

// Any bytes as the file of positions where recordings were left off. What is read holds no more
// entries than are kept, and survives a save: the text written for it reads back as the same
// entries, path for path and number for number.
#include <cstdlib>
#include <sstream>
#include <string>

#include "resume_positions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const quillmark::ResumePositions first = quillmark::ResumePositions::Read(in);
  if (first.entries().size() > quillmark::kRememberedRecordings) std::abort();

  std::istringstream written(first.Text());
  const quillmark::ResumePositions again = quillmark::ResumePositions::Read(written);
  if (again.entries().size() != first.entries().size()) std::abort();
  for (std::size_t i = 0; i < first.entries().size(); ++i) {
    const quillmark::LeftOff& a = first.entries()[i];
    const quillmark::LeftOff& b = again.entries()[i];
    if (!(a.recording == b.recording) || a.position != b.position || a.duration != b.duration) {
      std::abort();
    }
  }
  return 0;
}
